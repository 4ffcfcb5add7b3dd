#include "PeImageBuilder.h"

#include <algorithm>
#include <initializer_list>
#include <iterator>
#include <utility>

namespace velmora::test {
namespace {

constexpr std::size_t kFileAlignment = 0x200;
constexpr std::uint32_t kSectionAlignment = 0x1000;
constexpr std::size_t kTextOffset = 0x200;
constexpr std::uint32_t kTextRva = 0x1000;
constexpr std::size_t kResourceOffset = 0x400;
constexpr std::uint32_t kResourceRva = 0x2000;
constexpr std::uint32_t kDirectoryBit = 0x80000000u;

std::size_t RoundUp(std::size_t value, std::size_t alignment) {
  return (value + alignment - 1) / alignment * alignment;
}

// A resource directory header followed by id entries (id, target).
void PutDirectory(std::vector<std::byte>& bytes, std::size_t at,
                  std::initializer_list<std::pair<std::uint32_t, std::uint32_t>> entries) {
  Put16(bytes, at + 14, static_cast<std::uint16_t>(entries.size()));
  std::size_t entry = at + 16;
  for (const auto& [id, target] : entries) {
    Put32(bytes, entry, id);
    Put32(bytes, entry + 4, target);
    entry += 8;
  }
}

void PutSection(std::vector<std::byte>& bytes, std::size_t at, const char (&name)[8],
                std::uint32_t virtualSize, std::uint32_t rva, std::size_t rawSize, std::size_t rawOffset,
                std::uint32_t characteristics) {
  for (std::size_t i = 0; i < 8; ++i) {
    bytes[at + i] = static_cast<std::byte>(name[i]);
  }
  Put32(bytes, at + 8, virtualSize);
  Put32(bytes, at + 12, rva);
  Put32(bytes, at + 16, static_cast<std::uint32_t>(rawSize));
  Put32(bytes, at + 20, static_cast<std::uint32_t>(rawOffset));
  Put32(bytes, at + 36, characteristics);
}

}  // namespace

void Put16(std::vector<std::byte>& bytes, std::size_t offset, std::uint16_t value) {
  bytes.at(offset) = static_cast<std::byte>(value & 0xFF);
  bytes.at(offset + 1) = static_cast<std::byte>(value >> 8);
}

void Put32(std::vector<std::byte>& bytes, std::size_t offset, std::uint32_t value) {
  Put16(bytes, offset, static_cast<std::uint16_t>(value & 0xFFFF));
  Put16(bytes, offset + 2, static_cast<std::uint16_t>(value >> 16));
}

std::uint32_t Get32(const std::vector<std::byte>& bytes, std::size_t offset) {
  std::uint32_t value = 0;
  for (std::size_t i = 4; i-- > 0;) {
    value = value << 8 | std::to_integer<std::uint32_t>(bytes.at(offset + i));
  }
  return value;
}

std::vector<std::byte> BuildVersionInfo(const FixedVersion& version, std::uint16_t valueLength) {
  constexpr char16_t kKey[] = u"VS_VERSION_INFO";
  constexpr std::size_t kValueOffset = 40;  // 6 bytes of header, 32 of key, 2 of padding
  constexpr std::size_t kFixedSize = 52;
  std::vector<std::byte> bytes(kValueOffset + kFixedSize);
  Put16(bytes, 0, static_cast<std::uint16_t>(bytes.size()));
  Put16(bytes, 2, valueLength);
  for (std::size_t i = 0; i < std::size(kKey); ++i) {
    Put16(bytes, 6 + 2 * i, kKey[i]);
  }
  const std::size_t fixed = kValueOffset;
  Put32(bytes, fixed + 0, 0xFEEF04BDu);  // signature
  Put32(bytes, fixed + 4, 0x00010000u);  // structure version
  Put32(bytes, fixed + 8, version.fileMs);
  Put32(bytes, fixed + 12, version.fileLs);
  Put32(bytes, fixed + 16, version.productMs);
  Put32(bytes, fixed + 20, version.productLs);
  Put32(bytes, fixed + 24, 0x3F);         // flags mask
  Put32(bytes, fixed + 32, 0x00040004u);  // VOS_NT_WINDOWS32
  Put32(bytes, fixed + 36, 1);            // VFT_APP
  return bytes;
}

PeImage BuildPeImage(const PeSpec& shape) {
  const std::vector<std::byte> version =
      BuildVersionInfo(shape.version.value_or(FixedVersion{}), shape.valueLength);
  const std::size_t resourceSize = kVersionData + version.size();
  const std::size_t resourceRaw = RoundUp(resourceSize, kFileAlignment);

  PeImage image;
  image.bytes.resize(kResourceOffset + resourceRaw);
  auto& b = image.bytes;

  Put16(b, 0, 0x5A4D);  // "MZ"
  image.ntHeaders = 0x40;
  Put32(b, 0x3C, static_cast<std::uint32_t>(image.ntHeaders));

  Put32(b, image.ntHeaders, 0x00004550);  // "PE\0\0"
  const std::size_t fileHeader = image.ntHeaders + 4;
  const std::uint16_t optionalSize = shape.pe32Plus ? 240 : 224;
  Put16(b, fileHeader + 0, shape.pe32Plus ? 0x8664 : 0x014C);
  Put16(b, fileHeader + 2, 2);
  Put16(b, fileHeader + 16, optionalSize);
  Put16(b, fileHeader + 18, shape.pe32Plus ? 0x0022 : 0x0102);  // executable; large-address-aware or 32-bit

  const std::size_t opt = fileHeader + 20;
  image.optionalHeader = opt;
  Put16(b, opt + 0, shape.pe32Plus ? 0x20B : 0x10B);
  Put32(b, opt + 4, static_cast<std::uint32_t>(kFileAlignment));  // size of code
  Put32(b, opt + 8, static_cast<std::uint32_t>(resourceRaw));     // size of initialised data
  Put32(b, opt + 16, kTextRva);                                   // entry point
  Put32(b, opt + 20, kTextRva);                                   // base of code
  if (shape.pe32Plus) {
    Put32(b, opt + 28, 0x1);  // image base 0x140000000
  } else {
    Put32(b, opt + 24, kResourceRva);  // base of data
    Put32(b, opt + 28, 0x400000);
  }
  Put32(b, opt + 32, kSectionAlignment);
  Put32(b, opt + 36, static_cast<std::uint32_t>(kFileAlignment));
  Put16(b, opt + 40, 6);  // operating system version 6.0
  Put16(b, opt + 48, 6);  // subsystem version 6.0
  Put32(b, opt + 56, kResourceRva + static_cast<std::uint32_t>(RoundUp(resourceSize, kSectionAlignment)));
  Put32(b, opt + 60, static_cast<std::uint32_t>(kTextOffset));  // size of headers
  Put16(b, opt + 68, 3);                                        // console subsystem
  Put16(b, opt + 70, 0x8140);  // terminal-server aware, NX compatible, dynamic base
  const std::size_t sizeField = shape.pe32Plus ? 8 : 4;
  const std::uint32_t sizes[] = {0x100000, 0x1000, 0x100000, 0x1000};  // stack and heap: reserve, commit
  for (std::size_t i = 0; i < std::size(sizes); ++i) {
    Put32(b, opt + 72 + i * sizeField, sizes[i]);
  }
  const std::size_t directories = opt + 72 + 4 * sizeField + 8;  // after the loader flags and the count
  Put32(b, directories - 4, 16);
  image.resourceDirectory = directories + 2 * 8;
  Put32(b, image.resourceDirectory, kResourceRva);
  Put32(b, image.resourceDirectory + 4, static_cast<std::uint32_t>(resourceSize));

  image.sectionTable = opt + optionalSize;
  PutSection(b, image.sectionTable, ".text\0\0", 1, kTextRva, kFileAlignment, kTextOffset, 0x60000020);
  PutSection(b, image.sectionTable + 40, ".rsrc\0\0", static_cast<std::uint32_t>(resourceSize), kResourceRva,
             resourceRaw, kResourceOffset, 0x40000040);
  b[kTextOffset] = std::byte{0xC3};  // ret

  image.resources = kResourceOffset;
  image.resourceRva = kResourceRva;
  const std::size_t r = kResourceOffset;
  const std::uint32_t type = shape.version ? 16 : 24;
  PutDirectory(b, r + kTypeDirectory,
               {{3, kDirectoryBit | kEmptyDirectory}, {type, kDirectoryBit | kNameDirectory}});
  PutDirectory(b, r + kEmptyDirectory, {});
  PutDirectory(b, r + kNameDirectory, {{1, kDirectoryBit | kLanguageDirectory}});
  PutDirectory(b, r + kLanguageDirectory, {{0x409, kDataEntry}});
  Put32(b, r + kDataEntry, kResourceRva + static_cast<std::uint32_t>(kVersionData));
  Put32(b, r + kDataEntry + 4, static_cast<std::uint32_t>(version.size()));
  std::copy(version.begin(), version.end(), b.begin() + static_cast<std::ptrdiff_t>(r + kVersionData));
  image.versionSize = version.size();
  return image;
}

}  // namespace velmora::test
