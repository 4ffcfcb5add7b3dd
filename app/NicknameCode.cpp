#include "app/NicknameCode.h"

#include <cstdint>
#include <limits>

namespace velmora {

namespace {
std::wstring_view TrimBlanks(std::wstring_view text) {
  const auto first = text.find_first_not_of(L' ');
  if (first == std::wstring_view::npos) {
    return {};
  }
  return text.substr(first, text.find_last_not_of(L' ') - first + 1);
}
}  // namespace

std::int32_t ParseCount(std::wstring_view countText) {
  std::wstring_view digits = TrimBlanks(countText);
  bool negative = false;
  if (!digits.empty() && (digits.front() == L'+' || digits.front() == L'-')) {
    negative = digits.front() == L'-';
    digits.remove_prefix(1);
  }
  if (digits.empty()) {
    throw InvalidCountError("the count is not a number");
  }
  std::int64_t value = 0;
  for (const wchar_t c : digits) {
    if (c < L'0' || c > L'9') {
      throw InvalidCountError("the count is not a number");
    }
    value = value * 10 + (c - L'0');
    if (value > std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1) {
      throw InvalidCountError("the count is out of range");
    }
  }
  if (negative) {
    value = -value;
  }
  if (value > std::numeric_limits<std::int32_t>::max()) {
    throw InvalidCountError("the count is out of range");
  }
  return static_cast<std::int32_t>(value);
}

std::wstring ComposeNicknameCode(std::wstring_view countText, std::wstring_view nickname) {
  const std::int32_t count = ParseCount(countText);
  if (count < 0) {
    throw InvalidCountError("the count is negative");
  }
  std::wstring code(static_cast<std::size_t>(count), kFillerChar);
  code.append(nickname);
  return code;
}

}  // namespace velmora
