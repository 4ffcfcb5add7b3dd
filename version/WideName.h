#pragma once
// File names are wide strings throughout. On Windows they are the system's own UTF-16 names;
// elsewhere they are converted to and from the UTF-8 bytes that the file system uses (the
// standard library's own conversion there depends on the C locale).
#include <filesystem>
#include <string>
#include <string_view>

namespace velmora {

std::filesystem::path PathFromWide(const std::wstring& name);

// Invalid sequences become U+FFFD. A wide string is UTF-16 where wchar_t has 16 bits (Windows)
// and holds one code point per character elsewhere.
std::wstring WideFromUtf8(std::string_view text);
std::string Utf8FromWide(std::wstring_view text);

// The same conversions to and from UTF-16 on every platform.
std::u16string Utf16FromUtf8(std::string_view text);
std::string Utf8FromUtf16(std::u16string_view text);

}  // namespace velmora
