#include <gtest/gtest.h>

#include <string>

#include "app/NicknameCode.h"

namespace velmora {
namespace {

std::wstring Fillers(std::size_t n) {
  return std::wstring(n, L'\x0001');
}

TEST(ComposeNicknameCode, PutsCountFillersBeforeTheNickname) {
  for (int count = 0; count <= 4; ++count) {
    const std::wstring code = ComposeNicknameCode(std::to_wstring(count), L"abc");
    ASSERT_EQ(code.size(), static_cast<std::size_t>(count) + 3) << count;
    EXPECT_EQ(code, Fillers(static_cast<std::size_t>(count)) + L"abc") << count;
  }
}

TEST(ComposeNicknameCode, TakesTheNicknameExactly) {
  const std::wstring nicknames[] = {
      L" ",                             // a single blank is a nickname, not nothing
      L"  lead and trail  ",            // blanks on both sides stay
      L"MiXeD case",                    // no case change
      L"\U0001F600 emoji \U0001F680",   // outside the Basic Multilingual Plane
      L"\u05E9\u05DC\u05D5\u05DD abc",  // right-to-left text
      L"tab\there\r\nnew line",         // control characters pass through
      L"\x0001already filled",          // filler already in the nickname is kept
  };
  for (const std::wstring& nickname : nicknames) {
    EXPECT_EQ(ComposeNicknameCode(L"2", nickname), Fillers(2) + nickname);
  }
}

TEST(ComposeNicknameCode, KeepsAVeryLongNicknameWhole) {
  std::wstring nickname;
  for (int i = 0; i < 150000; ++i) {
    nickname += static_cast<wchar_t>(L'a' + i % 26);
  }
  const std::wstring code = ComposeNicknameCode(L"4", nickname);
  ASSERT_EQ(code.size(), nickname.size() + 4);
  EXPECT_EQ(code.substr(0, 4), Fillers(4));
  EXPECT_EQ(code.substr(4), nickname);
}

TEST(ParseCount, ReadsDecimalTextWithBlanksAndSign) {
  EXPECT_EQ(ParseCount(L"1"), 1);
  EXPECT_EQ(ParseCount(L" 3 "), 3);
  EXPECT_EQ(ParseCount(L"+4"), 4);
  EXPECT_EQ(ParseCount(L"007"), 7);
  EXPECT_EQ(ParseCount(L"-2"), -2);
  EXPECT_EQ(ParseCount(L"2147483647"), 2147483647);
  EXPECT_EQ(ParseCount(L"-2147483648"), -2147483647 - 1);
}

TEST(ParseCount, RefusesTextThatIsNotA32BitNumber) {
  for (const wchar_t* text : {L"", L" ", L"-", L"x", L"3a", L"1 2", L"1.5", L"2147483648", L"-2147483649",
                              L"99999999999999999999", L"\uFF13" /* full-width 3 */}) {
    EXPECT_THROW(ParseCount(text), InvalidCountError) << static_cast<const void*>(text);
  }
}

TEST(ComposeNicknameCode, RefusesANegativeOrNonNumericCount) {
  EXPECT_THROW(ComposeNicknameCode(L"-1", L"abc"), InvalidCountError);
  EXPECT_THROW(ComposeNicknameCode(L"six", L"abc"), InvalidCountError);
  EXPECT_EQ(ComposeNicknameCode(L"0", L"abc"), L"abc");
}

}  // namespace
}  // namespace velmora
