// kv720-cli on Linux and other POSIX systems: termios serial port, ports from sysfs, Ctrl+C by
// signal.
#pragma once

#include <memory>

#include "platform.h"

namespace kv::cli {

// The serial ports under a sysfs tty class folder and a device folder (normally /sys/class/tty
// and /dev; tests pass a made-up tree): USB adapters (ttyUSB, ttyACM) and other ports with a
// device behind them, built-in ttyS ports only when the kernel found a UART there.
std::vector<PortEntry> ListPosixPorts(const std::string& sysTty, const std::string& dev);

// Why `device` does not open: missing, busy, no permission (naming the group to join), or not a
// serial port.
PortProblem DiagnosePosixOpen(const std::string& device);

// The adapter behind `device` from sysfs under `sys` (normally /sys; tests pass a made-up tree):
// its USB maker, product and ids, whether its driver is ftdi_sio (the chips with a latency
// timer) and the timer's value in bus/usb-serial/devices/<tty>/latency_timer.
AdapterInfo DescribePosixAdapter(const std::string& device, const std::string& sys);
// Writes the timer's value there; only root may, which the result says with the command to run.
LatencyResult SetPosixLatency(const std::string& device, const std::string& sys, int milliseconds);

// Sets the flag Interrupted() reads on SIGINT, SIGTERM and SIGHUP; a second one ends the program
// unless interrupts are held.
void InstallInterruptHandler();

std::unique_ptr<Platform> MakePosixPlatform();

}  // namespace kv::cli
