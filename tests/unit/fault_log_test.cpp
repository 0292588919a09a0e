#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>

#include "files/fault_log.h"
#include "temp_dir.h"

namespace kv {
namespace {

// What a guarded procedure does with an exception (ui/guard_win32.h, without Win32).
int Guarded(unsigned message, void (*body)()) {
  try {
    body();
    return 1;
  } catch (...) {
    RecordCurrentException("test proc", message);
  }
  return 0;
}

class FaultLogFile : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = TheFaultLog();
    TheFaultLog() = FaultLog{dir_.string(), 0, [](const std::string& line) { sunk_ += line; }};
    sunk_.clear();
  }
  void TearDown() override {
    TheFaultLog() = saved_;
  }
  std::string Log() const {
    std::ifstream in(dir_ / kFaultLogName, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  testing::TempDir dir_{"kv720-fault"};
  FaultLog saved_;
  static inline std::string sunk_;
};

TEST_F(FaultLogFile, EachFaultIsOneLineInTheFileAndTheSinkAndTheProgramGoesOn) {
  EXPECT_EQ(0, Guarded(0x0001, [] { throw std::runtime_error("bad\npath"); }));
  EXPECT_EQ(0, Guarded(0x0113, [] { throw 42; }));
  EXPECT_EQ(1, Guarded(0x000F, [] {}));
  const std::string log = Log();
  EXPECT_EQ(log, sunk_);
  EXPECT_NE(std::string::npos, log.find("[test proc] message 0x0001: bad path\n")) << log;
  EXPECT_NE(std::string::npos, log.find("[test proc] message 0x0113: exception of unknown type\n"));
  EXPECT_EQ(2, std::count(log.begin(), log.end(), '\n'));
}

TEST_F(FaultLogFile, AFaultOnEveryTickStopsBeingWrittenAfterTheRunsShare) {
  for (int i = 0; i < 3 * kFaultLinesPerRun; ++i) Guarded(0x0113, [] { throw std::bad_alloc(); });
  const std::string log = Log();
  EXPECT_EQ(kFaultLinesPerRun, std::count(log.begin(), log.end(), '\n'));
}

TEST(FaultLog, LineFormat) {
  EXPECT_EQ("2024-03-05 14:07:31 [main] message 0x0001: a b\n",
            FormatFaultLine("2024-03-05 14:07:31", "main", 1, "a\nb"));
}

}  // namespace
}  // namespace kv
