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
// Their units, in the same order, for the CSV's units row: "V", "steps", "0/1", ...; empty for a
// text column.
const std::vector<std::string>& LiveColumnUnits();
// The columns' values for the image; an empty text where the panel shows no value (the TPS
// voltage of a throttle switch).
std::vector<std::string> LiveValues(const MemoryImage& image);

struct LocalTime {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};
std::string DateTimeText(const LocalTime& t);  // "2024-05-01 14:03:22"

// One line for a terminal: fuel, lambda, TPS, actuator, speed, temperature and the states.
std::string WatchLine(const MemoryImage& image);

}  // namespace kv::cli
