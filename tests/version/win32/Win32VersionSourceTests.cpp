// The Win32 operations under Wine, and the portable reader checked against version.dll on the
// built images and on every PE file of the system directory.
#include "version/win32/Win32VersionSource.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <iostream>
#include <memory>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "PeImageBuilder.h"
#include "version/CFileVersion.h"
#include "version/PortableVersionSource.h"
#include "version/WideName.h"

namespace velmora::test {
namespace {

// The fixed version block (52 bytes) as a source reads it, or nothing; without the file-exists
// test, whose rules differ on purpose (hidden means a dot on one side and an attribute on the other).
template <typename Source>
std::vector<std::byte> RootBlock(const std::wstring& name) {
  using Bytes = std::span<const std::byte>;
  Source s;
  std::vector<std::byte> info(s.InfoSize(name));
  const Bytes root = info.empty() || !s.ReadInfo(name, info) ? Bytes() : s.QueryRoot(info).value_or(Bytes());
  return root.size() >= 52 ? std::vector(root.begin(), root.begin() + 52) : decltype(info)();
}

// Both readers read ordinary files, by the name given only: not a pattern, a named pipe (its server
// waiting), the NUL device or a directory; a name with a lone surrogate is its own file, or none where
// the file system cannot hold it (Wine), never the file with U+FFFD in its place. Hidden and system
// files are the Win32 reader's own rule: the portable one goes by the name's dot.
TEST(Win32VersionSource, BothReadOrdinaryFilesOnlyAndTheFileNamedOnly) {
  TempDirectory directory;
  const auto in = [&](const wchar_t* leaf) { return (directory.path / leaf).wstring(); };
  const auto image = [&](const wchar_t* leaf, const PeSpec& shape, DWORD attribute = FILE_ATTRIBUTE_NORMAL) {
    TempDirectory::Write(in(leaf), BuildPeImage(shape).bytes);
    EXPECT_TRUE(SetFileAttributesW(in(leaf).c_str(), attribute));
    return in(leaf);
  };
  ASSERT_TRUE(CreateDirectoryW(in(L"folder.exe").c_str(), nullptr));
  const std::wstring pipe = L"\\\\.\\pipe\\velmora-version-" + std::to_wstring(GetCurrentProcessId());
  std::vector<std::tuple<std::wstring, const wchar_t*, bool>> cases = {  // the name, its version, both readers
      {image(L"pe32.exe", {}), L"3.4.5.6", true}, {image(L"pe32plus.exe", {.pe32Plus = true}), L"3.4.5.6", true},
      {image(L"\u7248\u672c-\u00e9\U0001F600.exe", {}), L"3.4.5.6", true}, {L"", L"-", true},
      {image(L"readonly.exe", {}, FILE_ATTRIBUTE_READONLY), L"3.4.5.6", true},
      {image(L"plain.exe", {.hasVersion = false}), L"-", true}, {image(L"short.exe", {.valueLength = 51}), L"-", true},
      {image(L"hidden.exe", {}, FILE_ATTRIBUTE_HIDDEN), L"-", false},
      {image(L"system.exe", {}, FILE_ATTRIBUTE_SYSTEM), L"-", false}, {in(L"missing.exe"), L"-", true},
      {in(L"folder.exe"), L"-", true}, {in(L"*.exe"), L"-", true}, {in(L"pe32.ex?"), L"-", true},
      {image(L"caf\uFFFD.exe", {}), L"3.4.5.6", true}, {L"NUL", L"-", true}, {L"\\\\.\\NUL", L"-", true},
      {directory.path.wstring(), L"-", true}, {pipe, L"-", true}};
  PeImage other = BuildPeImage({});
  Put32(other.bytes, kResources + kVersionData + 48, 0x00090009);
  for (const wchar_t* lone : {L"caf\xD800.exe", L"caf\xDC00.exe"}) {
    TempDirectory::Write(in(lone), other.bytes);
    const bool held = GetFileAttributesW(in(lone).c_str()) != INVALID_FILE_ATTRIBUTES;
    cases.emplace_back(in(lone), held ? L"9.9.5.6" : L"-", true);
  }
  std::vector<std::unique_ptr<void, decltype(&CloseHandle)>> servers;  // one instance for each reader
  for (int i = 0; i < 2; ++i) {
    servers.emplace_back(CreateNamedPipeW(pipe.c_str(), PIPE_ACCESS_DUPLEX, PIPE_TYPE_BYTE | PIPE_WAIT, 2,
                                          4096, 4096, 0, nullptr),
                         &CloseHandle);
    ASSERT_NE(servers.back().get(), INVALID_HANDLE_VALUE);
  }
  for (const auto& [name, expected, both] : cases) {
    CFileVersion win32(std::make_unique<Win32VersionSource>()), portable(std::make_unique<PortableVersionSource>());
    EXPECT_EQ(win32.FillVersionInfo(name) ? win32.VersionString() : L"-", expected) << Utf8FromWide(name);
    EXPECT_TRUE(!both || (portable.FillVersionInfo(name) ? portable.VersionString() : L"-") == expected)
        << Utf8FromWide(name);
  }
  for (const auto& entry : std::filesystem::directory_iterator(directory.path)) {
    SetFileAttributesW(entry.path().c_str(), FILE_ATTRIBUTE_NORMAL);  // so that it can be removed
  }
}

// "MZ", then "PE\0\0" where the DOS header says (version.dll reads 16-bit programs too).
bool IsPeFile(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::string dos(64, '\0'), signature(4, '\0');
  const auto lfanew = [&](std::size_t i) { return std::uint32_t{std::uint8_t(dos[0x3C + i])} << 8 * i; };
  return file.read(dos.data(), 64) && dos.starts_with("MZ") &&
         file.seekg(lfanew(0) | lfanew(1) | lfanew(2) | lfanew(3)).read(signature.data(), 4) &&
         signature == std::string("PE\0\0", 4);
}

// Both must succeed or fail together, and agree on the whole fixed block.
TEST(SystemCrossCheck, PortableReaderAgreesWithVersionDllOnEveryPeFile) {
  std::wstring system(MAX_PATH, L'\0');
  system.resize(GetSystemDirectoryW(system.data(), MAX_PATH));
  ASSERT_FALSE(system.empty());
  std::size_t checked = 0, withVersion = 0;
  const auto options = std::filesystem::directory_options::skip_permission_denied;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(system, options)) {
    std::error_code error;
    if (!entry.is_regular_file(error) || !IsPeFile(entry.path())) {
      continue;
    }
    const std::wstring name = entry.path().wstring();
    const auto win32 = RootBlock<Win32VersionSource>(name), portable = RootBlock<PortableVersionSource>(name);
    ++checked;
    withVersion += !win32.empty();
    EXPECT_EQ(win32, portable) << "version.dll and the portable reader on " << Utf8FromWide(name);
  }
  std::cout << "checked " << checked << " PE files under " << Utf8FromWide(system) << ", " << withVersion
            << " with a file version" << std::endl;
  EXPECT_GT(withVersion, 0u);
  EXPECT_GT(checked, withVersion);  // files without a version resource are compared too
}

}  // namespace
}  // namespace velmora::test
