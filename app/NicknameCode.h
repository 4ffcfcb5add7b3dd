#pragma once
#include <exception>
#include <string>
#include <string_view>

namespace velmora {

// The invisible character put in front of the nickname.
inline constexpr wchar_t kFillerChar = L'\x0001';

// The count text is not a whole number from 0 to 2^31-1. The reason is a fixed text. (Not a
// std::invalid_argument: the standard exceptions with a message bring a second string
// implementation into the exe, about 45 KB.)
class InvalidCountError : public std::exception {
 public:
  explicit InvalidCountError(const char* reason) noexcept : reason_(reason) {}
  const char* what() const noexcept override { return reason_; }

 private:
  const char* reason_;
};

// Converts the count text (decimal, blanks around it allowed) to n and returns n filler
// characters followed by the nickname exactly as given. Throws InvalidCountError for a count
// text that is not a number or is negative.
std::wstring ComposeNicknameCode(std::wstring_view countText, std::wstring_view nickname);

// The count text as a 32-bit signed number; throws InvalidCountError when it is not one.
std::int32_t ParseCount(std::wstring_view countText);

}  // namespace velmora
