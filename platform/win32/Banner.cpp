#include "platform/win32/Banner.h"

#include "platform/win32/Win32Error.h"

namespace velmora::win32 {

Banner::Banner(HINSTANCE instance, int resourceId)
    : original_(static_cast<HBITMAP>(
          ::LoadImageW(instance, MAKEINTRESOURCEW(resourceId), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION))) {
  if (!original_) {
    ThrowLastError("LoadImageW(banner)");
  }
  BITMAP info{};
  ::GetObjectW(original_.get(), sizeof(info), &info);
  natural_ = {info.bmWidth, info.bmHeight};
}

HBITMAP Banner::ForSize(int width, int height) {
  if (width == natural_.cx && height == natural_.cy) {
    return original_.get();
  }
  if (scaled_ && scaledSize_.cx == width && scaledSize_.cy == height) {
    return scaled_.get();
  }
  WindowDC screen(nullptr);
  MemoryDC source(screen.get());
  MemoryDC target(screen.get());
  UniqueBitmap scaled(::CreateCompatibleBitmap(screen.get(), width, height));
  if (!scaled || source.get() == nullptr || target.get() == nullptr) {
    ThrowLastError("CreateCompatibleBitmap(banner)");
  }
  {
    SelectedObject from(source.get(), original_.get());
    SelectedObject to(target.get(), scaled.get());
    ::SetStretchBltMode(target.get(), HALFTONE);
    ::SetBrushOrgEx(target.get(), 0, 0, nullptr);
    ::StretchBlt(target.get(), 0, 0, width, height, source.get(), 0, 0, natural_.cx, natural_.cy, SRCCOPY);
  }
  scaled_ = std::move(scaled);
  scaledSize_ = {width, height};
  return scaled_.get();
}

}  // namespace velmora::win32
