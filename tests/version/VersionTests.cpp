// CFileVersion over a fake of its four operations; the project's own PE version reader on built
// images and on images damaged at known places; the portable operations on files; file names.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

#include "PeImageBuilder.h"
#include "version/CFileVersion.h"
#include "version/PeVersionReader.h"
#include "version/PortableVersionSource.h"
#include "version/WideName.h"

namespace velmora::test {
namespace {

// The four operations over version information of 92 bytes whose root block (at rootAt) holds
// the file version; each call is counted, and `fail` makes one return failure (or throw).
struct FakeVersionSource final : VersionSource {
  enum Failure { kNone, kExists, kSize, kRead, kQuery, kThrowExists, kThrowSize, kThrowRead, kThrowQuery };
  static constexpr std::size_t kOutside = 1000;  // a root block in memory of its own
  Failure fail = kNone;
  std::vector<std::byte> info = std::vector<std::byte>(92, std::byte{0x5A});
  std::size_t rootAt = 40, rootLength = 52, calls = 0;
  std::wstring name;  // the last one given
  std::vector<std::byte> outside = std::vector<std::byte>(64);

  bool FileExists(const std::wstring& n) override { return Call(n, kExists); }
  std::uint32_t InfoSize(const std::wstring& n) override {
    return Call(n, kSize) ? static_cast<std::uint32_t>(info.size()) : 0;
  }
  bool ReadInfo(const std::wstring& n, std::span<std::byte> buffer) override {
    std::copy_n(info.begin(), std::min(info.size(), buffer.size()), buffer.begin());
    return Call(n, kRead);
  }
  std::optional<std::span<const std::byte>> QueryRoot(std::span<const std::byte> buffer) override {
    if (!Call(name, kQuery)) {
      return std::nullopt;
    }
    return std::span(rootAt == kOutside ? outside.data() : buffer.data() + rootAt, rootLength);
  }
  bool Call(const std::wstring& given, Failure failure) {
    ++calls;
    name = given;
    if (fail == failure + 4) {
      throw std::runtime_error("failed");
    }
    return fail != failure;
  }
};

class CFileVersionTest : public ::testing::Test {
 protected:
  FakeVersionSource& Give(std::uint32_t ms, std::uint32_t ls, std::size_t rootAt = 40) {
    source = FakeVersionSource{};
    Put32(source.info, rootAt + 8, ms);
    Put32(source.info, rootAt + 12, ls);
    source.rootAt = rootAt;
    return source;
  }
  std::wstring Fill() {
    const bool filled = version.FillVersionInfo(L"C:\\app\\Drasken.exe");
    return (filled ? L"" : L"failed ") + version.VersionString();
  }

  FakeVersionSource& source = *new FakeVersionSource;
  CFileVersion version{std::unique_ptr<VersionSource>(&source)};  // owns source
};

TEST_F(CFileVersionTest, ReadsTheFileVersionWhereverTheRootBlockLies) {
  Give(0x00010000, 0x00000002);
  EXPECT_EQ(Fill(), L"1.0.0.2");
  EXPECT_EQ(source.name, L"C:\\app\\Drasken.exe");
  Give(0x000A00C8, 0x0BB89C40);
  EXPECT_EQ(Fill(), L"10.200.3000.40000");
  Give(0xFFFF0001, 0x8000FFFF);  // halves with the top bit set
  EXPECT_EQ(Fill(), L"65535.1.32768.65535");
  Give(0x00030004, 0x00050006, 0).info.resize(52);  // the block fills the whole buffer
  EXPECT_EQ(Fill(), L"3.4.5.6");
  Give(0x000B000C, 0x000D000E, 30).rootLength = 62;  // longer than the fixed block
  EXPECT_EQ(Fill(), L"11.12.13.14");
}

// Each way a read can fail, or an operation can throw: the last numbers are kept, and no step
// after the failed one is taken.
TEST_F(CFileVersionTest, AFailedStepKeepsTheNumbersAndStopsThere) {
  using F = FakeVersionSource;
  const struct {
    F::Failure fail;
    std::size_t rootAt, rootLength, steps;
  } cases[] = {
      {F::kExists, 40, 52, 1}, {F::kSize, 40, 52, 2}, {F::kRead, 40, 52, 3}, {F::kQuery, 40, 52, 4},
      // A root block too short, empty, outside the buffer, or running past its end (ASan reports
      // the overread if that one is followed).
      {F::kNone, 40, 51, 4}, {F::kNone, 40, 0, 4}, {F::kNone, F::kOutside, 52, 4}, {F::kNone, 41, 52, 4},
      {F::kThrowExists, 40, 52, 1}, {F::kThrowSize, 40, 52, 2}, {F::kThrowRead, 40, 52, 3},
      {F::kThrowQuery, 40, 52, 4},
  };
  for (const auto& c : cases) {
    Give(0x00010000, 0x00000002);
    ASSERT_EQ(Fill(), L"1.0.0.2");
    Give(0x00090009, 0x00090009);
    source.fail = c.fail;
    source.rootAt = c.rootAt;
    source.rootLength = c.rootLength;
    if (c.fail >= F::kThrowExists) {
      EXPECT_THROW(Fill(), std::runtime_error);
      EXPECT_EQ(version.VersionString(), L"1.0.0.2");
    } else {
      EXPECT_EQ(Fill(), L"failed 1.0.0.2") << c.fail << " " << c.rootAt << " " << c.rootLength;
    }
    EXPECT_EQ(source.calls, c.steps);
  }
}

// Where an edit's offset counts from.
enum Anchor { kFile, kNt, kOptional, kSections, kRsrc, kResourceEntry };
constexpr std::uint32_t kData = 0x2000 + kVersionData;    // the version data's address
constexpr std::uint32_t kRoom = kResourceRaw - kVersionData;  // bytes from there to the section's end
constexpr std::uint32_t kMax = pe::kMaxVersionResourceSize;

// 32-bit writes into a built image (after it grows by `grow` zero bytes, all of them given to
// the resource section), and what the reader must find then: `size` bytes of version data at
// the resource section's offset kVersionData, or nothing when size is 0.
struct Edit {
  const char* what;
  std::vector<std::tuple<Anchor, std::size_t, std::uint32_t>> writes;
  std::size_t size = 92, grow = 0;
};

const Edit kEdits[] = {
    // What the reader must see through, at the edges of what it accepts.
    {"AsBuilt", {}},
    {"OnlyTheResourceSection", {{kSections, 12, 0x2000}, {kSections, 20, 0x400}, {kNt, 6, 1}}},
    {"DataEntryAtTheSectionsEnd",
     {{kRsrc, 0x1F0, kData}, {kRsrc, 0x1F4, 92}, {kRsrc, kLanguageDirectory + 20, 0x1F0}}},
    {"DataRunningToTheSectionsEnd", {{kRsrc, kDataEntry + 4, kRoom}}, kRoom},
    {"DataOfTheLargestSize",
     {{kSections, 56, kMax + kVersionData}, {kRsrc, kDataEntry + 4, kMax}}, kMax, kMax},
    // .text mapped so that its last byte, at the last address, is the version data's first.
    {"OneByteAtTheLastAddress",
     {{kSections, 12, 0xFFFFFF00u}, {kSections, 20, 0x400 + kVersionData - 0xFF}, {kRsrc, kDataEntry, ~0u},
      {kRsrc, kDataEntry + 4, 1}},
     1},
    {"ANamedTypeWhoseLowBitsSay16ComesFirst", {{kRsrc, kTypeDirectory + 16, kDirectoryBit | 16}}},
    {"TextEndingWhereTheResourcesBegin", {{kSections, 16, 0x1000}}},
    // Refused.
    {"NoVersionType", {{kRsrc, kTypeDirectory + 24, 24}}, 0},
    {"NoResources", {{kResourceEntry, 0, 0}}, 0},
    {"ResourcesAtAddressZero",
     {{kSections, 52, 0}, {kResourceEntry, 0, 0}, {kRsrc, kDataEntry, kVersionData}}, 0},
    {"NoMz", {{kFile, 0, 0}}, 0},
    {"NtHeadersPastTheEnd", {{kFile, 0x3C, 0x600}}, 0},
    {"NtHeadersAtTheLastAddress", {{kFile, 0x3C, ~0u}}, 0},
    {"NoPeSignature", {{kNt, 0, 0x4551}}, 0},
    {"UnknownOptionalHeader", {{kOptional, 0, 0x107}}, 0},
    {"OptionalHeaderPastTheEnd", {{kNt, 20, 0xFFFF}}, 0},
    {"OnlyTwoDataDirectories", {{kResourceEntry, ~std::size_t{19}, 2}}, 0},  // the count, 20 bytes before
    {"SectionTablePastTheEnd", {{kNt, 6, 0xFFFF}}, 0},
    {"NoSections", {{kNt, 6, 0}}, 0},
    {"ResourcesOnlyInAnUndeclaredThirdSection",
     {{kSections, 92, 0x9000}, {kSections, 96, 0x200}, {kSections, 100, 0x400}, {kResourceEntry, 0, 0x9000}},
     0},
    {"ResourcesOutsideEverySection", {{kResourceEntry, 0, 0x9000}}, 0},
    {"ResourcesAtTheLastAddress", {{kResourceEntry, 0, 0xFFFFFFF0u}}, 0},
    {"SectionDataPastTheEnd", {{kSections, 60, 0x600}}, 0},
    {"SectionDataAtTheLastOffset", {{kSections, 60, 0xFFFFFFF0u}}, 0},
    {"SectionClaimsHugeRawSize", {{kSections, 56, ~0u}, {kSections, 60, 0xFFFFFFF0u}}, 0},
    {"TypeDirectoryWithHugeEntryCount", {{kRsrc, kTypeDirectory + 12, ~0u}}, 0},
    {"VersionTypeBeyondTheEntryCount", {{kRsrc, kTypeDirectory + 12, 0x00010000}}, 0},
    {"VersionTypeIsNotADirectory", {{kRsrc, kTypeDirectory + 28, kNameDirectory}}, 0},
    {"LanguageIsADirectory", {{kRsrc, kLanguageDirectory + 20, kDirectoryBit | kDataEntry}}, 0},
    // The three cycles below would lead to the version data if they were followed.
    {"TypeDirectoryPointsToItself",
     {{kRsrc, 16, 1}, {kRsrc, 20, kDirectoryBit | kLanguageDirectory}, {kRsrc, 28, kDirectoryBit}}, 0},
    {"NameDirectoryPointsToTheRoot",
     {{kRsrc, 20, kDataEntry}, {kRsrc, kNameDirectory + 20, kDirectoryBit | kTypeDirectory}}, 0},
    {"NameDirectoryPointsToItself", {{kRsrc, kNameDirectory + 20, kDirectoryBit | kNameDirectory}}, 0},
    {"SubdirectoryPastTheSection", {{kRsrc, kNameDirectory + 20, kDirectoryBit | 0x7FFFFFF0u}}, 0},
    {"DataEntryPastTheSection", {{kRsrc, kLanguageDirectory + 20, 0x7FFFFFFFu}}, 0},
    {"VersionNameIsNot1", {{kRsrc, kNameDirectory + 16, 2}}, 0},
    {"VersionNameIsANamedEntry", {{kRsrc, kNameDirectory + 16, kDirectoryBit | 1}}, 0},
    {"DataOutsideEverySection", {{kRsrc, kDataEntry, 0x00100000}}, 0},
    {"DataAtTheLastAddress", {{kRsrc, kDataEntry, ~0u}}, 0},
    {"DataOfSizeZero", {{kRsrc, kDataEntry + 4, 0}}, 0},
    {"DataRunningPastTheSection", {{kRsrc, kDataEntry + 4, kRoom + 1}}, 0},
    // In a section large enough to hold it, so that only the size cap refuses it.
    {"DataOfAbsurdSize",
     {{kSections, 56, kMax + 1 + kVersionData}, {kRsrc, kDataEntry + 4, kMax + 1}}, 0, kMax + 1},
};

class PeVersionReaderTest : public ::testing::TestWithParam<bool> {
 protected:
  PeImage image = BuildPeImage({.pe32Plus = GetParam()});
  const std::byte* VersionData() const { return image.bytes.data() + kResources + kVersionData; }
};

TEST_P(PeVersionReaderTest, FindsTheVersionDataOrNothingAfterEachEdit) {
  for (const Edit& edit : kEdits) {
    PeImage edited = image;
    edited.bytes.resize(edited.bytes.size() + edit.grow);
    const std::size_t anchors[] = {0,          kNtHeaders, kOptionalHeader, image.sectionTable,
                                   kResources, image.resourceEntry};
    for (const auto& [anchor, offset, value] : edit.writes) {
      Put32(edited.bytes, anchors[anchor] + offset, value);
    }
    const auto found = pe::FindVersionResource(edited.bytes);
    ASSERT_EQ(found.has_value(), edit.size != 0) << edit.what;
    if (found) {
      EXPECT_EQ(found->data(), edited.bytes.data() + kResources + kVersionData) << edit.what;
      EXPECT_EQ(found->size(), edit.size) << edit.what;
    }
  }
  // With the optional header just too short for the resource entry; and just long enough.
  const auto shape = [](std::uint32_t directories) {
    return BuildPeImage({.pe32Plus = GetParam(), .directories = directories}).bytes;
  };
  EXPECT_FALSE(pe::FindVersionResource(shape(2)));
  EXPECT_TRUE(pe::FindVersionResource(shape(3)));
}

// Cut short anywhere before the end of the version data, the file has none; after that the same
// bytes are found (the rest is section padding). A view that claims more bytes than there are is
// read up to the size cap (the headers all lie in the real bytes), and refused unread above it.
TEST_P(PeVersionReaderTest, TruncatedAtEveryLengthAndLongerThanTheCap) {
  const auto cap = static_cast<std::size_t>(pe::kMaxImageSize);
  for (std::size_t length = 0; length <= image.bytes.size() + 2; ++length) {
    const std::size_t claimed = length <= image.bytes.size() ? length : cap + length - image.bytes.size() - 1;
    const auto found = pe::FindVersionResource(std::span<const std::byte>(image.bytes.data(), claimed));
    ASSERT_EQ(found.has_value(), length >= kResources + kVersionData + 92 && claimed <= cap) << length;
    ASSERT_TRUE(!found || found->data() == VersionData());
  }
}

INSTANTIATE_TEST_SUITE_P(BothFormats, PeVersionReaderTest, ::testing::Bool(),
                         [](const auto& p) { return p.param ? "Pe32Plus" : "Pe32"; });

// The root block on its own: its value follows the key and its padding, with the length the
// block gives it, and only when key and value lie inside the block.
TEST(RootValueTest, FindsTheValueOrNothingAfterEachEdit) {
  const struct {
    std::size_t at;  // 16 bits written there
    std::uint16_t value;
    int size;  // -1: nothing found
    std::size_t length = 92;  // of the buffer
  } cases[] = {
      {0, 92, 52},   {2, 51, 51},  // as built; a shorter value
      {2, 53, -1},   {0, 93, -1},  // a value longer than the block; a block longer than the buffer
      {0, 39, -1},   {6, u'W', -1}, {12, u'v', -1}, {36, u'X', -1},  // too short for the key; another key
      {0, 40, 0, 40},  // a block of only its key: an empty value
  };
  for (const auto& c : cases) {
    std::vector<std::byte> info = BuildVersionInfo(c.length == 40 ? 0 : 52);
    Put16(info, c.at, c.value);
    const auto root = pe::FindRootValue(std::span(info).first(c.length));
    ASSERT_EQ(root ? static_cast<int>(root->size()) : -1, c.size) << c.at << " " << c.value;
    EXPECT_TRUE(!root || root->data() == info.data() + 40);
  }
  const std::vector<std::byte> info = BuildVersionInfo();
  for (std::size_t length = 0; length < info.size(); ++length) {
    EXPECT_FALSE(pe::FindRootValue(std::span(info).first(length))) << length;
  }
}

constexpr bool kWide16 = sizeof(wchar_t) == 2;  // UTF-16 names (Windows)

class PortableVersionSourceTest : public ::testing::Test {
 protected:
  std::wstring Name(const std::wstring& leaf) const { return directory.path().wstring() + L"/" + leaf; }
  std::wstring Write(const std::wstring& leaf, std::span<const std::byte> bytes) const {
    TempDirectory::Write(PathFromWide(Name(leaf)), bytes);
    return Name(leaf);
  }
  std::wstring WriteImage(const std::wstring& leaf, const PeSpec& shape = {}) const {
    return Write(leaf, BuildPeImage(shape).bytes);
  }
  static std::wstring Read(const std::wstring& name, std::unique_ptr<VersionSource> source) {
    CFileVersion version(std::move(source));
    return version.FillVersionInfo(name) ? version.VersionString() : L"failed";
  }

  TempDirectory directory;
  PortableVersionSource source;
};

TEST_F(PortableVersionSourceTest, ReadsTheFileVersionOfBothFormatsUnderAnyName) {
  const auto portable = [] { return std::make_unique<PortableVersionSource>(); };
  EXPECT_EQ(Read(WriteImage(L"pe32.exe"), portable()), L"3.4.5.6");  // the file version, not the product's
  const PeSpec pe32Plus = {.pe32Plus = true};
  EXPECT_EQ(Read(WriteImage(L"pe32plus.dll", pe32Plus), portable()), L"3.4.5.6");
  EXPECT_EQ(Read(WriteImage(L"\u7248\u672c-\u00e9\U0001F600.exe"), MakePlatformVersionSource()), L"3.4.5.6");
  EXPECT_TRUE(std::filesystem::exists(directory.path() / u8"\u7248\u672c-\u00e9\U0001F600.exe"));
  EXPECT_EQ(Read(WriteImage(L"short.exe", {.valueLength = 51}), portable()), L"failed");

  const std::wstring name = WriteImage(L"app.exe");
  std::vector<std::byte> buffer(source.InfoSize(name));
  ASSERT_TRUE(source.ReadInfo(name, buffer));
  EXPECT_EQ(buffer, BuildVersionInfo());
  buffer.pop_back();
  EXPECT_FALSE(source.ReadInfo(name, buffer));  // a buffer too small
}

TEST_F(PortableVersionSourceTest, WithoutVersionInformationSizeIsZeroAndReadFails) {
  const auto text = std::as_bytes(std::span("not a program"));
  const std::wstring plain = WriteImage(L"plain", {.hasVersion = false}), empty = Write(L"empty", {});
  for (const std::wstring& name : {plain, empty, Write(L"text", text), Name(L"missing"), Name(L"")}) {
    std::vector<std::byte> buffer(92);
    EXPECT_EQ(source.InfoSize(name), 0u) << Utf8FromWide(name);
    EXPECT_FALSE(source.ReadInfo(name, buffer)) << Utf8FromWide(name);
  }
  if constexpr (!kWide16) {  // sparse files: the largest image accepted is read whole, one byte more is not
    const std::wstring large = WriteImage(L"large.exe");
    std::filesystem::resize_file(PathFromWide(large), pe::kMaxImageSize);
    EXPECT_EQ(source.InfoSize(large), 92u);
    std::filesystem::resize_file(PathFromWide(large), pe::kMaxImageSize + 1);
    EXPECT_EQ(source.InfoSize(large), 0u);
  }
}

TEST_F(PortableVersionSourceTest, OnlyOrdinaryFilesThatAreNotHiddenExist) {
  WriteImage(L"app.exe");
  WriteImage(L".hidden.exe");
  std::filesystem::create_directory(PathFromWide(Name(L"folder.exe")));
  std::vector<std::pair<std::wstring, bool>> cases = {
      {Name(L"app.exe"), true}, {Name(L"missing.exe"), false}, {Name(L"folder.exe"), false},
      {Name(L""), false},       {L"", false},                  {Name(L".hidden.exe"), false},
      {Name(L"*.exe"), false},  {Name(L"app.ex?"), false},     {Name(L"*"), false},
      {L"app.exe", true},       {L".hidden.exe", false},  // in the current directory
  };
  if constexpr (!kWide16) {  // names that only a POSIX file system takes: no separator but '/'
    cases.insert(cases.end(), {{WriteImage(L"a\\.b"), true}, {WriteImage(L"a:.b"), true}});
    cases.push_back({WriteImage(L"a*b"), false});
  }
  const auto previous = std::filesystem::current_path();
  std::filesystem::current_path(directory.path());
  for (const auto& [name, exists] : cases) {
    EXPECT_EQ(source.FileExists(name), exists) << Utf8FromWide(name);
  }
  std::filesystem::current_path(previous);
  EXPECT_EQ(Read(Name(L".hidden.exe"), std::make_unique<PortableVersionSource>()), L"failed");
}

// Names as a POSIX file system stores them, in UTF-8. What is not valid becomes U+FFFD, one for
// each byte that does not start a valid sequence.
TEST(WideNameTest, DecodesUtf8) {
  const std::wstring r(1, L'\uFFFD');
  const std::pair<std::string, std::wstring> cases[] = {
      {std::string("a\0\x7F", 3), std::wstring(L"a\0\x7F", 3)},
      {"\x80", r}, {"\xC0\xAF", r + r}, {"\xC1\xBF", r + r}, {"\xC2\x80", L"\u0080"}, {"\xDF\xBF", L"\u07FF"},
      {"\xE0\x9F\xBF", r + r + r}, {"\xE0\xA0\x80", L"\u0800"}, {"\xED\x9F\xBF", L"\uD7FF"},
      {"\xED\xA0\x80", r + r + r}, {"\xED\xBF\xBF", r + r + r}, {"\xEE\x80\x80", L"\uE000"},
      {"\xEF\xBF\xBF", L"\uFFFF"}, {"\xF0\x8F\xBF\xBF", r + r + r + r}, {"\xF0\x90\x80\x80", L"\U00010000"},
      {"\xF0\x9F\x98\x80", L"\U0001F600"}, {"\xF4\x8F\xBF\xBF", L"\U0010FFFF"}, {"\xF5\x80\x80", r + r + r},
      {"\xF4\x90\x80\x80", r + r + r + r}, {"\xF8\x80\x80\x80\x80", r + r + r + r + r}, {"\xC3", r},
      {"a\xFF" "b", L"a" + r + L"b"}, {"\xE2\x82", r + r}, {"\xF0\x9F\x98" "a", r + r + r + L"a"},
      {"\xC3" "a", r + L"a"},
  };
  for (const auto& [utf8, wide] : cases) {
    EXPECT_EQ(WideFromUtf8(utf8), wide) << utf8;
  }
}

// Lone surrogates become U+FFFD; a pair is one character in UTF-16 and two lone surrogates elsewhere.
TEST(WideNameTest, EncodesUtf8) {
  const std::string r = "\xEF\xBF\xBD";
  using W = std::wstring;
  const std::pair<std::wstring, std::string> cases[] = {
      {std::wstring(L"a\0\x7F", 3), std::string("a\0\x7F", 3)},
      {L"\u0080\u07FF\u0800\uFFFF", "\xC2\x80\xDF\xBF\xE0\xA0\x80\xEF\xBF\xBF"},
      {L"\U00010000\U0001F600\U0010FFFF", "\xF0\x90\x80\x80\xF0\x9F\x98\x80\xF4\x8F\xBF\xBF"},
      {W{wchar_t(0xD800)}, r}, {W{wchar_t(0xDFFF), L'a'}, r + "a"}, {W{wchar_t(0xD800), L'a'}, r + "a"},
      {W{wchar_t(0xDC00), wchar_t(0xD800)}, r + r},
      {W{wchar_t(0xD800), wchar_t(0xDC00)}, kWide16 ? "\xF0\x90\x80\x80" : r + r},
      {W{wchar_t(0xDBFF), wchar_t(0xDFFF)}, kWide16 ? "\xF4\x8F\xBF\xBF" : r + r},
      {W{L'a', wchar_t(0xD83D), wchar_t(0xDE00), wchar_t(0xDBFF)},
       kWide16 ? "a\xF0\x9F\x98\x80" + r : "a" + r + r + r},
  };
  for (const auto& [wide, utf8] : cases) {
    EXPECT_EQ(Utf8FromWide(wide), utf8) << utf8;
  }
  if constexpr (!kWide16) {  // the last code point, and beyond
    EXPECT_EQ(Utf8FromWide(W{wchar_t(0x10FFFF), wchar_t(0x110000)}), "\xF4\x8F\xBF\xBF" + r);
  }
}

}  // namespace
}  // namespace velmora::test
