// The built program's own version resource, read through version.dll.
// Arguments (wide, so that any path can be given): the program's path, and the version it was built with
// ("1.0.0.2").
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>

#include "version/CFileVersion.h"
#include "version/PortableVersionSource.h"
#include "version/WideName.h"
#include "version/win32/Win32VersionSource.h"

namespace velmora {
namespace {

std::wstring programPath;
std::wstring expectedVersion;

TEST(DraskenVersion, VersionDllReportsTheVersionTheProgramWasBuiltWith) {
  ASSERT_FALSE(programPath.empty());
  CFileVersion version(std::make_unique<Win32VersionSource>());
  ASSERT_TRUE(version.FillVersionInfo(programPath)) << Utf8FromWide(programPath);
  EXPECT_EQ(version.VersionString(), expectedVersion);
}

TEST(DraskenVersion, ThePortableReaderReportsTheSame) {
  CFileVersion portable(std::make_unique<PortableVersionSource>());
  ASSERT_TRUE(portable.FillVersionInfo(programPath));
  EXPECT_EQ(portable.VersionString(), expectedVersion);
}

}  // namespace
}  // namespace velmora

int wmain(int argc, wchar_t** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (argc != 3) {
    std::fputs("usage: version_drasken_tests PROGRAM VERSION\n", stderr);
    return 2;
  }
  velmora::programPath = argv[1];
  velmora::expectedVersion = argv[2];
  return RUN_ALL_TESTS();
}
