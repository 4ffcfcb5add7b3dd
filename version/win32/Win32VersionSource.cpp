#include "version/win32/Win32VersionSource.h"

#include <windows.h>

#include <limits>

#include "base/win32/DllSearch.h"
#include "base/win32/Handles.h"

namespace velmora {

namespace {

// version.dll is not one of Windows' known DLLs, so an import of it would be looked for in the
// program's own folder first. It is loaded from the system directory, once, when first needed.
struct VersionDll {
  static const VersionDll& Get() {
    static const VersionDll dll;
    return dll;
  }

  const win32::UniqueLibrary module_{win32::LoadSystemDll(L"version.dll")};
  const decltype(&::GetFileVersionInfoSizeW) infoSize =
      win32::SystemFunction<decltype(&::GetFileVersionInfoSizeW)>(module_.get(), "GetFileVersionInfoSizeW");
  const decltype(&::GetFileVersionInfoW) info =
      win32::SystemFunction<decltype(&::GetFileVersionInfoW)>(module_.get(), "GetFileVersionInfoW");
  const decltype(&::VerQueryValueW) query =
      win32::SystemFunction<decltype(&::VerQueryValueW)>(module_.get(), "VerQueryValueW");
};

}  // namespace

// Only an ordinary file matches: a wildcard pattern, a directory, a hidden or a system file
// does not, which is what a directory search for ordinary files would find. Nor does a name with
// a NUL in it, which the system would read as the shorter name before it.
bool Win32VersionSource::FileExists(const std::wstring& sFileName) {
  if (sFileName.empty() || sFileName.find_first_of(std::wstring_view(L"*?\0", 3)) != std::wstring::npos) {
    return false;
  }
  const DWORD attributes = GetFileAttributesW(sFileName.c_str());
  constexpr DWORD kNotOrdinary = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & kNotOrdinary) == 0;
}

std::uint32_t Win32VersionSource::InfoSize(const std::wstring& sFileName) {
  const auto infoSize = VersionDll::Get().infoSize;
  DWORD ignored = 0;
  return infoSize == nullptr ? 0 : infoSize(sFileName.c_str(), &ignored);
}

bool Win32VersionSource::ReadInfo(const std::wstring& sFileName, std::span<std::byte> buffer) {
  const auto info = VersionDll::Get().info;
  if (info == nullptr || buffer.size() > std::numeric_limits<DWORD>::max()) {
    return false;
  }
  return info(sFileName.c_str(), 0, static_cast<DWORD>(buffer.size()), buffer.data()) != FALSE;
}

std::optional<std::span<const std::byte>> Win32VersionSource::QueryRoot(std::span<const std::byte> buffer) {
  const auto query = VersionDll::Get().query;
  void* root = nullptr;
  UINT length = 0;
  if (query == nullptr || !query(buffer.data(), L"\\", &root, &length) || root == nullptr) {
    return std::nullopt;
  }
  return std::span<const std::byte>(static_cast<const std::byte*>(root), length);
}

std::unique_ptr<VersionSource> MakePlatformVersionSource() {
  return std::make_unique<Win32VersionSource>();
}

}  // namespace velmora
