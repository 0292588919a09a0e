// kv720-cli's Linux side: which ports it lists, and why a port does not open.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "device_names.h"
#include "platform_posix.h"
#include "temp_dir.h"

namespace kv::cli {
namespace {

namespace fs = std::filesystem;

class MadeUpMachine : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(Sys() / "devices");
    fs::create_directories(Tty());
    fs::create_directories(Dev() / "serial" / "by-id");
  }

  fs::path Sys() const { return root_ / "sys"; }
  fs::path Tty() const { return Sys() / "class" / "tty"; }
  fs::path Dev() const { return root_ / "dev"; }
  static void Write(const fs::path& file, const std::string& text) {
    fs::create_directories(file.parent_path());
    std::ofstream(file) << text << "\n";
  }
  // A tty whose sysfs device is `device` (under sys/devices), with its /dev node.
  void AddTty(const std::string& name, const std::string& device, bool node = true) {
    fs::create_directories(Tty() / name);
    if (!device.empty()) {
      fs::create_directories(Sys() / "devices" / device);
      fs::create_symlink(Sys() / "devices" / device, Tty() / name / "device");
    }
    if (node) Write(Dev() / name, "");
  }

  testing::TempDir root_{"kv720-ports"};
};

TEST_F(MadeUpMachine, ListsAdaptersAndRealUartsWithTheirNames) {
  AddTty("tty0", "");                                 // a virtual console: no device
  AddTty("ttyS0", "platform/serial8250/tty/ttyS0");  // a UART the kernel found
  Write(Tty() / "ttyS0" / "type", "4");
  AddTty("ttyS1", "platform/serial8250/tty/ttyS1");  // a ghost: no UART
  Write(Tty() / "ttyS1" / "type", "0");
  AddTty("ttyS10", "platform/serial8250/tty/ttyS10");
  Write(Tty() / "ttyS10" / "type", "4");
  AddTty("ttyUSB0", "usb1/1-1/1-1:1.0/ttyUSB0");
  Write(Sys() / "devices/usb1/1-1/product", "FT232R USB UART");
  Write(Sys() / "devices/usb1/1-1/manufacturer", "FTDI");
  AddTty("ttyACM0", "usb1/1-2/1-2:1.0");
  Write(Sys() / "devices/usb1/1-2/product", "Arduino Uno");
  AddTty("ttyUSB1", "usb1/1-3/1-3:1.0/ttyUSB1", false);  // unplugged: its node is gone
  fs::create_symlink("../../ttyUSB0", Dev() / "serial/by-id/usb-FTDI_FT232R_A50285BI-if00-port0");

  const auto ports = ListPosixPorts(Tty().string(), Dev().string());
  std::vector<std::string> names, descriptions;
  for (const auto& p : ports) {
    names.push_back(p.name);
    descriptions.push_back(p.description);
  }
  const std::string dev = Dev().string();
  EXPECT_EQ((std::vector<std::string>{dev + "/ttyACM0", dev + "/ttyS0", dev + "/ttyS10",
                                      dev + "/ttyUSB0"}),
            names);
  EXPECT_EQ("Arduino Uno", descriptions[0]);
  EXPECT_EQ("built-in serial port", descriptions[1]);
  EXPECT_EQ("FTDI FT232R USB UART  " + dev + "/serial/by-id/usb-FTDI_FT232R_A50285BI-if00-port0",
            descriptions[3]);
}

// An FTDI adapter on ttyUSB0 (driver ftdi_sio, its latency timer under bus/usb-serial) and a
// CDC one on ttyACM0, which has no such timer.
TEST_F(MadeUpMachine, TellsTheAdapterAndSetsItsLatencyTimer) {
  AddTty("ttyUSB0", "usb1/1-1/1-1:1.0/ttyUSB0");
  Write(Sys() / "devices/usb1/1-1/product", "FT232R USB UART");
  Write(Sys() / "devices/usb1/1-1/manufacturer", "FTDI");
  Write(Sys() / "devices/usb1/1-1/idVendor", "0403");
  Write(Sys() / "devices/usb1/1-1/idProduct", "6001");
  fs::create_directories(Sys() / "bus/usb-serial/drivers/ftdi_sio");
  fs::create_symlink(Sys() / "bus/usb-serial/drivers/ftdi_sio",
                     Sys() / "devices/usb1/1-1/1-1:1.0/ttyUSB0/driver");
  const fs::path timer = Sys() / "bus/usb-serial/devices/ttyUSB0/latency_timer";
  Write(timer, "16");
  fs::create_symlink("../../ttyUSB0", Dev() / "serial/by-id/usb-FTDI_FT232R-if00-port0");
  AddTty("ttyACM0", "usb1/1-2/1-2:1.0");
  Write(Sys() / "devices/usb1/1-2/product", "Arduino Uno");

  const std::string byId = (Dev() / "serial/by-id/usb-FTDI_FT232R-if00-port0").string();
  const AdapterInfo ftdi = DescribePosixAdapter(byId, Sys().string());
  EXPECT_TRUE(ftdi.known);
  EXPECT_EQ("FTDI FT232R USB UART (USB 0403:6001)", ftdi.name);
  EXPECT_TRUE(ftdi.latencyTimer);
  EXPECT_EQ(16, ftdi.latencyMs);
  EXPECT_EQ(0u, ftdi.setToOne.rfind("echo 1 | sudo tee " + timer.string(), 0)) << ftdi.setToOne;

  EXPECT_EQ(LatencyChange::Done, SetPosixLatency(byId, Sys().string(), 1).change);
  EXPECT_EQ(1, DescribePosixAdapter(byId, Sys().string()).latencyMs);

  const std::string acm = (Dev() / "ttyACM0").string();
  const AdapterInfo cdc = DescribePosixAdapter(acm, Sys().string());
  EXPECT_TRUE(cdc.known);
  EXPECT_EQ("Arduino Uno", cdc.name);
  EXPECT_FALSE(cdc.latencyTimer);
  EXPECT_EQ(LatencyChange::Impossible, SetPosixLatency(acm, Sys().string(), 1).change);

  // A pseudo-terminal, or anything else sysfs has no device for: unknown, with the general fix.
  const AdapterInfo pty = DescribePosixAdapter("/dev/pts/7", Sys().string());
  EXPECT_FALSE(pty.known);
  EXPECT_NE(std::string::npos, pty.setToOne.find("ttyUSBn/latency_timer")) << pty.setToOne;
  const LatencyResult none = SetPosixLatency("/dev/pts/7", Sys().string(), 1);
  EXPECT_EQ(LatencyChange::Impossible, none.change);
  EXPECT_NE(std::string::npos, none.message.find("does not say which adapter")) << none.message;
}

TEST_F(MadeUpMachine, NoPortsAtAll) {
  EXPECT_TRUE(ListPosixPorts((root_ / "nowhere").string(), Dev().string()).empty());
}

TEST_F(MadeUpMachine, SaysWhyAPortDoesNotOpen) {
  const std::string missing = (Dev() / "ttyUSB9").string();
  EXPECT_EQ(PortTrouble::Missing, DiagnosePosixOpen(missing).trouble);
  EXPECT_NE(std::string::npos, DiagnosePosixOpen(missing).message.find("does not exist"));

  const fs::path unplugged = Dev() / "serial/by-id/usb-gone";
  fs::create_symlink("../../ttyUSB9", unplugged);
  EXPECT_EQ(PortTrouble::Missing, DiagnosePosixOpen(unplugged.string()).trouble);
  EXPECT_NE(std::string::npos, DiagnosePosixOpen(unplugged.string()).message.find("not plugged in"));

  Write(Dev() / "notes.txt", "hello");
  EXPECT_EQ(PortTrouble::NotSerial, DiagnosePosixOpen((Dev() / "notes.txt").string()).trouble);
  EXPECT_EQ(PortTrouble::NotSerial, DiagnosePosixOpen("/dev/null").trouble);
}

TEST(CliPorts, APseudoTerminalOpens) {
  const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
  ASSERT_GE(master, 0);
  ASSERT_EQ(0, ::grantpt(master));
  ASSERT_EQ(0, ::unlockpt(master));
  EXPECT_EQ(PortTrouble::None, DiagnosePosixOpen(::ptsname(master)).trouble);
  ::close(master);
}

TEST(CliPorts, ABareNameIsADevice) {
  EXPECT_EQ("/dev/ttyUSB0", PosixDeviceName("ttyUSB0"));
  EXPECT_EQ("/dev/serial/by-id/x", PosixDeviceName("/dev/serial/by-id/x"));
  EXPECT_EQ("./com1", PosixDeviceName("./com1"));
  const std::pair<const char*, const char*> windows[] = {
      {"COM1", "\\\\.\\COM1"},        {"com12:", "\\\\.\\COM12"},
      {"CNCA0", "\\\\.\\CNCA0"},      {"\\\\.\\COM10", "\\\\.\\COM10"},
      {"\\\\?\\x", "\\\\?\\x"},   {"C:\\ports\\x", "C:\\ports\\x"},
      {"./com1", "./com1"},           {"COM1X", "\\\\.\\COM1X"},
  };
  for (const auto& [given, opened] : windows) EXPECT_EQ(opened, Win32DeviceName(given)) << given;
}

}  // namespace
}  // namespace kv::cli
