#pragma once
// Small, valid PE images with a version resource, so that the readers can be tested on whole
// files and on files damaged at known places; and a scratch directory to write them in.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <random>
#include <span>
#include <string>
#include <vector>

namespace velmora::test {

// The images carry file version 3.4.5.6 and product version 40.50.60.70.
struct PeSpec {
  bool pe32Plus = false;
  bool hasVersion = true;          // false: the version type is 24 (a manifest) instead of 16
  std::uint16_t valueLength = 52;  // the root block's wValueLength
  std::uint32_t directories = 16;  // data directories in the optional header
};

// File offsets, and offsets inside the resource section (at address 0x2000), of what the builder writes.
inline constexpr std::size_t kNtHeaders = 0x40, kOptionalHeader = 0x58, kResources = 0x400;
inline constexpr std::size_t kTypeDirectory = 0x00;      // two id entries: 3 (icon, no names), 16 (version)
inline constexpr std::size_t kNameDirectory = 0x30;      // one id entry: 1
inline constexpr std::size_t kLanguageDirectory = 0x48;  // one id entry: 0x409
inline constexpr std::size_t kDataEntry = 0x60, kVersionData = 0x70, kResourceRaw = 0x200;
inline constexpr std::uint32_t kDirectoryBit = 0x80000000u;

struct PeImage {
  std::vector<std::byte> bytes;
  std::size_t sectionTable = 0;   // .text's header, then .rsrc's
  std::size_t resourceEntry = 0;  // the resource data directory (address, size)
};

// VS_VERSIONINFO with only its root block: 40 bytes of header and key, then the fixed block.
std::vector<std::byte> BuildVersionInfo(std::uint16_t valueLength = 52);
PeImage BuildPeImage(const PeSpec& shape);

void Put16(std::vector<std::byte>& bytes, std::size_t offset, std::uint16_t value);
void Put32(std::vector<std::byte>& bytes, std::size_t offset, std::uint32_t value);

// A fresh directory, removed with everything in it at the end.
struct TempDirectory {
  TempDirectory() { std::filesystem::create_directories(path); }
  ~TempDirectory() { std::error_code ignored; std::filesystem::remove_all(path, ignored); }
  static void Write(const std::filesystem::path& file, std::span<const std::byte> bytes);
  const std::filesystem::path path =
      std::filesystem::temp_directory_path() / ("velmora-version-" + std::to_string(std::random_device()()));
};

}  // namespace velmora::test
