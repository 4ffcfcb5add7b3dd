#include "version/PeVersionReader.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "PeImageBuilder.h"

namespace velmora::test {
namespace {

constexpr FixedVersion kVersion = {0x00010000, 0x00000002, 0x00070008, 0x0009000A};

std::optional<std::span<const std::byte>> Find(const std::vector<std::byte>& bytes) {
  return pe::FindVersionResource(bytes);
}

std::uint32_t FileVersionMs(std::span<const std::byte> root) {
  std::vector<std::byte> copy(root.begin(), root.end());
  return Get32(copy, 8);
}

class PeVersionReaderTest : public ::testing::TestWithParam<bool> {
 protected:
  PeImage image = BuildPeImage({.pe32Plus = GetParam(), .version = kVersion});
  std::vector<std::byte>& bytes = image.bytes;
  std::size_t At(std::size_t resourceOffset) const { return image.resources + resourceOffset; }
};

TEST_P(PeVersionReaderTest, FindsTheVersionResourceInsideTheImage) {
  const auto resource = Find(bytes);
  ASSERT_TRUE(resource);
  EXPECT_EQ(resource->data(), bytes.data() + At(kVersionData));
  EXPECT_EQ(resource->size(), image.versionSize);
}

TEST_P(PeVersionReaderTest, TheRootValueIsTheFixedBlockWithTheFileVersion) {
  const auto resource = Find(bytes);
  ASSERT_TRUE(resource);
  const auto root = pe::FindRootValue(*resource);
  ASSERT_TRUE(root);
  EXPECT_EQ(root->data(), resource->data() + 40);
  EXPECT_EQ(root->size(), 52u);
  EXPECT_EQ(FileVersionMs(*root), kVersion.fileMs);
}

TEST_P(PeVersionReaderTest, ImageWithoutAVersionTypeHasNone) {
  EXPECT_FALSE(Find(BuildPeImage({.pe32Plus = GetParam(), .version = std::nullopt}).bytes));
}

TEST_P(PeVersionReaderTest, ImageWithoutResourcesHasNone) {
  Put32(bytes, image.resourceDirectory, 0);
  EXPECT_FALSE(Find(bytes));
}

// Cutting the file short anywhere before the end of the version data loses it; after that the
// same bytes are found (the rest is section padding).
TEST_P(PeVersionReaderTest, TruncatedAtEveryLength) {
  const std::size_t versionEnd = At(kVersionData) + image.versionSize;
  for (std::size_t length = 0; length < bytes.size(); ++length) {
    const std::vector<std::byte> cut(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(length));
    const auto resource = Find(cut);
    if (length < versionEnd) {
      EXPECT_FALSE(resource) << length;
    } else {
      ASSERT_TRUE(resource) << length;
      EXPECT_EQ(resource->data(), cut.data() + At(kVersionData));
    }
  }
}

struct Damage {
  const char* what;
  std::function<void(PeImage&)> apply;
};

class PeVersionReaderDamageTest : public ::testing::TestWithParam<std::tuple<bool, Damage>> {};

TEST_P(PeVersionReaderDamageTest, IsRefused) {
  PeImage image = BuildPeImage({.pe32Plus = std::get<0>(GetParam()), .version = kVersion});
  ASSERT_TRUE(pe::FindVersionResource(image.bytes));
  std::get<1>(GetParam()).apply(image);
  EXPECT_FALSE(pe::FindVersionResource(image.bytes));
}

constexpr std::uint32_t kDirectoryBit = 0x80000000u;
// The target field of the first entry of a resource directory (an offset in the section).
constexpr std::size_t FirstTarget(std::size_t directory) {
  return directory + 16 + 4;
}

const Damage kDamages[] = {
    {"NoMz", [](PeImage& i) { i.bytes[0] = std::byte{'X'}; }},
    {"NtHeadersPastTheEnd",
     [](PeImage& i) { Put32(i.bytes, 0x3C, static_cast<std::uint32_t>(i.bytes.size())); }},
    {"NtHeadersAtTheLastAddress", [](PeImage& i) { Put32(i.bytes, 0x3C, 0xFFFFFFFFu); }},
    {"NoPeSignature", [](PeImage& i) { Put32(i.bytes, i.ntHeaders, 0x00004551); }},
    {"UnknownOptionalHeader", [](PeImage& i) { Put16(i.bytes, i.optionalHeader, 0x107); }},
    {"OptionalHeaderTooShortForTheResourceEntry",
     [](PeImage& i) {
       Put16(i.bytes, i.ntHeaders + 20, static_cast<std::uint16_t>(i.resourceDirectory - i.optionalHeader));
     }},
    {"OptionalHeaderPastTheEnd", [](PeImage& i) { Put16(i.bytes, i.ntHeaders + 20, 0xFFFF); }},
    {"OnlyTwoDataDirectories", [](PeImage& i) { Put32(i.bytes, i.resourceDirectory - 2 * 8 - 4, 2); }},
    {"SectionTablePastTheEnd", [](PeImage& i) { Put16(i.bytes, i.ntHeaders + 6, 0xFFFF); }},
    {"NoSections", [](PeImage& i) { Put16(i.bytes, i.ntHeaders + 6, 0); }},
    {"ResourcesOutsideEverySection", [](PeImage& i) { Put32(i.bytes, i.resourceDirectory, 0x9000); }},
    {"ResourcesAtTheLastAddress", [](PeImage& i) { Put32(i.bytes, i.resourceDirectory, 0xFFFFFFF0u); }},
    {"SectionDataPastTheEnd",
     [](PeImage& i) {
       Put32(i.bytes, i.sectionTable + 40 + 20, static_cast<std::uint32_t>(i.bytes.size()));
     }},
    {"SectionDataAtTheLastOffset", [](PeImage& i) { Put32(i.bytes, i.sectionTable + 40 + 20, 0xFFFFFFF0u); }},
    {"SectionClaimsHugeRawSize",
     [](PeImage& i) {
       Put32(i.bytes, i.sectionTable + 40 + 16, 0xFFFFFFFFu);
       Put32(i.bytes, i.sectionTable + 40 + 20, 0xFFFFFFF0u);
     }},
    {"TypeDirectoryWithHugeEntryCount",
     [](PeImage& i) {
       Put16(i.bytes, i.resources + kTypeDirectory + 12, 0xFFFF);
       Put16(i.bytes, i.resources + kTypeDirectory + 14, 0xFFFF);
     }},
    {"VersionTypeIsNotADirectory",
     [](PeImage& i) { Put32(i.bytes, FirstTarget(i.resources + kTypeDirectory) + 8, kNameDirectory); }},
    {"LanguageIsADirectory",
     [](PeImage& i) {
       Put32(i.bytes, FirstTarget(i.resources + kLanguageDirectory), kDirectoryBit | kDataEntry);
     }},
    // The two cycles below would lead to the version data if they were followed.
    {"TypeDirectoryPointsToItself",
     [](PeImage& i) {
       const std::size_t type = i.resources + kTypeDirectory;
       Put32(i.bytes, type + 16, 1);
       Put32(i.bytes, type + 20, kDirectoryBit | kLanguageDirectory);
       Put32(i.bytes, type + 28, kDirectoryBit | kTypeDirectory);
     }},
    {"NameDirectoryPointsToTheRoot",
     [](PeImage& i) {
       Put32(i.bytes, FirstTarget(i.resources + kTypeDirectory), kDataEntry);
       Put32(i.bytes, FirstTarget(i.resources + kNameDirectory), kDirectoryBit | kTypeDirectory);
     }},
    {"NameDirectoryPointsToItself",
     [](PeImage& i) {
       Put32(i.bytes, FirstTarget(i.resources + kNameDirectory), kDirectoryBit | kNameDirectory);
     }},
    {"SubdirectoryPastTheSection",
     [](PeImage& i) {
       Put32(i.bytes, FirstTarget(i.resources + kNameDirectory), kDirectoryBit | 0x7FFFFFF0u);
     }},
    {"DataEntryPastTheSection",
     [](PeImage& i) { Put32(i.bytes, FirstTarget(i.resources + kLanguageDirectory), 0x7FFFFFFFu); }},
    {"VersionNameIsNot1", [](PeImage& i) { Put32(i.bytes, i.resources + kNameDirectory + 16, 2); }},
    {"VersionNameIsANamedEntry",
     [](PeImage& i) { Put32(i.bytes, i.resources + kNameDirectory + 16, kDirectoryBit | 1); }},
    {"DataOutsideEverySection", [](PeImage& i) { Put32(i.bytes, i.resources + kDataEntry, 0x00100000); }},
    {"DataAtTheLastAddress", [](PeImage& i) { Put32(i.bytes, i.resources + kDataEntry, 0xFFFFFFFFu); }},
    {"DataOfSizeZero", [](PeImage& i) { Put32(i.bytes, i.resources + kDataEntry + 4, 0); }},
    {"DataRunsPastTheSection", [](PeImage& i) { Put32(i.bytes, i.resources + kDataEntry + 4, 0x1000); }},
    {"DataOfAbsurdSize",
     [](PeImage& i) {
       // A section large enough to hold it, so that only the size cap refuses it.
       const std::uint32_t size = pe::kMaxVersionResourceSize + 1;
       i.bytes.resize(i.resources + size + kVersionData);
       Put32(i.bytes, i.sectionTable + 40 + 16, static_cast<std::uint32_t>(i.bytes.size() - i.resources));
       Put32(i.bytes, i.resources + kDataEntry + 4, size);
     }},
};

INSTANTIATE_TEST_SUITE_P(EachDamage, PeVersionReaderDamageTest,
                         ::testing::Combine(::testing::Bool(), ::testing::ValuesIn(kDamages)),
                         [](const ::testing::TestParamInfo<std::tuple<bool, Damage>>& param) {
                           return std::string(std::get<0>(param.param) ? "Pe32Plus_" : "Pe32_") +
                                  std::get<1>(param.param).what;
                         });

TEST_P(PeVersionReaderTest, ANamedTypeWhoseLowBitsSay16IsNotTheVersionType) {
  // The icon type becomes a named entry whose name offset happens to be 16; it comes first,
  // and its directory is empty, so mistaking it for the version type would lose the version.
  Put32(bytes, At(kTypeDirectory) + 16, kDirectoryBit | 16);
  Put16(bytes, At(kTypeDirectory) + 12, 1);
  Put16(bytes, At(kTypeDirectory) + 14, 1);
  const auto resource = Find(bytes);
  ASSERT_TRUE(resource);
  EXPECT_EQ(resource->data(), bytes.data() + At(kVersionData));
}

TEST_P(PeVersionReaderTest, ImageLargerThanTheCapIsRefusedUnread) {
  // A view that claims more bytes than there are: the size alone must refuse it, before any
  // header is looked at (the headers it would find are valid).
  const std::span<const std::byte> huge(bytes.data(), static_cast<std::size_t>(pe::kMaxImageSize) + 1);
  EXPECT_FALSE(pe::FindVersionResource(huge));
}

INSTANTIATE_TEST_SUITE_P(BothFormats, PeVersionReaderTest, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& param) {
                           return param.param ? "Pe32Plus" : "Pe32";
                         });

// The root block on its own.
class RootValueTest : public ::testing::Test {
 protected:
  std::vector<std::byte> info = BuildVersionInfo(kVersion);
};

TEST_F(RootValueTest, ValueFollowsTheKeyAndItsPadding) {
  const auto root = pe::FindRootValue(info);
  ASSERT_TRUE(root);
  EXPECT_EQ(root->data(), info.data() + 40);
  EXPECT_EQ(root->size(), 52u);
}

TEST_F(RootValueTest, ReportsTheLengthTheBlockGives) {
  Put16(info, 2, 51);
  const auto root = pe::FindRootValue(info);
  ASSERT_TRUE(root);
  EXPECT_EQ(root->size(), 51u);
}

TEST_F(RootValueTest, ValueLongerThanTheBlockIsRefused) {
  Put16(info, 2, 53);
  EXPECT_FALSE(pe::FindRootValue(info));
}

TEST_F(RootValueTest, BlockLongerThanTheBufferIsRefused) {
  Put16(info, 0, static_cast<std::uint16_t>(info.size() + 1));
  EXPECT_FALSE(pe::FindRootValue(info));
}

TEST_F(RootValueTest, BlockTooShortForItsKeyIsRefused) {
  Put16(info, 0, 39);
  Put16(info, 2, 0);
  EXPECT_FALSE(pe::FindRootValue(info));
}

TEST_F(RootValueTest, OtherKeyIsRefused) {
  Put16(info, 6 + 2 * 3, u'v');
  EXPECT_FALSE(pe::FindRootValue(info));
}

TEST_F(RootValueTest, KeyWithoutItsTerminatorIsRefused) {
  Put16(info, 6 + 2 * 15, u'X');
  EXPECT_FALSE(pe::FindRootValue(info));
}

TEST_F(RootValueTest, EveryShorterBufferIsRefused) {
  for (std::size_t length = 0; length < info.size(); ++length) {
    const std::vector<std::byte> cut(info.begin(), info.begin() + static_cast<std::ptrdiff_t>(length));
    EXPECT_FALSE(pe::FindRootValue(cut)) << length;
  }
}

}  // namespace
}  // namespace velmora::test
