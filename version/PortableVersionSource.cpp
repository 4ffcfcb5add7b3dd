#include "version/PortableVersionSource.h"

#include <algorithm>
#include <utility>

#include "version/PeVersionReader.h"
#include "version/WideName.h"

namespace velmora {
namespace {

#ifdef _WIN32
constexpr const wchar_t* kSeparators = L"\\/:";
#else
constexpr const wchar_t* kSeparators = L"/";
#endif

std::optional<OrdinaryFile> OpenNamed(const std::wstring& name) {
  const auto path = PathFromWide(name);
  return path ? OrdinaryFile::Open(*path) : std::nullopt;
}

}  // namespace

bool PortableVersionSource::FileExists(const std::wstring& sFileName) {
  held_.reset();
  if (sFileName.empty() || sFileName.find_first_of(L"*?") != std::wstring::npos) {
    return false;
  }
  const std::size_t separator = sFileName.find_last_of(kSeparators);
  const std::size_t leaf = separator == std::wstring::npos ? 0 : separator + 1;
  if (leaf == sFileName.size() || sFileName[leaf] == L'.') {
    return false;
  }
  auto file = OpenNamed(sFileName);
  if (!file) {
    return false;
  }
  held_.emplace(Held{sFileName, std::move(*file)});
  return true;
}

std::optional<std::vector<std::byte>> PortableVersionSource::VersionInfo(const std::wstring& sFileName) {
  auto file = Take<OrdinaryFile>(sFileName);
  held_.reset();
  if (!file) {
    file = OpenNamed(sFileName);
  }
  if (!file) {
    return std::nullopt;
  }
  const auto image = file->ReadAll(pe::kMaxImageSize);
  if (!image) {
    return std::nullopt;
  }
  const auto resource = pe::FindVersionResource(*image);
  if (!resource) {
    return std::nullopt;
  }
  return std::vector<std::byte>(resource->begin(), resource->end());
}

std::uint32_t PortableVersionSource::InfoSize(const std::wstring& sFileName) {
  auto info = VersionInfo(sFileName);
  if (!info) {
    return 0;
  }
  const auto size = static_cast<std::uint32_t>(info->size());  // at most kMaxVersionResourceSize
  held_.emplace(Held{sFileName, std::move(*info)});
  return size;
}

bool PortableVersionSource::ReadInfo(const std::wstring& sFileName, std::span<std::byte> buffer) {
  auto info = Take<std::vector<std::byte>>(sFileName);
  if (!info) {
    info = VersionInfo(sFileName);
  }
  held_.reset();
  if (!info || info->size() > buffer.size()) {
    return false;
  }
  std::copy(info->begin(), info->end(), buffer.begin());
  return true;
}

std::optional<std::span<const std::byte>> PortableVersionSource::QueryRoot(
    std::span<const std::byte> buffer) {
  return pe::FindRootValue(buffer);
}

}  // namespace velmora
