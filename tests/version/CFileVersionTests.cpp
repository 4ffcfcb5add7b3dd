#include "version/CFileVersion.h"

#include <gtest/gtest.h>

#include <climits>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "FakeVersionSource.h"
#include "PeImageBuilder.h"

namespace velmora {

// WordPart is private; this is the tests' way in.
struct CFileVersionTestAccess {
  static std::int32_t WordPart(std::int32_t value, std::int32_t which) {
    return CFileVersion::WordPart(value, which);
  }
};

namespace {

using test::FakeVersionSource;
using test::FixedVersion;

constexpr std::uint32_t Halves(std::uint32_t upper, std::uint32_t lower) {
  return upper << 16 | lower;
}

struct Numbers {
  std::int32_t major, minor, revision, build;
};

Numbers Read(const CFileVersion& v) {
  return {v.Major(), v.Minor(), v.Revision(), v.Build()};
}

void ExpectNumbers(const CFileVersion& v, Numbers expected) {
  EXPECT_EQ(v.Major(), expected.major);
  EXPECT_EQ(v.Minor(), expected.minor);
  EXPECT_EQ(v.Revision(), expected.revision);
  EXPECT_EQ(v.Build(), expected.build);
}

class CFileVersionTest : public ::testing::Test {
 protected:
  CFileVersionTest() {
    auto fake = std::make_unique<FakeVersionSource>();
    source = fake.get();
    version = std::make_unique<CFileVersion>(std::move(fake));
  }

  // Version information whose root block holds the given fixed block.
  void GiveVersion(const FixedVersion& fixed) {
    source->info = test::BuildVersionInfo(fixed);
    source->rootOffset = 40;
    source->rootLength = 52;
  }

  FakeVersionSource* source = nullptr;  // owned by version
  std::unique_ptr<CFileVersion> version;
};

TEST_F(CFileVersionTest, NewObjectReportsZeroes) {
  ExpectNumbers(*version, {0, 0, 0, 0});
  EXPECT_EQ(version->VersionString(), L"0.0.0.0");
  EXPECT_TRUE(source->calls.empty());
}

TEST_F(CFileVersionTest, ReadsTheFourHalvesOfTheFileVersion) {
  GiveVersion({Halves(1, 0), Halves(0, 2), Halves(9, 8), Halves(7, 6)});
  EXPECT_TRUE(version->FillVersionInfo(L"C:\\app\\Drasken.exe"));
  ExpectNumbers(*version, {1, 0, 0, 2});
  EXPECT_EQ(version->VersionString(), L"1.0.0.2");
}

TEST_F(CFileVersionTest, CallsTheFourOperationsInOrderWithTheName) {
  GiveVersion({Halves(3, 4), Halves(5, 6), 0, 0});
  ASSERT_TRUE(version->FillVersionInfo(L"name.dll"));
  EXPECT_EQ(source->calls, (std::vector<std::string>{"FileExists", "InfoSize", "ReadInfo", "QueryRoot"}));
  EXPECT_EQ(source->names, (std::vector<std::wstring>{L"name.dll", L"name.dll", L"name.dll"}));
}

TEST_F(CFileVersionTest, ReadsIntoAZeroFilledBufferOfTheReportedSizeAndQueriesThatBuffer) {
  GiveVersion({Halves(1, 1), 0, 0, 0});
  ASSERT_TRUE(version->FillVersionInfo(L"a.exe"));
  EXPECT_EQ(source->readSize, source->info.size());
  EXPECT_EQ(source->bufferZeroFilled, std::vector<bool>{true});
  EXPECT_EQ(source->queriedBuffer, source->readBuffer);
}

TEST_F(CFileVersionTest, HalvesWithTheTopBitSetAreLargePositiveNumbers) {
  GiveVersion({Halves(0xFFFF, 1), Halves(0x8000, 0xFFFF), 0, 0});
  ASSERT_TRUE(version->FillVersionInfo(L"a.exe"));
  ExpectNumbers(*version, {65535, 1, 32768, 65535});
  EXPECT_EQ(version->VersionString(), L"65535.1.32768.65535");
  EXPECT_EQ(version->VersionString().rfind(L"65535.1.", 0), 0u);
}

TEST_F(CFileVersionTest, OnlyTheFileVersionIsRead) {
  GiveVersion({Halves(2, 3), Halves(4, 5), Halves(20, 30), Halves(40, 50)});
  ASSERT_TRUE(version->FillVersionInfo(L"a.exe"));
  ExpectNumbers(*version, {2, 3, 4, 5});
}

TEST_F(CFileVersionTest, TheBlockIsReadWhereverTheQueryPutsItAndItsLengthMayExceed52) {
  std::vector<std::byte> info(200);
  test::Put32(info, 100 + 8, Halves(11, 12));
  test::Put32(info, 100 + 12, Halves(13, 14));
  source->info = info;
  source->rootOffset = 100;
  source->rootLength = 100;
  ASSERT_TRUE(version->FillVersionInfo(L"a.exe"));
  ExpectNumbers(*version, {11, 12, 13, 14});
}

TEST_F(CFileVersionTest, NumbersAreWrittenInPlainDecimal) {
  GiveVersion({Halves(10, 200), Halves(3000, 40000), 0, 0});
  ASSERT_TRUE(version->FillVersionInfo(L"a.exe"));
  EXPECT_EQ(version->VersionString(), L"10.200.3000.40000");
}

TEST_F(CFileVersionTest, ALaterSuccessfulReadReplacesTheNumbers) {
  GiveVersion({Halves(1, 2), Halves(3, 4), 0, 0});
  ASSERT_TRUE(version->FillVersionInfo(L"first.dll"));
  GiveVersion({Halves(5, 6), Halves(7, 8), 0, 0});
  ASSERT_TRUE(version->FillVersionInfo(L"second.dll"));
  ExpectNumbers(*version, {5, 6, 7, 8});
}

// Each way a read can fail, with the operations that must have been called by then.
struct Failure {
  const char* what;
  void (*arrange)(FakeVersionSource&);
  std::vector<std::string> calls;
};

const std::vector<std::string> kUpToExists = {"FileExists"};
const std::vector<std::string> kUpToSize = {"FileExists", "InfoSize"};
const std::vector<std::string> kUpToRead = {"FileExists", "InfoSize", "ReadInfo"};
const std::vector<std::string> kAll = {"FileExists", "InfoSize", "ReadInfo", "QueryRoot"};

class CFileVersionFailureTest : public CFileVersionTest, public ::testing::WithParamInterface<Failure> {};

TEST_P(CFileVersionFailureTest, ReturnsFalseKeepsTheLastNumbersAndStopsAtTheFailedStep) {
  GiveVersion({Halves(1, 0), Halves(0, 2), 0, 0});
  ASSERT_TRUE(version->FillVersionInfo(L"good.exe"));
  const Numbers before = Read(*version);

  GiveVersion({Halves(9, 9), Halves(9, 9), 0, 0});
  source->calls.clear();
  GetParam().arrange(*source);
  EXPECT_FALSE(version->FillVersionInfo(L"bad.exe"));
  ExpectNumbers(*version, before);
  EXPECT_EQ(version->VersionString(), L"1.0.0.2");
  EXPECT_EQ(source->calls, GetParam().calls);
}

TEST_P(CFileVersionFailureTest, OnANewObjectLeavesZeroes) {
  GiveVersion({Halves(9, 9), Halves(9, 9), 0, 0});
  GetParam().arrange(*source);
  EXPECT_FALSE(version->FillVersionInfo(L"bad.exe"));
  ExpectNumbers(*version, {0, 0, 0, 0});
  EXPECT_EQ(version->VersionString(), L"0.0.0.0");
}

INSTANTIATE_TEST_SUITE_P(
    EachStep, CFileVersionFailureTest,
    ::testing::Values(
        Failure{"NoSuchFile", [](FakeVersionSource& s) { s.exists = false; }, kUpToExists},
        Failure{"NoVersionInformation", [](FakeVersionSource& s) { s.info.clear(); }, kUpToSize},
        Failure{"ReadFails", [](FakeVersionSource& s) { s.readSucceeds = false; }, kUpToRead},
        Failure{"QueryFails", [](FakeVersionSource& s) { s.querySucceeds = false; }, kAll},
        Failure{"RootShorterThan52", [](FakeVersionSource& s) { s.rootLength = 51; }, kAll},
        Failure{"RootEmpty", [](FakeVersionSource& s) { s.rootLength = 0; }, kAll},
        Failure{"RootOutsideTheBuffer", [](FakeVersionSource& s) { s.rootOutsideBuffer = true; }, kAll},
        // A platform that reports a block running past the end of the buffer: the copy must
        // not follow it (ASan reports the overread if it does).
        Failure{"RootRunsPastTheBuffer",
                [](FakeVersionSource& s) {
                  s.rootOffset = s.info.size() - 51;
                  s.rootLength = 52;
                },
                kAll}),
    [](const ::testing::TestParamInfo<Failure>& param) { return std::string(param.param.what); });

class CFileVersionThrowTest : public CFileVersionTest, public ::testing::WithParamInterface<std::string> {};

TEST_P(CFileVersionThrowTest, AnErrorFromAnOperationReachesTheCallerAndLeavesTheNumbers) {
  GiveVersion({Halves(1, 0), Halves(0, 2), 0, 0});
  ASSERT_TRUE(version->FillVersionInfo(L"good.exe"));
  GiveVersion({Halves(9, 9), Halves(9, 9), 0, 0});
  source->calls.clear();
  source->throwIn = GetParam();

  EXPECT_THROW(version->FillVersionInfo(L"bad.exe"), std::runtime_error);
  ExpectNumbers(*version, {1, 0, 0, 2});
  ASSERT_FALSE(source->calls.empty());
  EXPECT_EQ(source->calls.back(), GetParam());  // nothing after the operation that failed
}

INSTANTIATE_TEST_SUITE_P(EachOperation, CFileVersionThrowTest,
                         ::testing::Values("FileExists", "InfoSize", "ReadInfo", "QueryRoot"));

TEST(WordPartTest, ZeroSelectsTheLowerAndOneTheUpperHalf) {
  using Access = CFileVersionTestAccess;
  const std::int32_t values[] = {0, 1, 0x00010002, 0x7FFF8000, -1, INT_MIN, INT_MAX, 0x1234ABCD};
  for (const std::int32_t value : values) {
    const auto bits = static_cast<std::uint32_t>(value);
    EXPECT_EQ(Access::WordPart(value, 0), static_cast<std::int32_t>(bits % 0x10000)) << value;
    EXPECT_EQ(Access::WordPart(value, 1), static_cast<std::int32_t>(bits / 0x10000)) << value;
  }
}

TEST(WordPartTest, AnyOtherSelectorGivesZero) {
  using Access = CFileVersionTestAccess;
  const std::int32_t values[] = {0, 1, 0x00010002, -1, INT_MIN, INT_MAX};
  const std::int32_t selectors[] = {2, -1, 3, 16, INT_MIN, INT_MAX};
  for (const std::int32_t value : values) {
    for (const std::int32_t which : selectors) {
      EXPECT_EQ(Access::WordPart(value, which), 0) << value << " " << which;
    }
  }
}

}  // namespace
}  // namespace velmora
