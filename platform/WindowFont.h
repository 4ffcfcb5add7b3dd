#pragma once
// The font the window and its controls are drawn in, the same on every platform: 9 points in the
// Simplified Chinese user-interface face or, where it is missing, the first installed of its
// stand-ins, nearest first:
// - SimSun's fixed-pitch twin NSimSun, the same glyphs;
// - fonts with SimSun's widths (every ASCII character half as wide as a Chinese one), which keep
//   the layout exactly as designed: Noto Sans Mono CJK SC, WenQuanYi Zen Hei Mono;
// - the common Chinese UI fonts of Windows and Linux. Their Latin letters are proportional, so
//   captions with ASCII in them come out a few pixels wider or narrower; labels grow to the
//   right and the controls stacked above them stay in front.
// With none of them installed, the first is asked for and the platform's font mapper decides.
#include <array>
#include <string_view>

namespace velmora {

inline constexpr int kWindowFontPoints = 9;

inline constexpr std::array<std::wstring_view, 7> kWindowFontFamilies{
    L"SimSun",          L"NSimSun",          L"Noto Sans Mono CJK SC", L"WenQuanYi Zen Hei Mono",
    L"Microsoft YaHei", L"Noto Sans CJK SC", L"WenQuanYi Micro Hei",
};

}  // namespace velmora
