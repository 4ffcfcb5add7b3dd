#include "version/PeVersionReader.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace velmora::pe {
namespace {

using Bytes = std::span<const std::byte>;

// Offsets are carried in 64 bits so that sums of 32-bit fields cannot wrap.
std::optional<Bytes> Slice(Bytes bytes, std::uint64_t offset, std::uint64_t length) {
  if (offset > bytes.size() || length > bytes.size() - offset) {
    return std::nullopt;
  }
  return bytes.subspan(static_cast<std::size_t>(offset), static_cast<std::size_t>(length));
}

// Only for offsets already known to lie inside bytes.
std::uint16_t U16(Bytes bytes, std::size_t offset) {
  return static_cast<std::uint16_t>(std::to_integer<unsigned>(bytes[offset]) |
                                    std::to_integer<unsigned>(bytes[offset + 1]) << 8);
}

std::uint32_t U32(Bytes bytes, std::size_t offset) {
  return static_cast<std::uint32_t>(U16(bytes, offset)) | static_cast<std::uint32_t>(U16(bytes, offset + 2))
                                                              << 16;
}

constexpr std::uint16_t kDosMagic = 0x5A4D;         // "MZ"
constexpr std::uint32_t kPeSignature = 0x00004550;  // "PE\0\0"
constexpr std::uint16_t kPe32Magic = 0x10B;
constexpr std::uint16_t kPe32PlusMagic = 0x20B;
constexpr std::size_t kDosHeaderSize = 64;
constexpr std::size_t kLfanewOffset = 0x3C;
constexpr std::size_t kFileHeaderSize = 20;
constexpr std::size_t kSectionHeaderSize = 40;
constexpr std::uint32_t kResourceDirectoryIndex = 2;
constexpr std::size_t kDataDirectorySize = 8;
constexpr std::size_t kResourceDirectorySize = 16;
constexpr std::size_t kResourceEntrySize = 8;
constexpr std::size_t kResourceDataEntrySize = 16;
constexpr std::uint32_t kHighBit = 0x80000000u;
constexpr std::uint64_t kMaxRva = 0xFFFFFFFFu;

struct Section {
  std::uint32_t virtualAddress;
  std::uint32_t rawSize;
  std::uint32_t rawPointer;
};

// The file bytes as the loader would place them: an address (RVA) is found through the
// section that holds it, and only bytes that the file itself supplies are returned.
class Image {
 public:
  Image(Bytes bytes, std::vector<Section> sections) : bytes_(bytes), sections_(std::move(sections)) {}

  std::optional<Bytes> At(std::uint64_t rva, std::uint64_t length) const {
    if (rva > kMaxRva) {
      return std::nullopt;
    }
    for (const Section& s : sections_) {
      if (rva >= s.virtualAddress && rva - s.virtualAddress < s.rawSize) {
        const std::uint64_t within = rva - s.virtualAddress;
        if (length > s.rawSize - within) {
          return std::nullopt;
        }
        return Slice(bytes_, std::uint64_t{s.rawPointer} + within, length);
      }
    }
    return std::nullopt;
  }

 private:
  Bytes bytes_;
  std::vector<Section> sections_;
};

struct Headers {
  std::vector<Section> sections;
  std::uint32_t resourceRva;
};

std::optional<Headers> ReadHeaders(Bytes image) {
  const auto dos = Slice(image, 0, kDosHeaderSize);
  if (!dos || U16(*dos, 0) != kDosMagic) {
    return std::nullopt;
  }
  const std::uint64_t ntOffset = U32(*dos, kLfanewOffset);
  const auto nt = Slice(image, ntOffset, 4 + kFileHeaderSize);
  if (!nt || U32(*nt, 0) != kPeSignature) {
    return std::nullopt;
  }
  const std::uint16_t sectionCount = U16(*nt, 4 + 2);
  const std::uint16_t optionalSize = U16(*nt, 4 + 16);
  const std::uint64_t optionalOffset = ntOffset + 4 + kFileHeaderSize;
  const auto optional = Slice(image, optionalOffset, optionalSize);
  if (!optional || optional->size() < 2) {
    return std::nullopt;
  }

  const std::uint16_t magic = U16(*optional, 0);
  if (magic != kPe32Magic && magic != kPe32PlusMagic) {
    return std::nullopt;
  }
  const std::size_t countOffset = magic == kPe32Magic ? 92 : 108;  // of NumberOfRvaAndSizes
  const std::size_t directoriesOffset = countOffset + 4;
  const std::size_t resourceEntry = directoriesOffset + kResourceDirectoryIndex * kDataDirectorySize;
  if (optional->size() < resourceEntry + kDataDirectorySize ||
      U32(*optional, countOffset) <= kResourceDirectoryIndex) {
    return std::nullopt;
  }

  const auto table =
      Slice(image, optionalOffset + optionalSize, std::uint64_t{sectionCount} * kSectionHeaderSize);
  if (!table) {
    return std::nullopt;
  }
  std::vector<Section> sections;
  for (std::size_t i = 0; i < sectionCount; ++i) {
    const Bytes s = table->subspan(i * kSectionHeaderSize, kSectionHeaderSize);
    sections.push_back(Section{U32(s, 12), U32(s, 16), U32(s, 20)});
  }
  return Headers{std::move(sections), U32(*optional, resourceEntry)};
}

struct Entry {
  std::uint32_t name;
  std::uint32_t target;
};

// The entries of the resource directory at offset (from the start of the resources).
std::optional<std::vector<Entry>> ReadDirectory(const Image& image, std::uint32_t resourceRva,
                                                std::uint32_t offset) {
  const std::uint64_t rva = std::uint64_t{resourceRva} + offset;
  const auto header = image.At(rva, kResourceDirectorySize);
  if (!header) {
    return std::nullopt;
  }
  const std::uint64_t count = std::uint64_t{U16(*header, 12)} + U16(*header, 14);
  const auto table = image.At(rva + kResourceDirectorySize, count * kResourceEntrySize);
  if (!table) {
    return std::nullopt;
  }
  std::vector<Entry> entries;
  for (std::size_t i = 0; i < count; ++i) {
    entries.push_back(Entry{U32(*table, i * kResourceEntrySize), U32(*table, i * kResourceEntrySize + 4)});
  }
  return entries;
}

// Follows type 16, name 1 and the first language to the version resource's data entry.
// A subdirectory must not be one of the directories above it.
std::optional<std::uint32_t> FindDataEntry(const Image& image, std::uint32_t resourceRva) {
  const std::optional<std::uint32_t> wanted[] = {kVersionResourceType, kVersionResourceName, std::nullopt};
  std::vector<std::uint32_t> path = {0};
  for (const std::optional<std::uint32_t>& id : wanted) {
    const auto entries = ReadDirectory(image, resourceRva, path.back());
    if (!entries) {
      return std::nullopt;
    }
    const auto found = std::find_if(entries->begin(), entries->end(), [&](const Entry& e) {
      return !id || e.name == *id;  // a named entry has the high bit set
    });
    if (found == entries->end()) {
      return std::nullopt;
    }
    const bool isDirectory = (found->target & kHighBit) != 0;
    const std::uint32_t offset = found->target & ~kHighBit;
    if (id == std::nullopt) {  // the language: its entry is the data entry
      return isDirectory ? std::nullopt : std::optional<std::uint32_t>(offset);
    }
    if (!isDirectory || std::find(path.begin(), path.end(), offset) != path.end()) {
      return std::nullopt;
    }
    path.push_back(offset);
  }
  return std::nullopt;  // not reached: the language level returns
}

}  // namespace

std::optional<Bytes> FindVersionResource(Bytes bytes) {
  if (bytes.size() > kMaxImageSize) {
    return std::nullopt;
  }
  auto headers = ReadHeaders(bytes);
  if (!headers || headers->resourceRva == 0) {
    return std::nullopt;
  }
  const std::uint32_t resourceRva = headers->resourceRva;
  const Image image(bytes, std::move(headers->sections));
  const auto dataEntryOffset = FindDataEntry(image, resourceRva);
  if (!dataEntryOffset) {
    return std::nullopt;
  }
  const auto dataEntry = image.At(std::uint64_t{resourceRva} + *dataEntryOffset, kResourceDataEntrySize);
  if (!dataEntry) {
    return std::nullopt;
  }
  const std::uint32_t size = U32(*dataEntry, 4);
  if (size == 0 || size > kMaxVersionResourceSize) {
    return std::nullopt;
  }
  return image.At(U32(*dataEntry, 0), size);
}

std::optional<Bytes> FindRootValue(Bytes versionInfo) {
  // wLength, wValueLength, wType, then the key "VS_VERSION_INFO" in UTF-16 with its
  // terminator, then padding to a 32-bit boundary, then the value.
  static constexpr char16_t kKey[] = u"VS_VERSION_INFO";
  constexpr std::size_t kKeyOffset = 6;
  constexpr std::size_t kKeyBytes = sizeof(kKey);
  constexpr std::size_t kValueOffset = (kKeyOffset + kKeyBytes + 3) / 4 * 4;

  const auto header = Slice(versionInfo, 0, kKeyOffset);
  if (!header) {
    return std::nullopt;
  }
  const auto block = Slice(versionInfo, 0, U16(*header, 0));
  const std::uint16_t valueLength = U16(*header, 2);
  if (!block || block->size() < kValueOffset) {
    return std::nullopt;
  }
  for (std::size_t i = 0; i < kKeyBytes / 2; ++i) {
    if (U16(*block, kKeyOffset + 2 * i) != kKey[i]) {
      return std::nullopt;
    }
  }
  return Slice(*block, kValueOffset, valueLength);
}

}  // namespace velmora::pe
