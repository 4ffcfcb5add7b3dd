#include "ObjectCount.h"

namespace velmora::testing {

namespace {
BOOL CALLBACK CountWindow(HWND hwnd, LPARAM count) {
  ++*reinterpret_cast<DWORD*>(count);
  ::EnumChildWindows(hwnd, CountWindow, count);
  return TRUE;
}
}  // namespace

DWORD GdiObjectCount() {
  if (const DWORD reported = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS)) {
    return reported;
  }
  DWORD count = 0;
  for (ULONG_PTR index = 1; index < 0x10000; ++index) {
    if (::GetObjectType(reinterpret_cast<HGDIOBJ>(index)) != 0) {
      ++count;
    }
  }
  return count;
}

DWORD UserObjectCount() {
  if (const DWORD reported = ::GetGuiResources(::GetCurrentProcess(), GR_USEROBJECTS)) {
    return reported;
  }
  DWORD count = 0;
  ::EnumThreadWindows(::GetCurrentThreadId(), CountWindow, reinterpret_cast<LPARAM>(&count));
  return count;
}

}  // namespace velmora::testing
