#include "link/parameters.h"

#include "link/link.h"
#include "link/signals.h"

namespace kv {

std::uint32_t WriteParameter(Link& link, Param p, std::uint8_t value) {
  return WriteByte(link, Row(p).writeAddress, value);
}

std::uint32_t WriteParameterBits(Link& link, Param p, std::uint8_t mask, std::uint8_t bits) {
  const std::uint8_t kept = Get(link.image, p) & static_cast<std::uint8_t>(~mask);
  return WriteParameter(link, p, static_cast<std::uint8_t>(kept | (bits & mask)));
}

void WriteSpeed(Link& link, Param low, Param high, unsigned long rpm) {
  const unsigned long period = PeriodFromSpeed(rpm);
  WriteParameter(link, low, static_cast<std::uint8_t>(period & 0xFF));
  WriteParameter(link, high, static_cast<std::uint8_t>(HighByte(period)));
}

std::uint32_t SendCommand(Link& link, std::uint8_t command) {
  return WriteByte(link, kCommandAddress, command);
}

const ParameterRow* RowByWriteAddress(int address) {
  for (const ParameterRow& row : kParameters) {
    if (row.writeAddress == address) return &row;
  }
  return nullptr;
}

}  // namespace kv
