#pragma once
#include <windows.h>

#include "base/win32/Handles.h"

namespace velmora::win32 {

// The banner picture from the resources, and a copy scaled for the window's DPI when that is
// not 96. Owns both bitmaps.
class Banner {
 public:
  Banner() = default;
  Banner(HINSTANCE instance, int resourceId);

  // The bitmap to show at a size in pixels; the natural bitmap at its natural size.
  HBITMAP ForSize(int width, int height);

 private:
  UniqueBitmap original_;
  UniqueBitmap scaled_;
  SIZE natural_{0, 0};
  SIZE scaledSize_{0, 0};
};

}  // namespace velmora::win32
