#pragma once
// The window described as data: its size and each control's name, kind, place, caption and look,
// in twips as the window was designed. The platform converts to pixels at the window's DPI.
#include <span>
#include <string_view>
#include <vector>

#include "platform/Forms.h"

namespace velmora {

enum class ControlKind : std::uint8_t { CommandButton, TextBox, Image, Label };
// What a command button shows in place of a caption: nothing, or a small up or down arrow.
enum class ArrowKind : std::uint8_t { None, Up, Down };
enum class CursorKind : std::uint8_t { Arrow, Hand };

inline constexpr int kNoTabIndex = -1;
inline constexpr Color kDefaultColor = 0xFFFFFFFFu;  // the platform's standard text colour

struct ControlSpec {
  ControlKey key;          // its own place in the table
  std::wstring_view name;  // as the window's code names it
  ControlKind kind;
  int left, top, width, height;  // twips, from the client area's top-left corner
  std::wstring_view caption;
  Color foreColor;
  ArrowKind arrow;  // every control but an arrow button is drawn in the window font
  int tabIndex;
  CursorKind cursor;
};

// What a screen reader announces for a control whose caption does not say what it is.
struct AccessibleName {
  ControlKey key;
  std::wstring_view name;
};

// A label that works as a link: what its click opens (a web address or a "mailto:" address). A
// platform whose links can be real links (the page) gives the label this target as its own.
struct LinkTarget {
  ControlKey key;
  std::wstring_view target;
};

struct FormSpec {
  int clientWidth, clientHeight;  // twips
  std::wstring_view caption;
  std::span<const ControlSpec> controls;  // in creation order
  std::span<const AccessibleName> accessibleNames;
  std::span<const LinkTarget> links;
  // Labels whose caption is a value the user changes (the count): a screen reader announces each
  // new caption.
  std::span<const ControlKey> liveLabels;
};

inline constexpr int kTwipsPerInch = 1440;

// Twips to pixels at a DPI, rounded to nearest: at 96 DPI exactly twips / 15.
int TwipsToPixels(int twips, unsigned dpi);

// The controls in the order a reader takes them in, the order a screen reader reads them: row by
// row from the top, left to right within a row (a control above another at the same left first).
// A row is a run of controls whose vertical extents overlap, so that a caption comes before the
// box or the count beside it, whatever their tops.
std::vector<ControlKey> ReadingOrder(std::span<const ControlSpec> controls);

// Points to a font height in pixels at a DPI, rounded to nearest (9 pt at 96 DPI is 12 px).
int PointsToPixels(int points, unsigned dpi);

}  // namespace velmora
