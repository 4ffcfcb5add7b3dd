#pragma once
// The four operations on Windows: the file attributes for the file-exists test, and
// version.dll for the version information.
#include "version/VersionSource.h"

namespace velmora {

class Win32VersionSource final : public VersionSource {
 public:
  bool FileExists(const std::wstring& sFileName) override;
  std::uint32_t InfoSize(const std::wstring& sFileName) override;
  bool ReadInfo(const std::wstring& sFileName, std::span<std::byte> buffer) override;
  std::optional<std::span<const std::byte>> QueryRoot(std::span<const std::byte> buffer) override;
};

}  // namespace velmora
