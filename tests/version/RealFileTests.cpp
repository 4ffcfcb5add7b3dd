// The PE reader on a real program file (a PE DLL of the host's Wine, found at configure time):
//   version_real_file_tests FILE
// The expected numbers come from a plain scan of the file for the version block, not from the
// reader, and every truncation near the structures the reader walks must be refused cleanly.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "PeImageBuilder.h"
#include "version/CFileVersion.h"
#include "version/PeVersionReader.h"
#include "version/PortableVersionSource.h"
#include "version/WideName.h"

namespace velmora::test {
namespace {

std::string fileName;

std::vector<std::byte> ReadAll(const std::string& name) {
  std::ifstream file(name, std::ios::binary);
  const std::vector<char> chars((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  std::vector<std::byte> bytes(chars.size());
  std::transform(chars.begin(), chars.end(), bytes.begin(), [](char c) { return static_cast<std::byte>(c); });
  return bytes;
}

// The file version as found by looking for "VS_VERSION_INFO" in UTF-16 followed, after its
// padding, by the fixed block's signature.
std::optional<std::wstring> ScanForFileVersion(const std::vector<std::byte>& bytes) {
  std::vector<std::byte> key;
  for (const char c : std::string("VS_VERSION_INFO")) {
    key.push_back(static_cast<std::byte>(c));
    key.push_back(std::byte{0});
  }
  const auto at = std::search(bytes.begin(), bytes.end(), key.begin(), key.end());
  const auto keyOffset = static_cast<std::size_t>(at - bytes.begin());
  const std::size_t fixed = (keyOffset + key.size() + 2 + 3) / 4 * 4;
  if (at == bytes.end() || fixed + 16 > bytes.size() || Get32(bytes, fixed) != 0xFEEF04BDu) {
    return std::nullopt;
  }
  const std::uint32_t ms = Get32(bytes, fixed + 8);
  const std::uint32_t ls = Get32(bytes, fixed + 12);
  return std::to_wstring(ms >> 16) + L"." + std::to_wstring(ms & 0xFFFF) + L"." + std::to_wstring(ls >> 16) +
         L"." + std::to_wstring(ls & 0xFFFF);
}

TEST(RealFile, ReadsTheVersionThatAScanOfTheFileFinds) {
  const auto expected = ScanForFileVersion(ReadAll(fileName));
  ASSERT_TRUE(expected) << fileName << " holds no version block";
  CFileVersion version(std::make_unique<PortableVersionSource>());
  ASSERT_TRUE(version.FillVersionInfo(WideFromUtf8(fileName)));
  EXPECT_EQ(version.VersionString(), *expected);
}

// Every length of the first 8 KB (the headers and section table), and every length around the
// end of the version data.
TEST(RealFile, TruncatedCopiesAreRefusedUntilTheVersionDataIsWhole) {
  const std::vector<std::byte> bytes = ReadAll(fileName);
  const auto whole = pe::FindVersionResource(bytes);
  ASSERT_TRUE(whole);
  const std::size_t versionEnd = static_cast<std::size_t>(whole->data() - bytes.data()) + whole->size();

  std::vector<std::size_t> lengths;
  for (std::size_t n = 0; n < std::min<std::size_t>(bytes.size(), 8192); ++n) {
    lengths.push_back(n);
  }
  for (std::size_t n = versionEnd > 1024 ? versionEnd - 1024 : 0; n < std::min(bytes.size(), versionEnd + 64);
       ++n) {
    lengths.push_back(n);
  }
  for (const std::size_t length : lengths) {
    const std::vector<std::byte> cut(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(length));
    const auto resource = pe::FindVersionResource(cut);
    if (length < versionEnd) {
      EXPECT_FALSE(resource) << length;
    } else {
      ASSERT_TRUE(resource) << length;
      EXPECT_EQ(resource->size(), whole->size()) << length;
    }
  }
}

}  // namespace
}  // namespace velmora::test

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (argc != 2) {
    std::fputs("usage: version_real_file_tests FILE\n", stderr);
    return 2;
  }
  velmora::test::fileName = argv[1];
  return RUN_ALL_TESTS();
}
