// Every named controller parameter once: where it lives in the memory image, the write address
// that changes it, and its settings-file key. Everything that reads, writes, saves, loads or
// writes back a parameter goes through this table.
#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "link/memory_image.h"

namespace kv {

struct Link;

// In write-address order, which is also the settings file's order and the order the factory
// reset writes the settings back in. The first kSettingsCount rows are the file's settings.
enum class Param : std::uint8_t {
  Options, LambdaType, LambdaPoint, LambdaDelay, EmulType, EmulBJ_TimeHi, EmulBJ_TimeLo,
  ZAM_OTW_BJ, ZAM_OTW_DO, InjectDelay, LPGOnTemp, AttMax, AttMin, AttInit, TPSJump, AttJump,
  LPGOnRPMLo, LPGOnRPMHi, IgnitionType, CutOffRPMLo, CutOffRPMHi, CutOffSteps, LPGOffRPMLo,
  LPGOffRPMHi, TPSInert, AttMax_BJ, AttMin_BJ, Prog1, Prog2, Prog3, Prog4, WOZG,
  // The service record: not in the settings file.
  LpgMinutes, LpgHoursLo, LpgHoursHi, InstallDateLo, InstallDateHi,
  Registration1, Registration2, Registration3, Registration4, Registration5, Registration6,
  Registration7,
  Count
};

struct ParameterRow {
  Param param;
  std::string_view name;  // the settings-file key without its "="; empty for the service record
  ByteRef byte;
  std::uint8_t writeAddress;
};

inline constexpr std::size_t kParameterCount = static_cast<std::size_t>(Param::Count);
// Settings in the file (the "NULL=" line is the file format's own, not a parameter).
inline constexpr std::size_t kSettingsCount = 32;
inline constexpr std::size_t kRegistrationLength = 7;

inline constexpr std::array<ParameterRow, kParameterCount> kParameters{{
    {Param::Options, "Options", bytes::Options, 5},
    {Param::LambdaType, "LambdaType", bytes::LambdaType, 6},
    {Param::LambdaPoint, "LambdaPoint", bytes::LambdaPoint, 7},
    {Param::LambdaDelay, "LambdaDelay", bytes::LambdaDelay, 8},
    {Param::EmulType, "EmulType", bytes::EmulType, 9},
    {Param::EmulBJ_TimeHi, "EmulBJ_TimeHi", bytes::EmulBJ_TimeHi, 10},
    {Param::EmulBJ_TimeLo, "EmulBJ_TimeLo", bytes::EmulBJ_TimeLo, 11},
    {Param::ZAM_OTW_BJ, "ZAM_OTW_BJ", bytes::ZAM_OTW_BJ, 12},
    {Param::ZAM_OTW_DO, "ZAM_OTW_DO", bytes::ZAM_OTW_DO, 13},
    {Param::InjectDelay, "InjectDelay", bytes::InjectDelay, 14},
    {Param::LPGOnTemp, "LPGOnTemp", bytes::LPGOnTemp, 15},
    {Param::AttMax, "AttMax", bytes::AttMax, 16},
    {Param::AttMin, "AttMin", bytes::AttMin, 17},
    {Param::AttInit, "AttInit", bytes::AttInit, 18},
    {Param::TPSJump, "TPSJump", bytes::TPSJump, 19},
    {Param::AttJump, "AttJump", bytes::AttJump, 20},
    {Param::LPGOnRPMLo, "LPGOnRPMLo", bytes::LPGOnRPMLo, 21},
    {Param::LPGOnRPMHi, "LPGOnRPMHi", bytes::LPGOnRPMHi, 22},
    {Param::IgnitionType, "IgnitionType", bytes::IgnitionType, 23},
    {Param::CutOffRPMLo, "CutOffRPMLo", bytes::CutOffRPMLo, 24},
    {Param::CutOffRPMHi, "CutOffRPMHi", bytes::CutOffRPMHi, 25},
    {Param::CutOffSteps, "CutOffSteps", bytes::CutOffSteps, 26},
    {Param::LPGOffRPMLo, "LPGOffRPMLo", bytes::LPGOffRPMLo, 27},
    {Param::LPGOffRPMHi, "LPGOffRPMHi", bytes::LPGOffRPMHi, 28},
    {Param::TPSInert, "TPSInert", bytes::TPSInert, 29},
    {Param::AttMax_BJ, "AttMax_BJ", bytes::AttMax_BJ, 31},
    {Param::AttMin_BJ, "AttMin_BJ", bytes::AttMin_BJ, 32},
    {Param::Prog1, "Prog1", bytes::Prog1, 33},
    {Param::Prog2, "Prog2", bytes::Prog2, 34},
    {Param::Prog3, "Prog3", bytes::Prog3, 35},
    {Param::Prog4, "Prog4", bytes::Prog4, 36},
    {Param::WOZG, "WOZG", bytes::WOZG, 37},
    {Param::LpgMinutes, "", bytes::LpgMinutes, 49},
    {Param::LpgHoursLo, "", bytes::LpgHoursLo, 38},
    {Param::LpgHoursHi, "", bytes::LpgHoursHi, 39},
    {Param::InstallDateLo, "", bytes::InstallDateLo, 40},
    {Param::InstallDateHi, "", bytes::InstallDateHi, 41},
    {Param::Registration1, "", {5, 13}, 42},
    {Param::Registration2, "", {5, 14}, 43},
    {Param::Registration3, "", {5, 15}, 44},
    {Param::Registration4, "", {5, 16}, 45},
    {Param::Registration5, "", {5, 17}, 46},
    {Param::Registration6, "", {5, 18}, 47},
    {Param::Registration7, "", {5, 19}, 48},
}};

constexpr const ParameterRow& Row(Param p) { return kParameters[static_cast<std::size_t>(p)]; }
constexpr Param RegistrationParam(std::size_t i) {  // i = 0..6
  return static_cast<Param>(static_cast<std::size_t>(Param::Registration1) + i);
}

// The factory reset writes back the 32 settings in table order and then the running minutes.
inline constexpr std::size_t kWriteBackCount = kSettingsCount + 1;
constexpr Param WriteBackParam(std::size_t k) {
  return k < kSettingsCount ? static_cast<Param>(k) : Param::LpgMinutes;
}

inline std::uint8_t Get(const MemoryImage& image, Param p) { return Get(image, Row(p).byte); }

// Sends the parameter's write command; returns the acknowledgement bytes received (see WriteByte).
std::uint32_t WriteParameter(Link& link, Param p, std::uint8_t value);
// Replaces the bits of `mask` with `bits`, the other bits taken from the memory image as last read.
std::uint32_t WriteParameterBits(Link& link, Param p, std::uint8_t mask, std::uint8_t bits);
// Writes a switching speed as its period: the low byte first, then the high byte.
void WriteSpeed(Link& link, Param low, Param high, unsigned long rpm);
// The controller's command address with one of the command values of memory_image.h.
std::uint32_t SendCommand(Link& link, std::uint8_t command);

// The row whose write address is `address`, or nullptr (the command address and unused numbers).
const ParameterRow* RowByWriteAddress(int address);

// The bits of the controller's bit-set bytes, and the fields packed into them. Nothing outside
// this header masks a controller byte by number (the identification byte's version and revision
// are named beside Version() in memory_image.h).
namespace bits {
// Options (Block 3 byte 1).
namespace options {
inline constexpr std::uint8_t GasSensorFixed = 0x01;       // gas sensor type 0, not programmable
inline constexpr std::uint8_t SwitchOnTemperature = 0x02;  // the LPG-on temperature is in use
inline constexpr std::uint8_t AutomaticBase = 0x04;        // set: the actuator's base is automatic
inline constexpr std::uint8_t Jump = 0x08;                 // the throttle jump is in use
inline constexpr std::uint8_t SpeedSwitch = 0x10;          // how LPG-on switches (IDC_SPEED_SWITCH)
inline constexpr std::uint8_t CutOff = 0x20;               // the cut-off speed is in use
inline constexpr std::uint8_t LpgOff = 0x40;               // the LPG-off speed is in use
inline constexpr std::uint8_t GasSensorSecond = 0x80;      // gas level sensor type 1 (bit 0 clear)
inline constexpr std::uint8_t GasSensorType = GasSensorFixed | GasSensorSecond;
}  // namespace options
// EmulType (Block 3 byte 5).
namespace emul_type {
inline constexpr std::uint8_t EmulationType = 0x03;   // field: the lambda emulation type, 0..2
inline constexpr std::uint8_t LowSignal = 0x04;
inline constexpr std::uint8_t EmergencyStart = 0x08;
inline constexpr std::uint8_t EmulationMode = 0x30;   // field: the options panel's mode, 0..2
inline constexpr std::uint8_t FullStatus = 0x80;      // clear: the readings show the reduced status
}  // namespace emul_type
// LambdaType (Block 3 byte 2).
namespace lambda_type {
inline constexpr std::uint8_t ProbeType = 0xF0;  // field: the lambda probe type
inline constexpr std::uint8_t TpsCode = 0x0F;    // field: the TPS sensor code
// Set in the codes of the throttle switches the configuration list writes (2, 6 and 7): the
// TPS inertia has no meaning for them.
inline constexpr std::uint8_t TpsSwitchCode = 0x02;
}  // namespace lambda_type
// The TPS sensor code itself (lambda_type::TpsCode), as the oscilloscope draws its trace: an odd
// code's sensor reads down and its trace is turned over (255 - b), but not code 7's, a switch.
namespace tps_code {
inline constexpr std::uint8_t ReadsDown = 0x01;
inline constexpr std::uint8_t Switch = 0x07;  // all three bits set
}  // namespace tps_code
// Status (Block 2 byte 7).
namespace status {
inline constexpr std::uint8_t LambdaState = 0x07;  // field: the lambda marker's colour
inline constexpr std::uint8_t Operating = 0x08;    // the controller runs the engine: full status
                                                   // messages, and a factory reset is refused
inline constexpr std::uint8_t ThrottleSwitchOpen = 0x10;  // the throttle switch reads "OFF"
inline constexpr std::uint8_t ThrottleLamps = 0xF0;       // one bit per throttle position lamp
}  // namespace status
// Switches (Block 2 byte 8).
namespace switches {
inline constexpr std::uint8_t OnGas = 0x01;
inline constexpr std::uint8_t Learning = 0x02;
inline constexpr std::uint8_t LpgOff = 0x04;
inline constexpr std::uint8_t CutOff = 0x08;
inline constexpr std::uint8_t LearnFinished = 0x10;
inline constexpr std::uint8_t LearnFailed = 0x20;
inline constexpr std::uint8_t SpeedReached = 0x40;
inline constexpr std::uint8_t TemperatureReached = 0x80;
}  // namespace switches
// ZAM_OTW_BJ and ZAM_OTW_DO: two correction nibbles each.
namespace correction {
inline constexpr std::uint8_t Low = 0x0F, High = 0xF0;
}  // namespace correction
// GasLevel (Block 5 byte 5): the last gas level, 0 the reserve and 1..4 the quarters.
namespace gas_level {
inline constexpr std::uint8_t Level = 0x07;
}  // namespace gas_level
// InstallDateHi: bits 5..0 the year after 2000, bit 7 the fourth bit of the month - 1;
// InstallDateLo: bits 7..5 the month's low bits, bits 4..0 the day - 1.
namespace install_date {
inline constexpr std::uint8_t Year = 0x3F, MonthHigh = 0x80, MonthLow = 0xE0, Day = 0x1F;
}  // namespace install_date
}  // namespace bits

constexpr bool Has(std::uint8_t byte, std::uint8_t bit) { return (byte & bit) != 0; }
constexpr bool HasAll(std::uint8_t byte, std::uint8_t bits) { return (byte & bits) == bits; }
inline bool Has(const MemoryImage& image, Param p, std::uint8_t bit) {
  return Has(Get(image, p), bit);
}
inline bool Has(const MemoryImage& image, ByteRef ref, std::uint8_t bit) {
  return Has(Get(image, ref), bit);
}
// The field `mask` of a byte, shifted down to start at 0; and a value placed into that field.
constexpr int FieldOf(std::uint8_t byte, std::uint8_t mask) {
  return (byte & mask) >> std::countr_zero(mask);
}
constexpr std::uint8_t IntoField(int value, std::uint8_t mask) {
  return static_cast<std::uint8_t>((value << std::countr_zero(mask)) & mask);
}

constexpr int LambdaProbeType(std::uint8_t lambdaType) {
  return FieldOf(lambdaType, bits::lambda_type::ProbeType);
}
constexpr int TpsCode(std::uint8_t lambdaType) {
  return FieldOf(lambdaType, bits::lambda_type::TpsCode);
}
// TPS codes 2, 3, 6 and 7 are throttle switches rather than potentiometers.
constexpr bool IsSwitchTps(int tpsCode) {
  return tpsCode == 2 || tpsCode == 3 || tpsCode == 6 || tpsCode == 7;
}
// A 16-bit value kept as a low and a high byte (speed thresholds, the engine-speed period).
constexpr unsigned Word(std::uint8_t lo, std::uint8_t hi) { return (unsigned(hi) << 8) | lo; }
inline unsigned Word(const MemoryImage& image, Param lo, Param hi) {
  return Word(Get(image, lo), Get(image, hi));
}

}  // namespace kv
