#include "ui/drawing_resources.h"

namespace kv {
namespace {

struct FontPair {
  FontMetrics value, label;
};
constexpr FontPair kFonts[5] = {
    {{28, 11, 600}, {14, 6, 300}},  // 640x480
    {{36, 14, 600}, {18, 8, 300}},  // 800x600
    {{49, 18, 600}, {18, 8, 300}},  // 1024x768
    {{62, 23, 600}, {24, 12, 300}}, // 1280x960
    {{65, 23, 600}, {24, 12, 300}}, // 1280x1024
};

}  // namespace

FontMetrics FontFor(int screenSize, FontKind kind) {
  const int i = screenSize < 1 ? 0 : screenSize > 5 ? 4 : screenSize - 1;
  return kind == FontKind::Value ? kFonts[i].value : kFonts[i].label;
}

int CharsetForLanguage(std::string_view languageCode) {
  return languageCode == "rus" ? kCharsetCyrillic : kCharsetCentralEuropean;
}

}  // namespace kv
