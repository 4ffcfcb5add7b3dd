#pragma once
// The four operations written in portable C++ over the project's own PE reader: the stand-in
// for version.dll where there is none. A hidden file is one whose name starts with a dot.
// File system errors are reported as ordinary failures, never thrown.
#include "version/VersionSource.h"

namespace velmora {

class PortableVersionSource final : public VersionSource {
 public:
  bool FileExists(const std::wstring& sFileName) override;
  std::uint32_t InfoSize(const std::wstring& sFileName) override;
  bool ReadInfo(const std::wstring& sFileName, std::span<std::byte> buffer) override;
  std::optional<std::span<const std::byte>> QueryRoot(std::span<const std::byte> buffer) override;
};

}  // namespace velmora
