#pragma once
#include <windows.h>

#include "platform/Layout.h"
#include "platform/win32/Handles.h"

namespace velmora::win32 {

// The fonts the window draws with at one DPI, created once and shared by every control: the
// window font (9 pt, the Simplified Chinese UI face), its underlined twin for lit links, and
// Marlett for the arrow buttons.
class FontSet {
 public:
  FontSet() = default;
  explicit FontSet(UINT dpi);  // throws PlatformError

  HFONT Get(FontKind kind, bool underline) const;

 private:
  UniqueFont window_;
  UniqueFont underlined_;
  UniqueFont marlett_;
};

}  // namespace velmora::win32
