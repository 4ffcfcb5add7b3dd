#pragma once
// Move-only owners for the Win32 handles the program creates. Each frees its handle in one
// place; a borrowed handle stays a plain HWND/HFONT/... value.
#include <windows.h>

#include <utility>

namespace velmora::win32 {

template <typename Handle, typename Traits>
class Unique {
 public:
  Unique() = default;
  explicit Unique(Handle h) : handle_(h) {}
  Unique(Unique&& other) noexcept : handle_(std::exchange(other.handle_, Handle{})) {}
  Unique& operator=(Unique&& other) noexcept {
    if (this != &other) {
      reset(std::exchange(other.handle_, Handle{}));
    }
    return *this;
  }
  Unique(const Unique&) = delete;
  Unique& operator=(const Unique&) = delete;
  ~Unique() { reset(); }

  Handle get() const { return handle_; }
  explicit operator bool() const { return handle_ != Handle{}; }
  // Gives up ownership, for a handle that the system takes over (SetClipboardData).
  Handle release() { return std::exchange(handle_, Handle{}); }
  void reset(Handle h = Handle{}) {
    if (handle_ != Handle{}) {
      Traits::Free(handle_);
    }
    handle_ = h;
  }

 private:
  Handle handle_{};
};

struct WindowTraits {
  static void Free(HWND h) { ::DestroyWindow(h); }
};
struct GdiTraits {
  static void Free(HGDIOBJ h) { ::DeleteObject(h); }
};
struct GlobalTraits {
  static void Free(HGLOBAL h) { ::GlobalFree(h); }
};
struct LibraryTraits {
  static void Free(HMODULE h) { ::FreeLibrary(h); }
};

using UniqueWindow = Unique<HWND, WindowTraits>;
using UniqueFont = Unique<HFONT, GdiTraits>;
using UniqueBitmap = Unique<HBITMAP, GdiTraits>;
using UniqueGlobal = Unique<HGLOBAL, GlobalTraits>;
using UniqueLibrary = Unique<HMODULE, LibraryTraits>;

// A window's device context for the length of a block.
class WindowDC {
 public:
  explicit WindowDC(HWND hwnd) : hwnd_(hwnd), dc_(::GetDC(hwnd)) {}
  WindowDC(const WindowDC&) = delete;
  WindowDC& operator=(const WindowDC&) = delete;
  ~WindowDC() {
    if (dc_ != nullptr) {
      ::ReleaseDC(hwnd_, dc_);
    }
  }
  HDC get() const { return dc_; }

 private:
  HWND hwnd_;
  HDC dc_;
};

// A memory device context for the length of a block.
class MemoryDC {
 public:
  explicit MemoryDC(HDC compatibleWith) : dc_(::CreateCompatibleDC(compatibleWith)) {}
  MemoryDC(const MemoryDC&) = delete;
  MemoryDC& operator=(const MemoryDC&) = delete;
  ~MemoryDC() {
    if (dc_ != nullptr) {
      ::DeleteDC(dc_);
    }
  }
  HDC get() const { return dc_; }

 private:
  HDC dc_;
};

// Selects an object into a DC and puts the previous one back at the end of the block.
class SelectedObject {
 public:
  SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(::SelectObject(dc, object)) {}
  SelectedObject(const SelectedObject&) = delete;
  SelectedObject& operator=(const SelectedObject&) = delete;
  ~SelectedObject() {
    if (previous_ != nullptr) {
      ::SelectObject(dc_, previous_);
    }
  }

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

}  // namespace velmora::win32
