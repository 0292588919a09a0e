#include "controller.h"

#include <algorithm>

namespace kv::sim {

namespace {
// The model never catches up more than a day at once (a stalled machine, a huge `advance`).
constexpr Micros kMaxCatchUp = 86400LL * 1000000;
}  // namespace

std::uint8_t OutcomeBits(LearnResult result) {
  switch (result) {
    case LearnResult::Ok: return kLearnDoneBit;
    case LearnResult::Fail: return kLearnDoneBit | kLearnErrorBit;
    case LearnResult::Interrupted: return 0;
  }
  return 0;
}

Controller::Controller(Micros now, const ControllerOptions& o)
    : frozen_(o.frozen), learnDuration_(o.learnDuration), learnResult_(o.learnResult) {
  LoadFactoryMemory(memory_, std::clamp(o.version, 1, 8), std::clamp(o.revision, 0, 31));
  car_.Step(memory_);
  modelTime_ = Car::kStep;
  const Micros start = static_cast<Micros>(std::clamp(o.startSeconds, 0.0, 86400.0) * 1e6);
  StepTo(modelTime_ + start);
  clockOffset_ = now - modelTime_;
}

void Controller::StepTo(Micros target) {
  target = std::min(target, modelTime_ + kMaxCatchUp);
  while (modelTime_ + Car::kStep <= target) {
    car_.Step(memory_);
    modelTime_ += Car::kStep;
  }
}

void Controller::Tick(Micros now) {
  if (!frozen_) {
    const Micros target = now - clockOffset_;
    StepTo(target);
    // After a capped catch-up, follow the clock from here on.
    if (target - modelTime_ > Car::kStep) clockOffset_ = now - modelTime_;
  }
  if (learning_ && now >= learnEnd_) {
    learning_ = false;
    outcome_ = OutcomeBits(learnResult_);
  }
}

void Controller::SetFrozen(bool frozen, Micros now) {
  if (frozen == frozen_) return;
  if (frozen) {
    Tick(now);
  } else {
    clockOffset_ = now - modelTime_;
  }
  frozen_ = frozen;
}

void Controller::Advance(Micros span) {
  if (span <= 0) return;
  const Micros before = modelTime_;
  StepTo(modelTime_ + span);
  clockOffset_ -= modelTime_ - before;
}

void Controller::SetEngine(bool running, Micros now) {
  Tick(now);
  car_.SetEngine(running);
  Nudge();
}

void Controller::SetTemperature(double celsius, Micros now) {
  Tick(now);
  car_.SetTemperature(celsius);
  Nudge();
}

void Controller::SetGasSensor(double raw, Micros now) {
  Tick(now);
  car_.SetGasSensor(raw);
  Nudge();
}

void Controller::Nudge() {
  // One step so the live bytes show the change even while frozen.
  car_.Step(memory_);
  modelTime_ += Car::kStep;
  clockOffset_ -= Car::kStep;
}

std::vector<std::uint8_t> Controller::Block(int n) const {
  const std::size_t length = BlockLength(n);
  if (length == 0) return {};
  std::vector<std::uint8_t> out(memory_.block[n].begin(), memory_.block[n].begin() + length);
  out[0] = kMarker;
  if (n == 2) {
    if (!memory_.pinned[2][8]) {
      out[8] = static_cast<std::uint8_t>(out[8] & ~(kLearningBit | kLearnDoneBit | kLearnErrorBit));
      out[8] |= learning_ ? kLearningBit : outcome_;
    }
    if (faults_.refuse == RefuseMode::On) out[7] |= 0x08;
    if (faults_.refuse == RefuseMode::Off) out[7] &= static_cast<std::uint8_t>(~0x08);
  }
  out[length - 1] = Checksum(out.data(), length - 1);
  return out;
}

bool Controller::Set(int block, int index, std::uint8_t value) {
  if (!IsPayloadByte(block, index)) return false;
  memory_.at(block, index) = value;
  if (IsLiveByte(block, index)) memory_.pinned[block][index] = true;
  return true;
}

bool Controller::Get(int block, int index, std::uint8_t& value) const {
  if (block < 1 || block > kBlockCount || index < 0 ||
      static_cast<std::size_t>(index) >= BlockLength(block))
    return false;
  value = Block(block)[index];
  return true;
}

bool Controller::Unpin(int block, int index) {
  if (!IsPayloadByte(block, index)) return false;
  memory_.pinned[block][index] = false;
  car_.Publish(memory_);
  return true;
}

void Controller::UnpinAll() {
  memory_.pinned = {};
  car_.Publish(memory_);
}

void Controller::SetVersion(int version) {
  memory_.at(1, 2) = IdentityByte(std::clamp(version, 1, 8), revision());
}

void Controller::SetRevision(int revision) {
  memory_.at(1, 2) = IdentityByte(version(), std::clamp(revision, 0, 31));
}

void Controller::RunCommand(std::uint8_t value, Micros now) {
  switch (value) {
    case kCommandLearn:
      // A learn command while learning keeps the cycle already running.
      if (!learning_) {
        learning_ = true;
        learnEnd_ = now + learnDuration_;
        outcome_ = 0;
      }
      break;
    case kCommandFactoryReset:
      RestoreFactorySettings(memory_);
      break;
    case kCommandGasLevelFactory:
      RestoreFactoryGasLevelPoints(memory_);
      break;
    default:
      break;  // other command values are acknowledged and ignored
  }
}

void Controller::ApplyWrite(int writeAddress, std::uint8_t value, Micros now) {
  const WriteTarget target = TargetOf(writeAddress);
  switch (target.kind) {
    case WriteTarget::Byte:
      memory_.at(target.block, target.index) = value;
      break;
    case WriteTarget::Command:
      RunCommand(value, now);
      break;
    case WriteTarget::Unknown:
      ++counters_.unknownWrites;
      break;
  }
}

std::vector<std::uint8_t> Controller::Handle(const Frame& frame, Micros now) {
  Tick(now);
  ++counters_.frames;
  const int a = frame[1];
  const std::uint8_t v = frame[2];
  const bool read = a >= 1 && a <= kBlockCount && v == a;
  if (read) ++counters_.reads;
  else ++counters_.writes;
  if (faults_.silence) return {};

  std::vector<std::uint8_t> reply;
  if (read) {
    if (faults_.noReply[a]) return {};
    reply = Block(a);
  } else {
    if (faults_.noEchoAfter == 0) return {};  // deaf to writes: neither applied nor answered
    if (faults_.noEchoAfter > 0) --faults_.noEchoAfter;
    ApplyWrite(a - 1, v, now);
    ++counters_.acks;
    // Ack: marker, the value echoed, checksum of the two.
    reply = {kMarker, faults_.wrongEcho ? static_cast<std::uint8_t>(~v) : v, 0};
  }
  if (faults_.marker) reply[0] = kWrongMarker;
  reply.back() = Checksum(reply.data(), reply.size() - 1);
  if (faults_.badsum) reply.back() = static_cast<std::uint8_t>(reply.back() + 1);
  if (faults_.shortLength >= 0 && static_cast<std::size_t>(faults_.shortLength) < reply.size())
    reply.resize(static_cast<std::size_t>(faults_.shortLength));
  return reply;
}

}  // namespace kv::sim
