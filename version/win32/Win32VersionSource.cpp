#include "version/win32/Win32VersionSource.h"

#include <windows.h>

#include <limits>

namespace velmora {

// Only an ordinary file matches: a wildcard pattern, a directory, a hidden or a system file
// does not, which is what a directory search for ordinary files would find.
bool Win32VersionSource::FileExists(const std::wstring& sFileName) {
  if (sFileName.empty() || sFileName.find_first_of(L"*?") != std::wstring::npos) {
    return false;
  }
  const DWORD attributes = GetFileAttributesW(sFileName.c_str());
  constexpr DWORD kNotOrdinary = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & kNotOrdinary) == 0;
}

std::uint32_t Win32VersionSource::InfoSize(const std::wstring& sFileName) {
  DWORD ignored = 0;
  return GetFileVersionInfoSizeW(sFileName.c_str(), &ignored);
}

bool Win32VersionSource::ReadInfo(const std::wstring& sFileName, std::span<std::byte> buffer) {
  if (buffer.size() > std::numeric_limits<DWORD>::max()) {
    return false;
  }
  return GetFileVersionInfoW(sFileName.c_str(), 0, static_cast<DWORD>(buffer.size()), buffer.data()) != FALSE;
}

std::optional<std::span<const std::byte>> Win32VersionSource::QueryRoot(std::span<const std::byte> buffer) {
  void* root = nullptr;
  UINT length = 0;
  if (!VerQueryValueW(buffer.data(), L"\\", &root, &length) || root == nullptr) {
    return std::nullopt;
  }
  return std::span<const std::byte>(static_cast<const std::byte*>(root), length);
}

std::unique_ptr<VersionSource> MakePlatformVersionSource() {
  return std::make_unique<Win32VersionSource>();
}

}  // namespace velmora
