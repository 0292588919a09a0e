// The rows of the configuration and options panels that are nothing but a setting: a list whose
// index stands for a byte (or a field of one) by a fixed encoding, or a check box for one bit.
// One routine writes a pick, one selects from the memory image; rows with a rule of their own
// stay with their panel.
#pragma once

#include <cstdint>
#include <span>

#include "link/link.h"
#include "link/parameters.h"
#include "ui/controls.h"

namespace kv {

enum class Encoding {
  FromOne,   // item i stands for byte i + 1; byte 0 shows the first item
  Plain,     // item i stands for byte i
  Even,      // item i stands for byte 2i + 2; bytes 0 and 1 show the first item
  Speed,     // item i stands for firstSpeed + 100 i rpm, kept as a period in param (low) and high
  BitField,  // item i is the value of the field `mask` of the byte; the other bits are kept
};

struct ListRow {
  int control;
  Param param;
  Encoding encoding;
  std::uint8_t mask = 0;                  // BitField
  Param high = Param::Count;              // Speed
  unsigned long firstSpeed = 0;           // Speed
  int items = 0;                          // Speed
};

struct CheckBoxRow {
  int control;
  Param param;
  std::uint8_t bit;
  bool checkedWhenClear = false;  // the box shows the bit inverted
  bool version3Only = false;      // a click at another version writes nothing
};

// The row of `control`, or nullptr.
const ListRow* ListRowOf(std::span<const ListRow> rows, int control);
const CheckBoxRow* CheckBoxRowOf(std::span<const CheckBoxRow> rows, int control);

// The byte(s) a pick of item `index` stands for, written to the controller.
void WritePick(Link& link, const ListRow& row, int index);
// Selects in every row's list the item of the memory image's byte.
void SelectFromImage(Controls& controls, const MemoryImage& image, std::span<const ListRow> rows);

// Writes the box's bit as a click left it; the byte's other bits come from the memory image.
void WriteCheckBox(Link& link, const CheckBoxRow& row, bool checked);
// Whether the memory image's byte checks the box.
bool CheckedInImage(const MemoryImage& image, const CheckBoxRow& row);

// The list index of a stored period (-1 when the speed lies above the list).
int SpeedListIndex(unsigned high, unsigned low, unsigned long firstSpeed, int itemCount);
// Lists of even values 2..100.
constexpr int EvenIndex(std::uint8_t byte) { return byte / 2 == 0 ? 0 : byte / 2 - 1; }
constexpr std::uint8_t EvenValue(int index) { return static_cast<std::uint8_t>(2 * index + 2); }

}  // namespace kv
