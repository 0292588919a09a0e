// The controller's settings and service record decoded for a terminal: the panels' conversions
// (speeds in rpm, temperatures in degrees Celsius, volts, seconds, steps) and their list texts in
// English. A bit set decodes into one field per panel control it drives.
#pragma once

#include <string>
#include <vector>

#include "files/language.h"
#include "link/memory_image.h"
#include "link/parameters.h"

namespace kv::cli {

struct Field {
  std::string label;   // empty for a parameter that is a single value
  std::string number;  // the value as a decimal number ("0.44", "-40"), empty when it is a text
  std::string unit;    // "V", "rpm", "°C", "s", "steps", "%", or empty
  std::string text;    // a list text or a state ("on", "off") when there is no number

  // "0.44 V", "4 cyl. - 1 coil".
  std::string Shown() const;
};
using Decoding = std::vector<Field>;

// "Label: value; Label: value", or the single value.
std::string ShownDecoding(const Decoding& decoding);

// One of the 32 settings, decoded from the image (some need another byte: the lambda neutral
// point the probe type, the TPS jump the TPS sensor code, a speed both bytes of its period).
Decoding DecodeSetting(Param p, const MemoryImage& image, const LanguageTexts& english);

// The controller's version as the information panel shows it ("3.05").
std::string ControllerVersion(const MemoryImage& image);
// The registration number for a terminal: read in the window's code page, a control code shown
// as "?". (The running time and installation date: information/information.h.)
std::string Registration(const MemoryImage& image);

// Bytes as the frame log shows them: "65 01 45 AB".
std::string HexBytes(const std::uint8_t* bytes, std::size_t count);

// A memory image that holds the 32 setting values at their places, as a file's values would
// stand in the controller after a load: the decoders then read a file the way they read the
// controller.
MemoryImage ImageOfSettings(const std::uint8_t (&values)[kSettingsCount]);

}  // namespace kv::cli
