#pragma once
// Builds small, valid PE images with a version resource, so that the reader can be tested on
// whole files and on files damaged at known places. The layout is fixed; the offsets below
// say where each structure lies so that a test can corrupt exactly one of them.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace velmora::test {

struct FixedVersion {
  std::uint32_t fileMs = 0;
  std::uint32_t fileLs = 0;
  std::uint32_t productMs = 0;
  std::uint32_t productLs = 0;
};

struct PeSpec {
  bool pe32Plus = false;
  // Nothing: the second resource type is 24 (a manifest) instead of 16, so the image has no
  // version resource.
  std::optional<FixedVersion> version;
  // The root block's wValueLength; 52 in a well-formed file.
  std::uint16_t valueLength = 52;
};

// Offsets inside the resource section (from its start) of the structures the builder writes.
inline constexpr std::size_t kTypeDirectory = 0x00;      // two id entries: 3 (icon), 16 (version)
inline constexpr std::size_t kEmptyDirectory = 0x20;     // the icon type's directory, no entries
inline constexpr std::size_t kNameDirectory = 0x30;      // one id entry: 1
inline constexpr std::size_t kLanguageDirectory = 0x48;  // one id entry: 0x409
inline constexpr std::size_t kDataEntry = 0x60;
inline constexpr std::size_t kVersionData = 0x70;

struct PeImage {
  std::vector<std::byte> bytes;
  std::size_t ntHeaders = 0;          // file offset of "PE\0\0"
  std::size_t optionalHeader = 0;     // file offset of the optional header
  std::size_t sectionTable = 0;       // file offset of the first section header (.text, then .rsrc)
  std::size_t resources = 0;          // file offset of the resource section
  std::uint32_t resourceRva = 0;      // its address
  std::size_t versionSize = 0;        // bytes of version data at resources + kVersionData
  std::size_t resourceDirectory = 0;  // file offset of the resource data directory entry (RVA, size)
};

// VS_VERSIONINFO with only its root block and the fixed version block.
std::vector<std::byte> BuildVersionInfo(const FixedVersion& version, std::uint16_t valueLength = 52);

PeImage BuildPeImage(const PeSpec& shape);

void Put16(std::vector<std::byte>& bytes, std::size_t offset, std::uint16_t value);
void Put32(std::vector<std::byte>& bytes, std::size_t offset, std::uint32_t value);
std::uint32_t Get32(const std::vector<std::byte>& bytes, std::size_t offset);

}  // namespace velmora::test
