// The program-wide drawing resources every drawn panel shares: the solid pens and brushes (made
// once, in this order, by the Win32 side) and the value and label fonts of each screen size.
#pragma once

#include <array>
#include <string_view>

#include "ui/canvas.h"

namespace kv {

inline constexpr std::array<Pen, 20> kPens{{
    {colour::Cyan, 1},       {colour::DarkGreen, 1},  {colour::Yellow, 1},
    {colour::Yellow, 4},     {colour::Red, 1},        {colour::Red, 2},
    {colour::Red, 4},        {colour::Navy, 1},       {colour::Navy, 2},
    {colour::Blue, 2},       {colour::Grey, 1},       {colour::Black, 1},
    {colour::Black, 4},      {colour::White, 1},      {colour::White, 4},
    {colour::LightGrey, 1},  {colour::OliveBrown, 2}, {colour::Green, 2},
    {colour::PaleGrey, 2},   {colour::PaleGrey, 4},
}};

inline constexpr std::array<Brush, 12> kBrushes{{
    {colour::Grey},
    {colour::Green},
    {colour::Black},
    {colour::Navy},
    {colour::LightGrey},
    {colour::Cyan},
    {colour::Red},
    {colour::White},
    {colour::DarkGreen},
    {colour::Yellow},
    {colour::Olive},
    {colour::Brown},
}};

// Character sets of the two font families: Central European, and Cyrillic for "rus".
inline constexpr int kCharsetCentralEuropean = 238;
inline constexpr int kCharsetCyrillic = 204;

struct FontMetrics {
  int height;  // cell height, pixels
  int width;   // average character width, pixels
  int weight;
};

// The font of a kind for screen size 1..5 (sizes outside are clamped).
FontMetrics FontFor(int screenSize, FontKind kind);
int CharsetForLanguage(std::string_view languageCode);

}  // namespace kv
