// Windows: one CreateFileW, then GetFileType, the size and the reads on that handle.
#include "version/OrdinaryFile.h"

#include <windows.h>

#include <algorithm>

namespace velmora {

std::optional<OrdinaryFile> OrdinaryFile::Open(const std::filesystem::path& path) {
  // Without FILE_FLAG_BACKUP_SEMANTICS a directory does not open. Should the name be a pipe's,
  // its server is not let to act as this user (identification only).
  const HANDLE handle = ::CreateFileW(
      path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | SECURITY_SQOS_PRESENT | SECURITY_IDENTIFICATION, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    return std::nullopt;
  }
  OrdinaryFile file(reinterpret_cast<std::intptr_t>(handle));  // closed on every way out from here
  if (::GetFileType(handle) != FILE_TYPE_DISK) {  // a pipe, a console, a device
    return std::nullopt;
  }
  return file;
}

std::optional<std::vector<std::byte>> OrdinaryFile::ReadAll(std::uint64_t maxSize) const {
  const auto handle = reinterpret_cast<HANDLE>(handle_);
  LARGE_INTEGER size{};
  if (!::GetFileSizeEx(handle, &size) || size.QuadPart < 0 ||
      static_cast<std::uint64_t>(size.QuadPart) > maxSize) {
    return std::nullopt;
  }
  std::vector<std::byte> bytes(static_cast<std::size_t>(size.QuadPart));
  std::size_t done = 0;
  while (done < bytes.size()) {  // from the start, at explicit offsets
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(static_cast<std::uint64_t>(done) & 0xFFFFFFFFu);
    at.OffsetHigh = static_cast<DWORD>(static_cast<std::uint64_t>(done) >> 32);
    const auto wanted = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 30));
    DWORD got = 0;
    if (!::ReadFile(handle, bytes.data() + done, wanted, &got, &at) || got == 0) {  // or cut short meanwhile
      return std::nullopt;
    }
    done += got;
  }
  return bytes;
}

OrdinaryFile::~OrdinaryFile() {
  if (handle_ != kNone) {
    ::CloseHandle(reinterpret_cast<HANDLE>(handle_));
  }
}

}  // namespace velmora
