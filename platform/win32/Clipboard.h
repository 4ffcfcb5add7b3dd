#pragma once
#include <windows.h>

#include <chrono>
#include <string_view>

#include "platform/Forms.h"

namespace velmora::win32 {

// Opens the clipboard, empties it, puts the text on it as CF_UNICODETEXT (Windows derives the
// narrow formats) and closes it again, as one operation. While another program holds the
// clipboard it retries until the patience runs out and answers Busy, with the previous content
// untouched. Any other failure throws PlatformError; the clipboard is never left open.
ClipboardResult ReplaceClipboardText(HWND owner, std::wstring_view text,
                                     std::chrono::milliseconds patience = std::chrono::milliseconds(500));

}  // namespace velmora::win32
