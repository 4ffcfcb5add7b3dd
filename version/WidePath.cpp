// Apart from the conversions in WideName.cpp, so that a program that converts text but opens no
// file by a wide name does not link the file system library.
#include "version/WideName.h"

namespace velmora {

std::filesystem::path PathFromWide(const std::wstring& name) {
#ifdef _WIN32
  return std::filesystem::path(name);  // the native form
#else
  const std::string utf8 = Utf8FromWide(name);
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
#endif
}

}  // namespace velmora
