#pragma once
#include <stdexcept>
#include <string>
#include <string_view>

namespace velmora {

// The invisible character put in front of the nickname.
inline constexpr wchar_t kFillerChar = L'\x0001';

// The count text is not a whole number from 0 to 2^31-1.
class InvalidCountError : public std::invalid_argument {
 public:
  using std::invalid_argument::invalid_argument;
};

// Converts the count text (decimal, blanks around it allowed) to n and returns n filler
// characters followed by the nickname exactly as given. Throws InvalidCountError for a count
// text that is not a number or is negative.
std::wstring ComposeNicknameCode(std::wstring_view countText, std::wstring_view nickname);

// The count text as a 32-bit signed number; throws InvalidCountError when it is not one.
std::int32_t ParseCount(std::wstring_view countText);

}  // namespace velmora
