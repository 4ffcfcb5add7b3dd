#include "platform/win32/Clipboard.h"

#include <cstring>

#include "base/win32/Handles.h"
#include "platform/win32/Win32Error.h"

namespace velmora::win32 {

namespace {

class OpenClipboardSession {
 public:
  explicit OpenClipboardSession(HWND owner) : open_(::OpenClipboard(owner) != FALSE) {}
  OpenClipboardSession(const OpenClipboardSession&) = delete;
  OpenClipboardSession& operator=(const OpenClipboardSession&) = delete;
  ~OpenClipboardSession() {
    if (open_) {
      ::CloseClipboard();
    }
  }
  bool IsOpen() const { return open_; }

 private:
  bool open_;
};

UniqueGlobal CopyToGlobal(std::wstring_view text) {
  const SIZE_T bytes = (text.size() + 1) * sizeof(wchar_t);
  UniqueGlobal memory(::GlobalAlloc(GMEM_MOVEABLE, bytes));
  if (!memory) {
    ThrowLastError("GlobalAlloc");
  }
  void* target = ::GlobalLock(memory.get());
  if (target == nullptr) {
    ThrowLastError("GlobalLock");
  }
  std::memcpy(target, text.data(), text.size() * sizeof(wchar_t));
  static_cast<wchar_t*>(target)[text.size()] = L'\0';
  ::GlobalUnlock(memory.get());
  return memory;
}

}  // namespace

ClipboardResult ReplaceClipboardText(HWND owner, std::wstring_view text, std::chrono::milliseconds patience) {
  // The copy is made first, so that nothing can fail between emptying the clipboard and filling it.
  UniqueGlobal memory = CopyToGlobal(text);

  const auto deadline = std::chrono::steady_clock::now() + patience;
  for (;;) {
    OpenClipboardSession session(owner);
    if (session.IsOpen()) {
      if (!::EmptyClipboard()) {
        ThrowLastError("EmptyClipboard");
      }
      if (::SetClipboardData(CF_UNICODETEXT, memory.get()) == nullptr) {
        ThrowLastError("SetClipboardData");
      }
      memory.release();  // the clipboard owns it now
      return ClipboardResult::Replaced;
    }
    if (std::chrono::steady_clock::now() >= deadline) {
      return ClipboardResult::Busy;
    }
    ::Sleep(15);
  }
}

}  // namespace velmora::win32
