#include "ui/setting_rows.h"

#include "link/signals.h"

namespace kv {
namespace {

int IndexInImage(const MemoryImage& image, const ListRow& row) {
  const std::uint8_t byte = Get(image, row.param);
  switch (row.encoding) {
    case Encoding::FromOne: return FromOne(byte);
    case Encoding::Plain: return byte;
    case Encoding::Even: return EvenIndex(byte);
    case Encoding::Speed:
      return SpeedListIndex(Get(image, row.high), byte, row.firstSpeed, row.items);
    case Encoding::BitField: return FieldOf(byte, row.mask);
  }
  return -1;
}

}  // namespace

const ListRow* ListRowOf(std::span<const ListRow> rows, int control) {
  for (const ListRow& row : rows)
    if (row.control == control) return &row;
  return nullptr;
}

const CheckBoxRow* CheckBoxRowOf(std::span<const CheckBoxRow> rows, int control) {
  for (const CheckBoxRow& row : rows)
    if (row.control == control) return &row;
  return nullptr;
}

void WritePick(Link& link, const ListRow& row, int index) {
  switch (row.encoding) {
    case Encoding::FromOne:
      WriteParameter(link, row.param, static_cast<std::uint8_t>(index + 1));
      break;
    case Encoding::Plain: WriteParameter(link, row.param, static_cast<std::uint8_t>(index)); break;
    case Encoding::Even: WriteParameter(link, row.param, EvenValue(index)); break;
    case Encoding::Speed:
      WriteSpeed(link, row.param, row.high, row.firstSpeed + 100 * static_cast<unsigned long>(index));
      break;
    case Encoding::BitField:
      WriteParameterBits(link, row.param, row.mask, IntoField(index, row.mask));
      break;
  }
}

void SelectFromImage(Controls& controls, const MemoryImage& image, std::span<const ListRow> rows) {
  for (const ListRow& row : rows) Select(controls, row.control, IndexInImage(image, row));
}

void WriteCheckBox(Link& link, const CheckBoxRow& row, bool checked) {
  if (row.version3Only && !IsVersion3(link.image)) return;
  const bool set = checked != row.checkedWhenClear;
  WriteParameterBits(link, row.param, row.bit, set ? row.bit : 0);
}

bool CheckedInImage(const MemoryImage& image, const CheckBoxRow& row) {
  return Has(image, row.param, row.bit) != row.checkedWhenClear;
}

int SpeedListIndex(unsigned high, unsigned low, unsigned long firstSpeed, int itemCount) {
  const unsigned long speed = SpeedFromPeriod(high, low);
  if (speed < firstSpeed) return 0;
  const unsigned long index = (speed - firstSpeed) / 100;
  return index < static_cast<unsigned long>(itemCount) ? static_cast<int>(index) : -1;
}

}  // namespace kv
