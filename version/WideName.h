#pragma once
// File names are wide strings throughout. On Windows they are the system's own UTF-16 names;
// elsewhere they are converted to and from the UTF-8 bytes that the file system uses (the
// standard library's own conversion there depends on the C locale).
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace velmora {

// The file system's name for a wide name, or nothing when it has no exact one: a NUL in it (the
// system would end the name there) or, outside Windows, a lone surrogate or a value beyond
// U+10FFFF, which UTF-8 cannot carry. Never a name with U+FFFD put in, which is another file's.
std::optional<std::filesystem::path> PathFromWide(const std::wstring& name);

// Invalid sequences become U+FFFD: for text to show. A wide string is UTF-16 where wchar_t has
// 16 bits (Windows) and holds one code point per character elsewhere.
std::wstring WideFromUtf8(std::string_view text);
std::string Utf8FromWide(std::wstring_view text);

// The wide form of bytes that are valid UTF-8, which converts back to the very same bytes; for
// anything else (a POSIX file name may be any bytes) nothing.
std::optional<std::wstring> WideFromUtf8Exactly(std::string_view text);

// The same conversions to and from UTF-16 on every platform.
std::u16string Utf16FromUtf8(std::string_view text);
std::string Utf8FromUtf16(std::u16string_view text);

}  // namespace velmora
