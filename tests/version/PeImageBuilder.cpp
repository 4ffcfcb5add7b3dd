#include "PeImageBuilder.h"

#include <algorithm>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <utility>

namespace velmora::test {
namespace {

constexpr std::uint32_t kAlignment = 0x200, kTextRva = 0x1000, kResourceRva = 0x2000, kEmptyDirectory = 0x20;

void PutAll(std::vector<std::byte>& bytes, std::size_t base,
            std::initializer_list<std::pair<std::size_t, std::uint32_t>> values) {
  for (const auto& [offset, value] : values) {
    Put32(bytes, base + offset, value);
  }
}

// A resource directory header followed by id entries (id, target).
void PutDirectory(std::vector<std::byte>& bytes, std::size_t at,
                  std::initializer_list<std::pair<std::uint32_t, std::uint32_t>> entries) {
  Put16(bytes, at + 14, static_cast<std::uint16_t>(entries.size()));
  for (const auto& [id, target] : entries) {
    PutAll(bytes, at += 8, {{8, id}, {12, target}});
  }
}

}  // namespace

void TempDirectory::Write(const std::filesystem::path& file, std::span<const std::byte> bytes) {
  std::ofstream(file, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

void Put16(std::vector<std::byte>& bytes, std::size_t offset, std::uint16_t value) {
  bytes.at(offset) = static_cast<std::byte>(value & 0xFF);
  bytes.at(offset + 1) = static_cast<std::byte>(value >> 8);
}

void Put32(std::vector<std::byte>& bytes, std::size_t offset, std::uint32_t value) {
  Put16(bytes, offset, static_cast<std::uint16_t>(value & 0xFFFF));
  Put16(bytes, offset + 2, static_cast<std::uint16_t>(value >> 16));
}

std::vector<std::byte> BuildVersionInfo(std::uint16_t valueLength) {
  constexpr char16_t kKey[] = u"VS_VERSION_INFO";
  std::vector<std::byte> bytes(40 + 52);
  Put16(bytes, 0, static_cast<std::uint16_t>(bytes.size()));
  Put16(bytes, 2, valueLength);
  for (std::size_t i = 0; i < std::size(kKey); ++i) {
    Put16(bytes, 6 + 2 * i, kKey[i]);
  }
  // Signature, structure version, file and product versions, flags mask, VOS_NT_WINDOWS32, VFT_APP.
  PutAll(bytes, 40, {{0, 0xFEEF04BDu}, {4, 0x00010000u}, {8, 0x00030004}, {12, 0x00050006}, {16, 0x00280032},
                     {20, 0x003C0046}, {24, 0x3F}, {32, 0x00040004u}, {36, 1}});
  return bytes;
}

PeImage BuildPeImage(const PeSpec& shape) {
  const std::vector<std::byte> version = BuildVersionInfo(shape.valueLength);
  const auto resourceSize = static_cast<std::uint32_t>(kVersionData + version.size());
  const std::size_t countOffset = shape.pe32Plus ? 108 : 92;
  const auto optionalSize = static_cast<std::uint16_t>(countOffset + 4 + 8 * shape.directories);
  PeImage image{.bytes = std::vector<std::byte>(kResources + kResourceRaw)};
  auto& b = image.bytes;
  // "MZ", "PE\0\0", machine and section count, optional header size and characteristics
  // (executable; large-address-aware or 32-bit).
  PutAll(b, 0, {{0, 0x5A4D}, {0x3C, kNtHeaders}, {kNtHeaders, 0x00004550}});
  PutAll(b, kNtHeaders, {{4, shape.pe32Plus ? 0x28664u : 0x2014Cu},
                         {20, (shape.pe32Plus ? 0x0022u : 0x0102u) << 16 | optionalSize}});
  // Magic, sizes of code and data, entry point and base of code, base of data (PE32) and image
  // base, alignments, OS and subsystem 6.0, sizes of image and headers, console subsystem with
  // terminal-server aware, NX compatible and dynamic base.
  PutAll(b, kOptionalHeader, {{0, shape.pe32Plus ? 0x20Bu : 0x10Bu}, {4, kAlignment}, {8, kAlignment},
                              {16, kTextRva}, {20, kTextRva}, {24, shape.pe32Plus ? 0 : kResourceRva},
                              {28, shape.pe32Plus ? 0x1 : 0x400000}, {32, 0x1000}, {36, kAlignment},
                              {40, 6}, {48, 6}, {56, kResourceRva + 0x1000}, {60, kAlignment},
                              {68, 0x81400003u}, {countOffset, shape.directories}});
  image.resourceEntry = kOptionalHeader + countOffset + 4 + 2 * 8;
  PutAll(b, image.resourceEntry, {{0, kResourceRva}, {4, resourceSize}});
  // .text and .rsrc: name, virtual size and address, raw size and offset, characteristics.
  image.sectionTable = kOptionalHeader + optionalSize;
  PutAll(b, image.sectionTable, {{0, 0x7865742E}, {4, 0x74}, {8, 1}, {12, kTextRva}, {16, kAlignment},
                                 {20, kAlignment}, {36, 0x60000020}, {40, 0x7273722E}, {44, 0x63},
                                 {48, resourceSize}, {52, kResourceRva}, {56, kAlignment},
                                 {60, kResources}, {76, 0x40000040}});
  b[kAlignment] = std::byte{0xC3};  // ret

  const std::size_t r = kResources;  // the icon type's directory is left empty
  PutDirectory(b, r + kTypeDirectory,
               {{3, kDirectoryBit | kEmptyDirectory},
                {shape.hasVersion ? 16u : 24u, kDirectoryBit | kNameDirectory}});
  PutDirectory(b, r + kNameDirectory, {{1, kDirectoryBit | kLanguageDirectory}});
  PutDirectory(b, r + kLanguageDirectory, {{0x409, kDataEntry}});
  PutAll(b, r + kDataEntry,
         {{0, kResourceRva + kVersionData}, {4, static_cast<std::uint32_t>(version.size())}});
  std::copy(version.begin(), version.end(), b.begin() + static_cast<std::ptrdiff_t>(r + kVersionData));
  return image;
}

}  // namespace velmora::test
