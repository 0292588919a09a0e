#include "controller.h"

#include "decode.h"

namespace kv::cli {

PortProblem OpenChecked(Platform& platform, const std::string& device) {
  // Checked before the real open: a port that opens but is no serial port (a COM name Wine maps
  // to nothing, a plain file) must not pass for a silent controller.
  PortProblem problem = platform.DiagnoseOpen(device);
  if (problem.trouble == PortTrouble::None && !platform.Port().Open(device))
    problem = {PortTrouble::Busy, "cannot open " + device + " (it was busy a moment ago; try again)"};
  return problem;
}

int OpenPort(Context& c, Link& link) {
  const std::string device = c.platform.DeviceName(c.args.port);
  link.port = &c.platform.Port();
  link.portName = device;
  const PortProblem problem = OpenChecked(c.platform, device);
  if (problem.trouble != PortTrouble::None) return Fail(c, kExitPort, problem.message);
  link.portOpen = true;
  return kExitOk;
}

int IdentifyController(Context& c, Link& link) {
  for (int attempt = 0; attempt < kAttempts && link.offline; ++attempt) {
    if (c.platform.Interrupted()) return kExitInterrupted;
    Identify(link);
  }
  if (link.offline)
    return Fail(c, kExitNoAnswer,
                "the controller does not answer on " + c.args.port + " (kv720-cli doctor --port " +
                    c.args.port + " finds out why)");
  return kExitOk;
}

int RequireVersion3(Context& c, const Link& link) {
  if (!IsVersion3(link.image))
    return Fail(c, kExitVersion,
                "the controller on " + c.args.port + " is version " + ControllerVersion(link.image) +
                    "; kv720-cli works with version 3 only");
  return kExitOk;
}

int Connect(Context& c, Link& link) {
  int code = OpenPort(c, link);
  if (code == kExitOk) code = IdentifyController(c, link);
  return code == kExitOk ? RequireVersion3(c, link) : code;
}

int ReadBlocks(Context& c, Link& link, std::initializer_list<int> blocks) {
  for (int block : blocks) {
    bool accepted = false;
    for (int attempt = 0; attempt < kAttempts && !accepted; ++attempt) {
      if (c.platform.Interrupted()) return kExitInterrupted;
      accepted = ReadBlock(link, block);
    }
    if (!accepted)
      return Fail(c, kExitNoAnswer,
                  "the controller did not answer the read of Block " + std::to_string(block));
  }
  return kExitOk;
}

}  // namespace kv::cli
