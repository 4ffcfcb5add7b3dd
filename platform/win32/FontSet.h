#pragma once
#include <windows.h>

#include "platform/Layout.h"
#include "platform/win32/Handles.h"

namespace velmora::win32 {

// The fonts the window draws with at one DPI, created once and shared by every control: the
// window font (9 pt, the Simplified Chinese UI face or its nearest installed stand-in), its
// underlined twin for lit links, and Marlett for the arrow buttons.
class FontSet {
 public:
  FontSet() = default;
  explicit FontSet(UINT dpi);  // throws PlatformError

  HFONT Get(FontKind kind, bool underline) const;

  // False where the font mapper puts another face in Marlett's place: its letters would show
  // instead of the symbols, so the arrow buttons draw their symbols themselves.
  bool HasMarlett() const { return hasMarlett_; }
  int PixelHeight() const { return pixelHeight_; }  // the em height of every font in the set

 private:
  UniqueFont window_;
  UniqueFont underlined_;
  UniqueFont marlett_;
  bool hasMarlett_ = false;
  int pixelHeight_ = 0;
};

}  // namespace velmora::win32
