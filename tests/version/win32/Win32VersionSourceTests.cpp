#include "version/win32/Win32VersionSource.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "PeImageBuilder.h"
#include "TempDirectory.h"
#include "version/CFileVersion.h"

namespace velmora::test {
namespace {

constexpr FixedVersion kVersion = {0x00030004, 0x00050006, 0x00280032, 0x003C0046};

class Win32VersionSourceTest : public ::testing::Test {
 protected:
  // Read-only, hidden and system files are made ordinary again so that they can be removed.
  ~Win32VersionSourceTest() override {
    for (const auto& entry : std::filesystem::directory_iterator(directory.path())) {
      SetFileAttributesW(entry.path().c_str(), FILE_ATTRIBUTE_NORMAL);
    }
  }

  std::wstring Name(const std::wstring& leaf) const { return (directory.path() / leaf).wstring(); }

  std::wstring WriteImage(const std::wstring& leaf, const PeSpec& shape) const {
    const std::wstring name = Name(leaf);
    TempDirectory::Write(name, BuildPeImage(shape).bytes);
    return name;
  }

  // An ordinary file given one more attribute, which must be seen to have stuck.
  std::wstring WriteWithAttribute(const std::wstring& leaf, DWORD attribute) const {
    const std::wstring name = WriteImage(leaf, {.version = kVersion});
    EXPECT_TRUE(SetFileAttributesW(name.c_str(), attribute));
    const DWORD attributes = GetFileAttributesW(name.c_str());
    EXPECT_NE(attributes, INVALID_FILE_ATTRIBUTES);
    EXPECT_NE(attributes & attribute, 0u) << "the file system did not keep the attribute";
    return name;
  }

  std::wstring ReadVersion(const std::wstring& name) {
    CFileVersion version(std::make_unique<Win32VersionSource>());
    return version.FillVersionInfo(name) ? version.VersionString() : L"failed";
  }

  TempDirectory directory;
  Win32VersionSource source;
};

TEST_F(Win32VersionSourceTest, VersionDllReadsTheFileVersionOfBothFormats) {
  EXPECT_EQ(ReadVersion(WriteImage(L"pe32.exe", {.pe32Plus = false, .version = kVersion})), L"3.4.5.6");
  EXPECT_EQ(ReadVersion(WriteImage(L"pe32plus.exe", {.pe32Plus = true, .version = kVersion})), L"3.4.5.6");
}

TEST_F(Win32VersionSourceTest, AFileWithoutAVersionResourceFails) {
  const std::wstring name = WriteImage(L"plain.exe", {.version = std::nullopt});
  EXPECT_EQ(source.InfoSize(name), 0u);
  EXPECT_EQ(ReadVersion(name), L"failed");
}

TEST_F(Win32VersionSourceTest, ARootBlockShorterThan52Fails) {
  EXPECT_EQ(ReadVersion(WriteImage(L"short.exe", {.version = kVersion, .valueLength = 51})), L"failed");
}

TEST_F(Win32VersionSourceTest, AnOrdinaryFileExists) {
  EXPECT_TRUE(source.FileExists(WriteImage(L"app.exe", {.version = kVersion})));
  EXPECT_TRUE(source.FileExists(WriteWithAttribute(L"readonly.exe", FILE_ATTRIBUTE_READONLY)));
}

TEST_F(Win32VersionSourceTest, AMissingFileDoesNotExist) {
  EXPECT_FALSE(source.FileExists(Name(L"missing.exe")));
  EXPECT_FALSE(source.FileExists(L""));
}

TEST_F(Win32VersionSourceTest, ADirectoryDoesNotExistAsAFile) {
  const std::wstring name = Name(L"folder.exe");
  ASSERT_TRUE(CreateDirectoryW(name.c_str(), nullptr));
  EXPECT_FALSE(source.FileExists(name));
  EXPECT_FALSE(source.FileExists(directory.path().wstring()));
}

TEST_F(Win32VersionSourceTest, AHiddenFileDoesNotExist) {
  const std::wstring name = WriteWithAttribute(L"hidden.exe", FILE_ATTRIBUTE_HIDDEN);
  EXPECT_FALSE(source.FileExists(name));
  EXPECT_EQ(ReadVersion(name), L"failed");
}

TEST_F(Win32VersionSourceTest, ASystemFileDoesNotExist) {
  EXPECT_FALSE(source.FileExists(WriteWithAttribute(L"system.exe", FILE_ATTRIBUTE_SYSTEM)));
}

TEST_F(Win32VersionSourceTest, AWildcardNameMatchesNothing) {
  WriteImage(L"app.exe", {.version = kVersion});
  EXPECT_FALSE(source.FileExists(Name(L"*.exe")));
  EXPECT_FALSE(source.FileExists(Name(L"app.ex?")));
  EXPECT_FALSE(source.FileExists(Name(L"*")));
  EXPECT_EQ(ReadVersion(Name(L"*.exe")), L"failed");
}

TEST_F(Win32VersionSourceTest, NamesOutsideTheCodePageAreRead) {
  EXPECT_EQ(ReadVersion(WriteImage(L"\u7248\u672c-\u00e9\U0001F600.exe", {.version = kVersion})), L"3.4.5.6");
}

}  // namespace
}  // namespace velmora::test
