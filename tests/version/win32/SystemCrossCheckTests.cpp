// The project's PE reader against version.dll on every PE file in the system directory: both
// must succeed or fail together, and agree on all four numbers.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "version/CFileVersion.h"
#include "version/PortableVersionSource.h"
#include "version/WideName.h"
#include "version/win32/Win32VersionSource.h"

namespace velmora {
namespace {

// Leaves out the file-exists test, whose rules differ on purpose (hidden means a dot on one
// side and an attribute on the other): only the reading of the version is compared here.
class AnyFile final : public VersionSource {
 public:
  explicit AnyFile(std::unique_ptr<VersionSource> inner) : inner_(std::move(inner)) {}
  bool FileExists(const std::wstring&) override { return true; }
  std::uint32_t InfoSize(const std::wstring& name) override { return inner_->InfoSize(name); }
  bool ReadInfo(const std::wstring& name, std::span<std::byte> buffer) override {
    return inner_->ReadInfo(name, buffer);
  }
  std::optional<std::span<const std::byte>> QueryRoot(std::span<const std::byte> buffer) override {
    return inner_->QueryRoot(buffer);
  }

 private:
  std::unique_ptr<VersionSource> inner_;
};

std::wstring ReadWith(std::unique_ptr<VersionSource> source, const std::wstring& name) {
  CFileVersion version(std::make_unique<AnyFile>(std::move(source)));
  return version.FillVersionInfo(name) ? version.VersionString() : L"none";
}

// "MZ", then "PE\0\0" where the DOS header says.
bool IsPeFile(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  char dos[64] = {};
  if (!file.read(dos, sizeof dos) || dos[0] != 'M' || dos[1] != 'Z') {
    return false;
  }
  std::uint32_t offset = 0;
  for (int i = 3; i >= 0; --i) {
    offset = offset << 8 | static_cast<unsigned char>(dos[0x3C + i]);
  }
  char signature[4] = {};
  return file.seekg(offset).read(signature, sizeof signature) &&
         std::string(signature, 4) == std::string("PE\0\0", 4);
}

std::filesystem::path SystemDirectory() {
  std::wstring path(MAX_PATH, L'\0');
  const UINT length = GetSystemDirectoryW(path.data(), static_cast<UINT>(path.size()));
  path.resize(length < path.size() ? length : 0);
  return path;
}

TEST(SystemCrossCheck, PortableReaderAgreesWithVersionDllOnEveryPeFile) {
  const std::filesystem::path system = SystemDirectory();
  ASSERT_FALSE(system.empty());

  std::size_t checked = 0;
  std::size_t withVersion = 0;
  std::vector<std::wstring> disagreements;
  const auto options = std::filesystem::directory_options::skip_permission_denied;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(system, options)) {
    std::error_code error;
    if (!entry.is_regular_file(error) || !IsPeFile(entry.path())) {
      continue;
    }
    const std::wstring name = entry.path().wstring();
    const std::wstring win32 = ReadWith(std::make_unique<Win32VersionSource>(), name);
    const std::wstring portable = ReadWith(std::make_unique<PortableVersionSource>(), name);
    ++checked;
    if (win32 != L"none") {
      ++withVersion;
    }
    if (win32 != portable) {
      disagreements.push_back(name + L": version.dll " + win32 + L", portable reader " + portable);
    }
  }

  std::cout << "checked " << checked << " PE files under " << Utf8FromWide(system.wstring()) << ": "
            << checked - disagreements.size() << " agree, " << disagreements.size() << " disagree; "
            << withVersion << " have a file version" << std::endl;
  for (const std::wstring& line : disagreements) {
    ADD_FAILURE() << Utf8FromWide(line);
  }
  EXPECT_GT(withVersion, 0u);
  EXPECT_GT(checked, withVersion);  // files without a version resource are compared too
}

}  // namespace
}  // namespace velmora
