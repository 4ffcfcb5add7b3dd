#pragma once
#include <windows.h>

#include "base/win32/Handles.h"
#include "platform/Layout.h"

namespace velmora::win32 {

// The fonts the window draws with at one DPI, created once and shared by every control: the
// window font (platform/WindowFont.h), its underlined twin for lit links, and Marlett for the
// arrow buttons, whose letters "t" and "u" are its up and down triangles.
class FontSet {
 public:
  FontSet() = default;
  explicit FontSet(UINT dpi);  // throws PlatformError

  HFONT Get(ArrowKind arrow, bool underline) const;

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
