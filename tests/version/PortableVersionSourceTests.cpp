#include "version/PortableVersionSource.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "PeImageBuilder.h"
#include "TempDirectory.h"
#include "version/CFileVersion.h"
#include "version/PeVersionReader.h"
#include "version/WideName.h"

namespace velmora::test {
namespace {

constexpr FixedVersion kVersion = {0x00030004, 0x00050006, 0x00280032, 0x003C0046};

class PortableVersionSourceTest : public ::testing::Test {
 protected:
  // A file in the test's directory, by its wide name.
  std::wstring Name(const std::wstring& leaf) const { return directory.path().wstring() + L"/" + leaf; }

  std::wstring WriteFile(const std::wstring& leaf, std::span<const std::byte> bytes) const {
    const std::wstring name = Name(leaf);
    TempDirectory::Write(PathFromWide(name), bytes);
    return name;
  }

  std::wstring WriteImage(const std::wstring& leaf, const PeSpec& shape) const {
    return WriteFile(leaf, BuildPeImage(shape).bytes);
  }

  TempDirectory directory;
  PortableVersionSource source;
};

TEST_F(PortableVersionSourceTest, ReadsTheFileVersionOfBothFormats) {
  for (const bool pe32Plus : {false, true}) {
    const std::wstring name = WriteImage(L"app.exe", {.pe32Plus = pe32Plus, .version = kVersion});
    CFileVersion version(std::make_unique<PortableVersionSource>());
    ASSERT_TRUE(version.FillVersionInfo(name)) << pe32Plus;
    EXPECT_EQ(version.VersionString(), L"3.4.5.6") << pe32Plus;  // the file version, not the product's
  }
}

TEST_F(PortableVersionSourceTest, ThePlatformsOwnOperationsReadTheSameVersion) {
  const std::wstring name = WriteImage(L"app.exe", {.version = kVersion});
  CFileVersion version;
  ASSERT_TRUE(version.FillVersionInfo(name));
  EXPECT_EQ(version.VersionString(), L"3.4.5.6");
}

TEST_F(PortableVersionSourceTest, SizeIsTheVersionResourceAndReadCopiesIt) {
  const PeImage image = BuildPeImage({.version = kVersion});
  const std::wstring name = WriteFile(L"app.exe", image.bytes);
  ASSERT_EQ(source.InfoSize(name), image.versionSize);
  std::vector<std::byte> buffer(image.versionSize);
  ASSERT_TRUE(source.ReadInfo(name, buffer));
  EXPECT_EQ(buffer, BuildVersionInfo(kVersion));
  const auto root = source.QueryRoot(buffer);
  ASSERT_TRUE(root);
  EXPECT_EQ(root->data(), buffer.data() + 40);
  EXPECT_EQ(root->size(), 52u);
}

TEST_F(PortableVersionSourceTest, ReadRefusesABufferTooSmall) {
  const PeImage image = BuildPeImage({.version = kVersion});
  const std::wstring name = WriteFile(L"app.exe", image.bytes);
  std::vector<std::byte> buffer(image.versionSize - 1);
  EXPECT_FALSE(source.ReadInfo(name, buffer));
}

TEST_F(PortableVersionSourceTest, NoVersionInformationGivesSizeZero) {
  const std::string text = "not a program";
  EXPECT_EQ(source.InfoSize(WriteImage(L"plain.exe", {.version = std::nullopt})), 0u);
  EXPECT_EQ(source.InfoSize(WriteFile(L"text.txt", std::as_bytes(std::span(text)))), 0u);
  EXPECT_EQ(source.InfoSize(WriteFile(L"empty.dll", {})), 0u);
  EXPECT_EQ(source.InfoSize(Name(L"missing.dll")), 0u);
  EXPECT_EQ(source.InfoSize(directory.path().wstring()), 0u);
}

TEST_F(PortableVersionSourceTest, ARootBlockShorterThan52FailsTheRead) {
  const std::wstring name = WriteImage(L"short.exe", {.version = kVersion, .valueLength = 51});
  CFileVersion version(std::make_unique<PortableVersionSource>());
  EXPECT_FALSE(version.FillVersionInfo(name));
  EXPECT_EQ(version.VersionString(), L"0.0.0.0");
}

TEST_F(PortableVersionSourceTest, OnlyOrdinaryFilesExist) {
  const std::wstring file = WriteImage(L"app.exe", {.version = kVersion});
  EXPECT_TRUE(source.FileExists(file));
  EXPECT_FALSE(source.FileExists(Name(L"missing.exe")));
  EXPECT_FALSE(source.FileExists(directory.path().wstring()));
  EXPECT_FALSE(source.FileExists(Name(L"")));
  EXPECT_FALSE(source.FileExists(L""));
  EXPECT_FALSE(source.FileExists(WriteImage(L".hidden.exe", {.version = kVersion})));
}

TEST_F(PortableVersionSourceTest, AWildcardNameMatchesNothing) {
  WriteImage(L"app.exe", {.version = kVersion});
  EXPECT_FALSE(source.FileExists(Name(L"*.exe")));
  EXPECT_FALSE(source.FileExists(Name(L"app.ex?")));
  EXPECT_FALSE(source.FileExists(Name(L"*")));
}

TEST_F(PortableVersionSourceTest, ADirectoryNamedLikeAProgramHasNoVersion) {
  const std::wstring name = Name(L"folder.exe");
  std::filesystem::create_directory(PathFromWide(name));
  CFileVersion version(std::make_unique<PortableVersionSource>());
  EXPECT_FALSE(version.FillVersionInfo(name));
}

TEST_F(PortableVersionSourceTest, NamesOutsideAsciiAreFound) {
  const std::wstring leaf = L"\u7248\u672c-\u00e9\U0001F600.exe";
  const std::wstring name = WriteImage(leaf, {.version = kVersion});
  EXPECT_TRUE(
      std::filesystem::exists(directory.path() / std::u8string(u8"\u7248\u672c-\u00e9\U0001F600.exe")));
  CFileVersion version(std::make_unique<PortableVersionSource>());
  ASSERT_TRUE(version.FillVersionInfo(name));
  EXPECT_EQ(version.VersionString(), L"3.4.5.6");
}

TEST(WideNameTest, Utf8RoundTrip) {
  const std::wstring text = L"a\u00e9\u7248\U0001F600z";
  const std::string utf8 = Utf8FromWide(text);
  EXPECT_EQ(utf8, std::string(reinterpret_cast<const char*>(u8"a\u00e9\u7248\U0001F600z")));
  EXPECT_EQ(WideFromUtf8(utf8), text);
}

TEST(WideNameTest, InvalidUtf8BecomesReplacementCharacters) {
  EXPECT_EQ(WideFromUtf8("a\xff"
                         "b"),
            L"a\ufffdb");
  EXPECT_EQ(WideFromUtf8("\xc3"), L"\ufffd");                      // cut short
  EXPECT_EQ(WideFromUtf8("\xc0\xaf"), L"\ufffd\ufffd");            // overlong
  EXPECT_EQ(WideFromUtf8("\xed\xa0\x80"), L"\ufffd\ufffd\ufffd");  // a surrogate
}

}  // namespace
}  // namespace velmora::test
