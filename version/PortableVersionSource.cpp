#include "version/PortableVersionSource.h"

#include <algorithm>
#include <fstream>
#include <system_error>
#include <vector>

#include "version/PeVersionReader.h"
#include "version/WideName.h"

namespace velmora {
namespace {

#ifdef _WIN32
constexpr const wchar_t* kSeparators = L"\\/:";
#else
constexpr const wchar_t* kSeparators = L"/";
#endif

// The whole file, or nothing when it cannot be read or is larger than the reader accepts.
std::optional<std::vector<std::byte>> ReadImage(const std::wstring& name) {
  const std::filesystem::path path = PathFromWide(name);
  std::error_code error;
  const std::uintmax_t size = std::filesystem::file_size(path, error);
  if (error || size > pe::kMaxImageSize) {
    return std::nullopt;
  }
  std::ifstream file(path, std::ios::binary);
  std::vector<std::byte> bytes(static_cast<std::size_t>(size));
  if (!file.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()))) {
    return std::nullopt;
  }
  return bytes;
}

}  // namespace

bool PortableVersionSource::FileExists(const std::wstring& sFileName) {
  if (sFileName.empty() || sFileName.find_first_of(L"*?") != std::wstring::npos) {
    return false;
  }
  const std::size_t separator = sFileName.find_last_of(kSeparators);
  const std::size_t leaf = separator == std::wstring::npos ? 0 : separator + 1;
  if (leaf == sFileName.size() || sFileName[leaf] == L'.') {
    return false;
  }
  std::error_code error;
  return std::filesystem::is_regular_file(PathFromWide(sFileName), error);
}

std::uint32_t PortableVersionSource::InfoSize(const std::wstring& sFileName) {
  const auto image = ReadImage(sFileName);
  if (!image) {
    return 0;
  }
  const auto resource = pe::FindVersionResource(*image);
  return resource ? static_cast<std::uint32_t>(resource->size()) : 0;
}

bool PortableVersionSource::ReadInfo(const std::wstring& sFileName, std::span<std::byte> buffer) {
  const auto image = ReadImage(sFileName);
  if (!image) {
    return false;
  }
  const auto resource = pe::FindVersionResource(*image);
  if (!resource || resource->size() > buffer.size()) {
    return false;
  }
  std::copy(resource->begin(), resource->end(), buffer.begin());
  return true;
}

std::optional<std::span<const std::byte>> PortableVersionSource::QueryRoot(
    std::span<const std::byte> buffer) {
  return pe::FindRootValue(buffer);
}

}  // namespace velmora
