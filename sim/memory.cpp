#include "memory.h"

#include <cstring>

namespace kv::sim {

bool IsLiveByte(int block, int index) {
  if (block == 2) return index >= 1 && index <= 9 && index != 4;  // byte 4 is AttInit, a setting
  if (block == 5) return index == 5 || (index >= 8 && index <= 10);
  return false;
}

WriteTarget TargetOf(int a) {
  auto byte = [](int block, int index) { return WriteTarget{WriteTarget::Byte, block, index}; };
  if (a >= 5 && a <= 11) return byte(3, a - 4);
  if (a == 12 || a == 13) return byte(5, a - 6);
  if (a == 14 || a == 15) return byte(3, a - 4);
  if (a == 16 || a == 17) return byte(4, a - 15);
  if (a == 18) return byte(2, 4);
  if (a >= 19 && a <= 28) return byte(4, a - 16);
  if (a == 29) return byte(3, 12);
  if (a == kCommandAddress) return WriteTarget{WriteTarget::Command, 0, 0};
  if (a == 31 || a == 32) return byte(4, a - 18);
  if (a >= 33 && a <= 36) return byte(5, a - 32);
  if (a == 37) return byte(3, 8);
  if (a == 38 || a == 39) return byte(5, a - 29);
  if (a == 40 || a == 41) return byte(5, a - 29);
  if (a >= 42 && a <= 48) return byte(5, a - 29);
  if (a == 49) return byte(5, 8);
  return {};
}

namespace {

// Engine speeds are stored as periods: 2000 rpm = 7500 = 0x1D4C, 1500 rpm = 10000 = 0x2710,
// 5000 rpm = 3000 = 0x0BB8.
constexpr FactorySetting kFactory[] = {
    {3, 1, 5, "Options", 0x2A,
     "bits 1 (switch-on temperature used), 3 (throttle jump), 5 (cut-off used); bits 0,7 clear: third gas level sensor type"},
    {3, 2, 6, "LambdaType", 0x00, "probe 0-1 V, TPS sensor code 0"},
    {3, 3, 7, "LambdaPoint", 22, "0.44 V"},
    {3, 4, 8, "LambdaDelay", 12, "1:00 min"},
    {3, 5, 9, "EmulType", 0x81, "emulation type 1, bit 7 set (full status)"},
    {3, 6, 10, "EmulBJ_TimeHi", 40, "1.000 s"},
    {3, 7, 11, "EmulBJ_TimeLo", 40, "1.000 s"},
    {3, 8, 37, "WOZG", 10, "1.0 s"},
    {3, 9, -1, "(Block 3 byte 9)", 0x00, "unused"},
    {3, 10, 14, "InjectDelay", 5, "0.5 s"},
    {3, 11, 15, "LPGOnTemp", 145, "30 C"},
    {3, 12, 29, "TPSInert", 5, "0.12 V"},
    {4, 1, 16, "AttMax", 40, "+40 steps"},
    {4, 2, 17, "AttMin", 40, "-40 steps"},
    {4, 3, 19, "TPSJump", 25, "0.5 V"},
    {4, 4, 20, "AttJump", 20, "20 %"},
    {4, 5, 21, "LPGOnRPMLo", 0x4C, "LPG-on speed 2000 rpm (period 7500)"},
    {4, 6, 22, "LPGOnRPMHi", 0x1D, "high byte"},
    {4, 7, 23, "IgnitionType", 1, "first ignition type"},
    {4, 8, 24, "CutOffRPMLo", 0x10, "cut-off speed 1500 rpm (period 10000)"},
    {4, 9, 25, "CutOffRPMHi", 0x27, "high byte"},
    {4, 10, 26, "CutOffSteps", 50, "50 %"},
    {4, 11, 27, "LPGOffRPMLo", 0xB8, "LPG-off speed 5000 rpm (period 3000)"},
    {4, 12, 28, "LPGOffRPMHi", 0x0B, "high byte"},
    {4, 13, 31, "AttMax_BJ", 12, "+12 steps"},
    {4, 14, 32, "AttMin_BJ", 12, "-12 steps"},
    {5, 1, 33, "Prog1", 40, "reserve | 1/4"},
    {5, 2, 34, "Prog2", 90, "1/4 | 2/4"},
    {5, 3, 35, "Prog3", 140, "2/4 | 3/4"},
    {5, 4, 36, "Prog4", 190, "3/4 | 4/4"},
    {5, 6, 12, "ZAM_OTW_BJ", 0xA9, "both corrections 0"},
    {5, 7, 13, "ZAM_OTW_DO", 0x75, "both corrections 0"},
    {2, 4, 18, "AttInit", 110, "actuator base position"},
};

// Service record of a new simulator (kept by the factory reset): 1234 h 25 min on gas,
// installed 2019-05-14, registration "KR720SM".
void LoadServiceRecord(Memory& m) {
  m.at(5, 8) = 25;
  m.at(5, 9) = 1234 & 0xFF;
  m.at(5, 10) = 1234 >> 8;
  const int day = 14, month = 5, year = 2019;
  m.at(5, 11) = static_cast<std::uint8_t>((((month - 1) & 7) << 5) | (day - 1));
  m.at(5, 12) = static_cast<std::uint8_t>((((month - 1) >> 3) << 7) | (year - 2000));
  std::memcpy(&m.block[5][13], "KR720SM", 7);
}

}  // namespace

const FactorySetting* FactorySettings(std::size_t& count) {
  count = sizeof kFactory / sizeof kFactory[0];
  return kFactory;
}

void RestoreFactorySettings(Memory& m) {
  for (const FactorySetting& s : kFactory) m.at(s.block, s.index) = s.value;
}

void RestoreFactoryGasLevelPoints(Memory& m) {
  for (const FactorySetting& s : kFactory)
    if (s.block == 5 && s.index >= 1 && s.index <= 4) m.at(s.block, s.index) = s.value;
}

std::uint8_t IdentityByte(int version, int revision) {
  return static_cast<std::uint8_t>((((version - 1) & 7) << 5) | (revision & 0x1F));
}

void LoadFactoryMemory(Memory& m, int version, int revision) {
  m = Memory{};
  m.at(1, 1) = 0x01;
  m.at(1, 2) = IdentityByte(version, revision);
  RestoreFactorySettings(m);
  LoadServiceRecord(m);
}

}  // namespace kv::sim
