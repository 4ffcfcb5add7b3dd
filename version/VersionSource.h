#pragma once
// The four platform operations that CFileVersion needs and nothing else. On Windows they are
// the Win32 file attribute test and version.dll; elsewhere the project's own reader of the PE
// version resource stands in for version.dll. Tests supply a recording fake.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>

namespace velmora {

class VersionSource {
 public:
  virtual ~VersionSource() = default;

  // True when the name matches one ordinary file: no directory, hidden or system file, and
  // no wildcard pattern.
  virtual bool FileExists(const std::wstring& sFileName) = 0;

  // The size in bytes of the file's version information; 0 when it has none or it cannot
  // be read.
  virtual std::uint32_t InfoSize(const std::wstring& sFileName) = 0;

  // Fills the buffer (sized by InfoSize) with the version information.
  virtual bool ReadInfo(const std::wstring& sFileName, std::span<std::byte> buffer) = 0;

  // The root block ("\") of version information read by ReadInfo: the fixed version block
  // with the length that the platform reports for it. Nothing when the query fails.
  virtual std::optional<std::span<const std::byte>> QueryRoot(std::span<const std::byte> buffer) = 0;
};

// The platform's own operations: Win32 on Windows, the portable reader elsewhere.
std::unique_ptr<VersionSource> MakePlatformVersionSource();

}  // namespace velmora
