// The live signals of Block 2, decoded as the readings panel decodes them (with the probe type
// and TPS sensor code of Block 3): the columns of `record`, the line of `watch` and the readings
// part of `read`.
#pragma once

#include <string>
#include <vector>

#include "link/memory_image.h"

namespace kv::cli {

// The decoded columns, in CSV order, each with its unit in its name: lambda_V, tps_V, ...
const std::vector<std::string>& LiveColumnNames();
// The columns' values for the image; an empty text where the panel shows no value (the TPS
// voltage of a throttle switch).
std::vector<std::string> LiveValues(const MemoryImage& image);

// Block 2 byte 8 bit 0.
bool OnGas(const MemoryImage& image);

struct LocalTime {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};
std::string DateTimeText(const LocalTime& t);  // "2024-05-01 14:03:22"

// The recording: a first line with the start that spreadsheet programs show as a row, the
// column header, then one row per Block 2 reply. The marker is "gas" or "petrol" on the row
// where the fuel changed, empty on the others.
std::string CsvStartLine(const LocalTime& start);
std::string CsvHeaderLine();
std::string CsvRow(double seconds, const MemoryImage& image, const std::string& marker);
// The marker of a row, given the fuel of the row before (none before the first row).
std::string FuelMarker(const bool* previousOnGas, bool onGas);

// One line for a terminal: fuel, lambda, TPS, actuator, speed, temperature and the states.
std::string WatchLine(const MemoryImage& image);

}  // namespace kv::cli
