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

namespace velmora {

struct CFileVersionTestAccess {
  static std::int32_t WordPart(std::int32_t v, std::int32_t part) { return CFileVersion::WordPart(v, part); }
};

namespace test {
namespace {

// The four operations (steps 1 to 4) over `size` bytes of version information whose root block (at
// rootAt, rootLength long) holds version ms.ls. Calls are counted; step `fail` fails, `fail` - 4 throws.
struct FakeVersionSource final : VersionSource {
  static constexpr std::size_t kOutside = 1000;  // a root block in memory of its own
  FakeVersionSource(std::uint32_t ms, std::uint32_t ls, std::size_t size = 92, std::size_t at = 40,
                    std::size_t length = 52)
      : info(std::max<std::size_t>(size, at + 16), std::byte{0x5A}), rootAt(at), rootLength(length) {
    Put32(info, at + 8, ms);
    Put32(info, at + 12, ls);
    info.resize(size);
  }

  bool FileExists(const std::wstring& n) override { return Step(n, 1); }
  std::uint32_t InfoSize(const std::wstring& n) override {
    return Step(n, 2) ? static_cast<std::uint32_t>(info.size()) : 0;
  }
  bool ReadInfo(const std::wstring& n, std::span<std::byte> buffer) override {
    std::copy_n(info.begin(), std::min(info.size(), buffer.size()), buffer.begin());
    return Step(n, 3);
  }
  std::optional<std::span<const std::byte>> QueryRoot(std::span<const std::byte> buffer) override {
    const std::byte* at = rootAt == kOutside ? outside.data() : buffer.data() + rootAt;
    return Step(name, 4) ? std::optional(std::span(at, rootLength)) : std::nullopt;
  }
  bool Step(const std::wstring& given, int step) {
    ++calls;
    name = given;
    return fail == step + 4 ? throw std::runtime_error("failed") : fail != step;
  }

  std::vector<std::byte> info, outside = std::vector<std::byte>(64);
  std::size_t rootAt, rootLength, calls = 0;
  int fail = 0;
  std::wstring name;  // the last one given
};

// Each row reads a file after one of version 1.0.0.2: its file version, wherever the root block lies,
// or a failure (an operation failing or throwing) that keeps 1.0.0.2 and takes no step after it.
TEST(CFileVersionTest, ReadsTheFileVersionOrKeepsTheLastOne) {
  using F = FakeVersionSource;
  const struct { F source; const wchar_t* version; } cases[] = {  // version nullptr: the read fails
      {F(0x000A00C8, 0x0BB89C40), L"10.200.3000.40000"},
      {F(0xFFFF0001, 0x8000FFFF), L"65535.1.32768.65535"},      // halves with the top bit set
      {F(0x00030004, 0x00050006, 52, 0), L"3.4.5.6"},           // the block fills the whole buffer
      {F(0x000B000C, 0x000D000E, 92, 30, 62), L"11.12.13.14"},  // longer than the fixed block
      // A root block too short, empty, outside the buffer, running past its end, or in a buffer
      // too short for it (ASan reports the overread if one of these is followed).
      {F(9, 9, 92, 40, 51), nullptr}, {F(9, 9, 92, 40, 0), nullptr}, {F(9, 9, 92, F::kOutside), nullptr},
      {F(9, 9, 92, 41), nullptr},     {F(9, 9, 51, 0), nullptr},
  };
  F& source = *new F(0, 0);
  CFileVersion version{std::unique_ptr<VersionSource>(&source)};  // owns source
  const std::wstring name = L"C:\\app\\Drasken.exe";
  for (const auto& c : cases) {
    for (int step = 0; step <= (c.version ? 8 : 0); ++step) {  // on a good file, each failure in turn
      source = F(0x00010000, 0x00000002);
      ASSERT_TRUE(version.FillVersionInfo(name));
      source = c.source;
      source.fail = step;
      const bool ok = step == 0 && c.version;
      if (step > 4) {
        EXPECT_THROW(version.FillVersionInfo(name), std::runtime_error);
      } else {
        EXPECT_EQ(version.FillVersionInfo(name), ok);
      }
      EXPECT_EQ(version.VersionString(), ok ? c.version : L"1.0.0.2") << step << " " << c.source.rootAt;
      EXPECT_EQ(source.calls, step == 0 ? 4 : (step - 1) % 4 + 1);
      EXPECT_EQ(source.name, name);
    }
  }
  EXPECT_EQ(CFileVersionTestAccess::WordPart(-1, 2), 0);  // neither half
  EXPECT_EQ(CFileVersionTestAccess::WordPart(-1, -1), 0);
}

enum Anchor { kFile, kNt, kOptional, kSections, kRsrc, kResourceEntry };  // where offsets count from
constexpr std::uint32_t kRoom = kResourceRaw - kVersionData;  // bytes from there to the section's end
constexpr std::uint32_t kMax = pe::kMaxVersionResourceSize;

// 32-bit writes into a built image (grown by `grow` zero bytes, given to the resource section), and
// what the reader must find then: `size` bytes of version data at kVersionData in that section, or nothing.
struct Edit {
  const char* what;
  std::vector<std::tuple<Anchor, std::size_t, std::uint32_t>> writes;
  std::size_t size = 0, grow = 0;
};

const Edit kEdits[] = {
    // What the reader must see through, at the edges of what it accepts.
    {"AsBuilt", {}, 92},
    {"OnlyTheResourceSection", {{kSections, 12, 0x2000}, {kSections, 20, 0x400}, {kNt, 6, 1}}, 92},
    {"DataEntryAtTheSectionsEnd",
     {{kRsrc, 0x1F0, 0x2000 + kVersionData}, {kRsrc, 0x1F4, 92}, {kRsrc, kLanguageDirectory + 20, 0x1F0}},
     92},
    {"DataRunningToTheSectionsEnd", {{kRsrc, kDataEntry + 4, kRoom}}, kRoom},
    {"DataOfTheLargestSize",
     {{kSections, 56, kMax + kVersionData}, {kRsrc, kDataEntry + 4, kMax}}, kMax, kMax},
    // .text mapped so that its last byte, at the last address, is the version data's first.
    {"OneByteAtTheLastAddress",
     {{kSections, 12, 0xFFFFFF00u}, {kSections, 20, 0x400 + kVersionData - 0xFF}, {kRsrc, kDataEntry, ~0u},
      {kRsrc, kDataEntry + 4, 1}},
     1},
    {"ANamedTypeWhoseLowBitsSay16ComesFirst", {{kRsrc, kTypeDirectory + 16, kDirectoryBit | 16}}, 92},
    {"TextEndingWhereTheResourcesBegin", {{kSections, 16, 0x1000}}, 92},
    // Refused.
    {"NoVersionType", {{kRsrc, kTypeDirectory + 24, 24}}}, {"NoResources", {{kResourceEntry, 0, 0}}},
    {"ResourcesAtAddressZero",
     {{kSections, 52, 0}, {kResourceEntry, 0, 0}, {kRsrc, kDataEntry, kVersionData}}},
    {"NoMz", {{kFile, 0, 0}}}, {"NtHeadersPastTheEnd", {{kFile, 0x3C, 0x600}}},
    {"NtHeadersAtTheLastAddress", {{kFile, 0x3C, ~0u}}}, {"NoPeSignature", {{kNt, 0, 0x4551}}},
    {"UnknownOptionalHeader", {{kOptional, 0, 0x107}}}, {"OptionalHeaderPastTheEnd", {{kNt, 20, ~0u}}},
    {"OnlyTwoDataDirectories", {{kResourceEntry, ~std::size_t{19}, 2}}},  // the count, 20 bytes before
    {"SectionTablePastTheEnd", {{kNt, 6, 0xFFFF}}}, {"NoSections", {{kNt, 6, 0}}},
    {"ResourcesOnlyInAnUndeclaredThirdSection",
     {{kSections, 92, 0x9000}, {kSections, 96, 0x200}, {kSections, 100, 0x400}, {kResourceEntry, 0, 0x9000}}},
    {"ResourcesOutsideEverySection", {{kResourceEntry, 0, 0x9000}}},
    {"ResourcesAtTheLastAddress", {{kResourceEntry, 0, 0xFFFFFFF0u}}},
    {"SectionDataPastTheEnd", {{kSections, 60, 0x600}}}, {"DataOfSizeZero", {{kRsrc, kDataEntry + 4, 0}}},
    {"SectionDataAtTheLastOffset", {{kSections, 60, 0xFFFFFFF0u}}},
    {"SectionClaimsHugeRawSize", {{kSections, 56, ~0u}, {kSections, 60, 0xFFFFFFF0u}}},
    {"TypeDirectoryWithHugeEntryCount", {{kRsrc, kTypeDirectory + 12, ~0u}}},
    {"VersionTypeBeyondTheEntryCount", {{kRsrc, kTypeDirectory + 12, 0x00010000}}},
    {"VersionTypeIsNotADirectory", {{kRsrc, kTypeDirectory + 28, kNameDirectory}}},
    {"LanguageIsADirectory", {{kRsrc, kLanguageDirectory + 20, kDirectoryBit | kDataEntry}}},
    // The three cycles below would lead to the version data if they were followed.
    {"TypeDirectoryPointsToItself",
     {{kRsrc, 16, 1}, {kRsrc, 20, kDirectoryBit | kLanguageDirectory}, {kRsrc, 28, kDirectoryBit}}},
    {"NameDirectoryPointsToTheRoot",
     {{kRsrc, 20, kDataEntry}, {kRsrc, kNameDirectory + 20, kDirectoryBit | kTypeDirectory}}},
    {"NameDirectoryPointsToItself", {{kRsrc, kNameDirectory + 20, kDirectoryBit | kNameDirectory}}},
    {"SubdirectoryPastTheSection", {{kRsrc, kNameDirectory + 20, kDirectoryBit | 0x7FFFFFF0u}}},
    {"DataEntryPastTheSection", {{kRsrc, kLanguageDirectory + 20, 0x7FFFFFFFu}}},
    {"VersionNameIsNot1", {{kRsrc, kNameDirectory + 16, 2}}},
    {"VersionNameIsANamedEntry", {{kRsrc, kNameDirectory + 16, kDirectoryBit | 1}}},
    {"DataOutsideEverySection", {{kRsrc, kDataEntry, 0x00100000}}},
    {"DataAtTheLastAddress", {{kRsrc, kDataEntry, ~0u}}},
    {"DataRunningPastTheSection", {{kRsrc, kDataEntry + 4, kRoom + 1}}},
    // In a section large enough to hold it, so that only the size cap refuses it.
    {"DataOfAbsurdSize",
     {{kSections, 56, kMax + 1 + kVersionData}, {kRsrc, kDataEntry + 4, kMax + 1}}, 0, kMax + 1},
};

class PeVersionReaderTest : public ::testing::TestWithParam<bool> {};

TEST_P(PeVersionReaderTest, FindsTheVersionDataOrNothingAfterEachEditOrCut) {
  const PeImage image = BuildPeImage({.pe32Plus = GetParam()});
  for (const Edit& edit : kEdits) {
    PeImage edited = image;
    edited.bytes.resize(edited.bytes.size() + edit.grow);
    const std::size_t anchors[] = {0,          kNtHeaders, kOptionalHeader, image.sectionTable,
                                   kResources, image.resourceEntry};
    for (const auto& [anchor, offset, value] : edit.writes) {
      Put32(edited.bytes, anchors[anchor] + offset, value);
    }
    const auto found = pe::FindVersionResource(edited.bytes);
    ASSERT_EQ(found ? found->size() : 0, edit.size) << edit.what;
    EXPECT_TRUE(!found || found->data() == edited.bytes.data() + kResources + kVersionData) << edit.what;
  }
  // With the optional header just too short for the resource entry; and just long enough.
  EXPECT_FALSE(pe::FindVersionResource(BuildPeImage({.pe32Plus = GetParam(), .directories = 2}).bytes));
  EXPECT_TRUE(pe::FindVersionResource(BuildPeImage({.pe32Plus = GetParam(), .directories = 3}).bytes));
  // Cut short anywhere before the end of the version data, the file has none; after that the same
  // bytes are found (the rest is section padding). A view that claims more bytes than there are is
  // read up to the size cap (the headers all lie in the real bytes), and refused unread above it.
  const auto cap = static_cast<std::size_t>(pe::kMaxImageSize);
  for (std::size_t length = 0; length <= image.bytes.size() + 2; ++length) {
    const std::size_t claimed = length <= image.bytes.size() ? length : cap + length - image.bytes.size() - 1;
    const auto found = pe::FindVersionResource(std::span<const std::byte>(image.bytes.data(), claimed));
    ASSERT_EQ(found.has_value(), length >= kResources + kVersionData + 92 && claimed <= cap) << length;
    ASSERT_TRUE(!found || found->data() == image.bytes.data() + kResources + kVersionData);
  }
}

INSTANTIATE_TEST_SUITE_P(BothFormats, PeVersionReaderTest, ::testing::Bool(),
                         [](const auto& p) { return p.param ? "Pe32Plus" : "Pe32"; });

// The root block's value follows the key and its padding, with the length the block gives it.
TEST(RootValueTest, FindsTheValueOrNothingAfterEachEdit) {
  // 16 bits written at `at`, the size of the value found then (-1: nothing), the buffer's length.
  const struct { std::size_t at; std::uint16_t value; int size; std::size_t length = 92; } cases[] = {
      {0, 92, 52}, {2, 51, 51},  // as built; a shorter value
      {2, 53, -1}, {0, 93, -1},  // a value longer than the block; a block longer than the buffer
      {0, 39, -1}, {6, u'W', -1}, {12, u'v', -1}, {36, u'X', -1},  // too short for the key; another key
      {0, 40, 0, 40},  // a block of only its key: an empty value
  };
  for (const auto& c : cases) {
    std::vector<std::byte> info = BuildVersionInfo(c.length == 40 ? 0 : 52);
    Put16(info, c.at, c.value);
    const auto root = pe::FindRootValue(std::span(info).first(c.length));
    ASSERT_EQ(root ? static_cast<int>(root->size()) : -1, c.size) << c.at << " " << c.value;
    EXPECT_TRUE(!root || root->data() == info.data() + 40);
  }
}

constexpr bool kWide16 = sizeof(wchar_t) == 2;  // UTF-16 names (Windows)

// Each file as the portable operations see it: whether it exists (an ordinary file, not hidden), its
// version information (a buffer of the size given, not a smaller one, takes it), and its file version.
TEST(PortableVersionSourceTest, ReadsOrdinaryFilesOnlyAndTheirVersionInformation) {
  TempDirectory directory;
  const auto in = [&](const std::wstring& leaf) { return directory.path.wstring() + L"/" + leaf; };
  const auto file = [&](const std::wstring& leaf, std::span<const std::byte> bytes) {
    TempDirectory::Write(PathFromWide(in(leaf)).value(), bytes);
    return in(leaf);
  };
  const auto image = [&](const std::wstring& leaf, const PeSpec& shape = {}) {
    return file(leaf, BuildPeImage(shape).bytes);
  };
  std::filesystem::create_directory(PathFromWide(in(L"folder.exe")).value());
  std::vector<std::tuple<std::wstring, bool, bool>> cases = {  // name, exists, has version information
      {image(L"pe32.exe"), true, true}, {image(L"pe32plus.dll", {.pe32Plus = true}), true, true},
      {image(L"\u7248\u672c-\u00e9\U0001F600.exe"), true, true}, {image(L".hidden.exe"), false, true},
      {image(L"plain", {.hasVersion = false}), true, false}, {file(L"empty", {}), true, false},
      {file(L"text", std::as_bytes(std::span("no program"))), true, false}, {in(L""), false, false},
      {in(L"missing.exe"), false, false}, {in(L"folder.exe"), false, false}, {L"", false, false},
      {in(L"*.exe"), false, false}, {in(L"pe32.ex?"), false, false}, {in(L"*"), false, false},
      {L"pe32.exe", true, true}, {L".hidden.exe", false, true},  // relative names
      {in(L"pe32.exe") + std::wstring(1, L'\0') + L"x", false, false},  // not pe32.exe: no such name
  };
  if constexpr (!kWide16) {  // names that only a POSIX file system takes: no separator but '/'
    cases.insert(cases.end(), {{image(L"a\\.b"), true, true}, {image(L"a:.b"), true, true},
                               {image(L"a*b"), false, true},
                               // Names that UTF-8 cannot carry are not the file with U+FFFD in their place.
                               {image(L"caf\uFFFD.exe"), true, true}, {in(L"caf\xD800.exe"), false, false},
                               {in(L"caf\xDCE9.exe"), false, false},
                               {in(L"caf") + wchar_t(0x110000) + L".exe", false, false}});
  }
  const auto previous = std::filesystem::current_path();
  std::filesystem::current_path(directory.path);
  PortableVersionSource source;
  for (const auto& [name, exists, has] : cases) {
    std::vector<std::byte> buffer(92);
    EXPECT_EQ(source.FileExists(name), exists) << Utf8FromWide(name);
    EXPECT_EQ(source.InfoSize(name), has ? 92u : 0u) << Utf8FromWide(name);
    EXPECT_EQ(source.ReadInfo(name, buffer), has) << Utf8FromWide(name);
    EXPECT_EQ(buffer, has ? BuildVersionInfo() : std::vector<std::byte>(92));
    buffer.pop_back();
    EXPECT_FALSE(source.ReadInfo(name, buffer));
    CFileVersion read(std::make_unique<PortableVersionSource>());  // the file version, not the product's
    EXPECT_EQ(read.FillVersionInfo(name) ? read.VersionString() : L"", exists && has ? L"3.4.5.6" : L"");
  }
  std::filesystem::current_path(previous);
  EXPECT_TRUE(std::filesystem::exists(directory.path / u8"\u7248\u672c-\u00e9\U0001F600.exe"));
  if constexpr (!kWide16) {  // sparse files: the largest image accepted is read whole, larger ones
    const std::wstring large = image(L"large.exe");  // (up to more than memory holds) are not
    const std::pair<std::uint64_t, std::uint32_t> sizes[] = {
        {pe::kMaxImageSize, 92}, {pe::kMaxImageSize + 1, 0}, {std::uint64_t{1} << 41, 0}};
    for (const auto& [size, info] : sizes) {
      std::filesystem::resize_file(PathFromWide(large).value(), size);
      EXPECT_EQ(source.InfoSize(large), info) << size;
    }
  }
}

// The file FileExists found is the one read, even when another takes its name before the reading
// steps; a step for another name, or one made on its own, reads what the name gives then. Each step
// puts a file of version value.0 (0: none) at the name, moving the one there away but still open
// ('p'), or expects FileExists ('e'), InfoSize ('s') or the major number read (-1: none, 'r').
TEST(PortableVersionSourceTest, ReadsTheFileItFoundWhateverTheNameComesToMean) {
  const struct { char op; const char* leaf; int value; } steps[] = {
      {'p', "a.exe", 1}, {'p', "b.exe", 2}, {'e', "a.exe", 1}, {'p', "a.exe", 3}, {'s', "a.exe", 92},
      {'p', "a.exe", 0}, {'r', "a.exe", 1}, {'s', "a.exe", 0},  // on its own: the file named now
      {'p', "a.exe", 4}, {'r', "a.exe", 4}, {'e', "a.exe", 1},
      {'r', "b.exe", 2}, {'s', "b.exe", 92}, {'r', "b.exe", 2},  // another name, whatever is held
      // Nothing is kept past a failed step or check: the next step reads what the name gives then.
      {'p', "a.exe", 0}, {'e', "a.exe", 1}, {'s', "a.exe", 0}, {'p', "a.exe", 5}, {'r', "a.exe", 5},
      {'e', "a.exe", 1}, {'e', "a.exe?", 0}, {'p', "a.exe", 6}, {'s', "a.exe", 92}, {'r', "a.exe", 6},
  };
  TempDirectory directory;
  PortableVersionSource source;
  int step = 0;
  for (const auto& [op, leaf, value] : steps) {
    const auto path = directory.path / leaf;
    std::vector<std::byte> info(92);
    if (op == 'p') {
      if (std::filesystem::exists(path)) {
        std::filesystem::rename(path, directory.path / std::to_string(step));
      }
      PeImage image = BuildPeImage({.hasVersion = value != 0});
      Put32(image.bytes, kResources + kVersionData + 48, static_cast<std::uint32_t>(value) << 16);
      TempDirectory::Write(path, image.bytes);
    } else {
      const std::wstring name = path.wstring();
      const int got = op == 'e'   ? source.FileExists(name)
                      : op == 's' ? static_cast<int>(source.InfoSize(name))
                                  : (source.ReadInfo(name, info) ? std::to_integer<int>(info[50]) : -1);
      EXPECT_EQ(got, value) << step;
    }
    ++step;
  }
}

// Names in UTF-8 (a POSIX file system's) and UTF-16. What is not valid becomes U+FFFD, one for each
// byte that does not start a valid sequence, or for each lone surrogate.
TEST(WideNameTest, ConvertsUtf8AndUtf16) {
  const std::u16string r = u"\uFFFD", r3 = r + r + r, r4 = r3 + r;
  const std::pair<std::string, std::u16string> decoded[] = {
      {std::string("a\0\x7F", 3), std::u16string(u"a\0\x7F", 3)}, {"\x80", r}, {"\xC0\xAF", r + r},
      {"\xC1\xBF", r + r}, {"\xC2\x80", u"\u0080"}, {"\xDF\xBF", u"\u07FF"}, {"\xE0\x9F\xBF", r3},
      {"\xE0\xA0\x80", u"\u0800"}, {"\xED\x9F\xBF", u"\uD7FF"}, {"\xED\xA0\x80", r3}, {"\xED\xBF\xBF", r3},
      {"\xEE\x80\x80", u"\uE000"}, {"\xEF\xBF\xBF", u"\uFFFF"}, {"\xF0\x8F\xBF\xBF", r4},
      {"\xF0\x90\x80\x80", u"\U00010000"}, {"\xF0\x9F\x98\x80", u"\U0001F600"}, {"\xF4\x90\x80\x80", r4},
      {"\xF4\x8F\xBF\xBF", u"\U0010FFFF"}, {"\xF5\x80\x80\x80", r4}, {"\xF8\x90\x80\x80", r4}, {"\xC3", r},
      {"\xE2\x82", r + r}, {"a\xFF" "b", u"a" + r + u"b"}, {"\xF0\x9F\x98" "a", r3 + u"a"},
  };
  for (const auto& [utf8, utf16] : decoded) {
    EXPECT_EQ(Utf16FromUtf8(utf8), utf16) << utf8;
    EXPECT_EQ(Utf8FromWide(WideFromUtf8(utf8)), Utf8FromUtf16(utf16)) << utf8;  // the same as wide
  }
  const std::string rr = "\xEF\xBF\xBD";
  using S = std::u16string;
  const std::pair<std::u16string, std::string> encoded[] = {
      {S(u"a\0\x7F", 3), std::string("a\0\x7F", 3)},
      {u"\u0080\u07FF\u0800\uFFFF", "\xC2\x80\xDF\xBF\xE0\xA0\x80\xEF\xBF\xBF"},
      {u"\U00010000\U0001F600\U0010FFFF", "\xF0\x90\x80\x80\xF0\x9F\x98\x80\xF4\x8F\xBF\xBF"},
      {S{0xDBFF, u'a', 0xD800, 0xE000, u'a'}, rr + "a" + rr + "\xEE\x80\x80" "a"}, {S{0xD800}, rr},
      {S{0xDFFF, u'a', 0xDC00}, rr + "a" + rr}, {S{0xDC00, 0xD800, 0xDC00}, rr + "\xF0\x90\x80\x80"},
      {S{u'a', 0xD83D, 0xDE00, 0xDBFF}, "a\xF0\x9F\x98\x80" + rr},
  };
  for (const auto& [utf16, utf8] : encoded) {
    EXPECT_EQ(Utf8FromUtf16(utf16), utf8) << utf8;
    if constexpr (kWide16) {
      EXPECT_EQ(Utf8FromWide(std::wstring(utf16.begin(), utf16.end())), utf8) << utf8;
    }
  }
  EXPECT_EQ(Utf8FromUtf16(std::u16string_view(u"\U00010000").substr(0, 1)), rr);  // a view ending in a pair
  if constexpr (!kWide16) {  // U+10FFFF is the last code point
    const std::wstring wide = {wchar_t(0xD800), wchar_t(0xDC00), wchar_t(0x10FFFF), wchar_t(0x110000)};
    EXPECT_EQ(Utf8FromWide(wide), rr + rr + "\xF4\x8F\xBF\xBF" + rr);
  }
  // Exactly, or not at all: only what converts back to the same bytes.
  const std::pair<std::string, const wchar_t*> exact[] = {
      {"", L""}, {"caf\xC3\xA9", L"caf\u00E9"}, {"caf" + rr, L"caf\uFFFD"},
      {"\xF0\x9F\x98\x80", L"\U0001F600"}, {"caf\xE9", nullptr}, {"\xED\xA0\x80", nullptr},
      {"\xC0\xAF", nullptr}, {"\xF0\x9F\x98", nullptr},
  };
  for (const auto& [utf8, wide] : exact) {
    EXPECT_EQ(WideFromUtf8Exactly(utf8).value_or(L"-"), wide ? wide : L"-") << utf8;
  }
}

}  // namespace
}  // namespace test
}  // namespace velmora
