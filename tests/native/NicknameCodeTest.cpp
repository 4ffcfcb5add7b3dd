#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "app/NicknameCode.h"

namespace velmora {
namespace {

TEST(ComposeNicknameCode, PutsCountFillersBeforeTheNicknameExactlyAsGiven) {
  const std::wstring nicknames[] = {
      L"abc",
      L" ",                             // a single blank is a nickname, not nothing
      L"  lead and trail  ",            // blanks on both sides stay
      L"\U0001F600 emoji \U0001F680",   // outside the Basic Multilingual Plane
      L"\u05E9\u05DC\u05D5\u05DD abc",  // right-to-left text
      L"tab\there\r\nnew line",         // control characters pass through
      L"\x0001already filled",          // a filler already in the nickname is kept
      std::wstring(70000, L'x'),        // longer than a 16-bit length
  };
  for (int count = 0; count <= 4; ++count) {
    for (const std::wstring& nickname : nicknames) {
      EXPECT_EQ(ComposeNicknameCode(std::to_wstring(count), nickname),
                std::wstring(static_cast<std::size_t>(count), kFillerChar) + nickname);
    }
  }
  EXPECT_THROW(ComposeNicknameCode(L"-1", L"abc"), InvalidCountError);
}

TEST(ParseCount, ReadsA32BitDecimalWithBlanksAroundAndASign) {
  const std::pair<const wchar_t*, std::int32_t> numbers[] = {
      {L"1", 1},   {L" 3 ", 3}, {L"+4", 4}, {L"007", 7}, {L"-2", -2}, {L"19", 19}, {L"2147483647", 2147483647},
      {L"-2147483648", -2147483647 - 1}};
  for (const auto& [text, value] : numbers) {
    EXPECT_EQ(ParseCount(text), value) << text;
  }
  for (const wchar_t* text : {L"", L" ", L"-", L"x", L"3a", L"1 2", L"1.5", L"2147483648", L"-2147483649",
                              L"99999999999999999999", L"\uFF13" /* full-width 3 */}) {
    EXPECT_THROW(ParseCount(text), InvalidCountError) << text;
  }
}

}  // namespace
}  // namespace velmora
