#include <gtest/gtest.h>

#include "app/Title.h"

namespace velmora {
namespace {

TEST(ComposeTitle, JoinsNameYearAndVersionWithoutPaddingOrBuild) {
  EXPECT_EQ(ComposeTitle(2008, 1, 0, 2), L"Velmora2008 v1.0.2");
  EXPECT_EQ(ComposeTitle(2026, 1, 0, 2), L"Velmora2026 v1.0.2");
  EXPECT_EQ(ComposeTitle(2026, 12, 10, 345), L"Velmora2026 v12.10.345");
}

TEST(ComposeTitle, WritesPlainDecimalAtTheEdgesOfTheRange) {
  EXPECT_EQ(ComposeTitle(0, 0, 0, 0), L"Velmora0 v0.0.0");
  EXPECT_EQ(ComposeTitle(32767, 32767, 1000, 9), L"Velmora32767 v32767.1000.9");
  EXPECT_EQ(ComposeTitle(-32768, -1, 0, -2), L"Velmora-32768 v-1.0.-2");
}

}  // namespace
}  // namespace velmora
