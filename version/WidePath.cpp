// Apart from the conversions in WideName.cpp, so that a program that converts text but opens no
// file by a wide name does not link the file system library.
#include "version/WideName.h"

namespace velmora {

std::optional<std::filesystem::path> PathFromWide(const std::wstring& name) {
  if (name.find(L'\0') != std::wstring::npos) {
    return std::nullopt;
  }
#ifdef _WIN32
  return std::filesystem::path(name);  // the native form, lone surrogates and all
#else
  const std::string utf8 = Utf8FromWide(name);
  if (WideFromUtf8(utf8) != name) {  // a U+FFFD stood in for something
    return std::nullopt;
  }
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
#endif
}

}  // namespace velmora
