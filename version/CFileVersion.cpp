#include "version/CFileVersion.h"

#include <array>
#include <cassert>
#include <cstddef>
#include <cstring>
#include <span>
#include <utility>
#include <vector>

namespace velmora {
namespace {

// VS_FIXEDFILEINFO: 52 bytes, little-endian; only the file version is read.
constexpr std::size_t kFixedBlockSize = 52;
constexpr std::size_t kFileVersionMsOffset = 8;
constexpr std::size_t kFileVersionLsOffset = 12;

using FixedBlock = std::array<std::byte, kFixedBlockSize>;

std::uint32_t ReadUInt32(const FixedBlock& block, std::size_t offset) {
  return std::to_integer<std::uint32_t>(block[offset]) |
         std::to_integer<std::uint32_t>(block[offset + 1]) << 8 |
         std::to_integer<std::uint32_t>(block[offset + 2]) << 16 |
         std::to_integer<std::uint32_t>(block[offset + 3]) << 24;
}

// The root block must lie inside the buffer and hold the whole fixed block; its reported
// length is not trusted further than that.
bool CopyFixedBlock(std::span<const std::byte> buffer, std::span<const std::byte> root, FixedBlock& out) {
  // A root block before the buffer gives an offset larger than any buffer.
  const std::uintptr_t offset =
      reinterpret_cast<std::uintptr_t>(root.data()) - reinterpret_cast<std::uintptr_t>(buffer.data());
  if (root.size() < kFixedBlockSize || buffer.size() < kFixedBlockSize ||
      offset > buffer.size() - kFixedBlockSize) {
    return false;
  }
  std::memcpy(out.data(), buffer.data() + offset, kFixedBlockSize);
  return true;
}

}  // namespace

CFileVersion::CFileVersion() : CFileVersion(MakePlatformVersionSource()) {}

CFileVersion::CFileVersion(std::unique_ptr<VersionSource> source) : source_(std::move(source)) {
  assert(source_);
}

bool CFileVersion::FillVersionInfo(std::wstring sFileName) {
  if (!source_->FileExists(sFileName)) {
    return false;
  }
  const std::uint32_t size = source_->InfoSize(sFileName);
  if (size == 0) {
    return false;
  }
  std::vector<std::byte> buffer(size);  // zero-filled; released on every way out
  if (!source_->ReadInfo(sFileName, buffer)) {
    return false;
  }
  const auto root = source_->QueryRoot(buffer);
  FixedBlock block{};
  if (!root || !CopyFixedBlock(buffer, *root, block)) {
    return false;
  }
  const auto ms = static_cast<std::int32_t>(ReadUInt32(block, kFileVersionMsOffset));
  const auto ls = static_cast<std::int32_t>(ReadUInt32(block, kFileVersionLsOffset));
  major_ = WordPart(ms, 1);
  minor_ = WordPart(ms, 0);
  revision_ = WordPart(ls, 1);
  build_ = WordPart(ls, 0);
  return true;
}

std::wstring CFileVersion::VersionString() const {
  return std::to_wstring(major_) + L'.' + std::to_wstring(minor_) + L'.' + std::to_wstring(revision_) + L'.' +
         std::to_wstring(build_);
}

std::int32_t CFileVersion::WordPart(std::int32_t value, std::int32_t which) {
  const auto bits = static_cast<std::uint32_t>(value);
  switch (which) {
    case 0:
      return static_cast<std::int32_t>(bits & 0xFFFFu);
    case 1:
      return static_cast<std::int32_t>(bits >> 16);
    default:
      return 0;
  }
}

}  // namespace velmora
