#include "version/WideName.h"

#include <cstdint>

namespace velmora {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool IsSurrogate(char32_t c) {
  return c >= 0xD800 && c <= 0xDFFF;
}

void AppendUtf8(std::string& out, char32_t c) {
  if (c > 0x10FFFF || IsSurrogate(c)) {
    c = kReplacement;
  }
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// Code units of 16 bits are UTF-16; wider ones hold a code point each.
template <typename Unit>
constexpr bool kUtf16 = sizeof(Unit) == 2;

template <typename Unit>
void AppendUnits(std::basic_string<Unit>& out, char32_t c) {
  if constexpr (kUtf16<Unit>) {
    if (c >= 0x10000) {
      c -= 0x10000;
      out += static_cast<Unit>(0xD800 + (c >> 10));
      out += static_cast<Unit>(0xDC00 + (c & 0x3FF));
      return;
    }
  }
  out += static_cast<Unit>(c);
}

template <typename Unit>
std::basic_string<Unit> FromUtf8(std::string_view text) {
  std::basic_string<Unit> out;
  std::size_t i = 0;
  while (i < text.size()) {
    // The lead byte's high bits give the length (C0 and C1 could only start an overlong form);
    // what a sequence decodes to is checked below.
    const auto lead = static_cast<unsigned char>(text[i]);
    const std::size_t length = lead < 0x80   ? 1
                               : lead < 0xC2 ? 0
                               : lead < 0xE0 ? 2
                               : lead < 0xF0 ? 3
                               : lead < 0xF8 ? 4
                                             : 0;
    char32_t c = length == 1 ? lead : length == 2 ? lead & 0x1Fu : length == 3 ? lead & 0x0Fu : lead & 0x07u;
    bool valid = length != 0 && i + length <= text.size();
    for (std::size_t k = 1; valid && k < length; ++k) {
      const auto next = static_cast<unsigned char>(text[i + k]);
      valid = (next & 0xC0) == 0x80;
      c = (c << 6) | (next & 0x3Fu);
    }
    const char32_t minimum = length == 2 ? 0x80 : length == 3 ? 0x800 : length == 4 ? 0x10000 : 0;
    if (!valid || c < minimum || c > 0x10FFFF || IsSurrogate(c)) {
      AppendUnits(out, kReplacement);
      i += 1;
      continue;
    }
    AppendUnits(out, c);
    i += length;
  }
  return out;
}

template <typename Unit>
std::string ToUtf8(std::basic_string_view<Unit> text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    auto c = static_cast<char32_t>(text[i]);
    if constexpr (kUtf16<Unit>) {
      const bool high = c >= 0xD800 && c <= 0xDBFF;
      if (high && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
        c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00u);
        ++i;
      }
    }
    AppendUtf8(out, c);
  }
  return out;
}

}  // namespace

std::wstring WideFromUtf8(std::string_view text) {
  return FromUtf8<wchar_t>(text);
}

std::string Utf8FromWide(std::wstring_view text) {
  return ToUtf8(text);
}

std::optional<std::wstring> WideFromUtf8Exactly(std::string_view text) {
  std::wstring wide = WideFromUtf8(text);
  if (Utf8FromWide(wide) != text) {
    return std::nullopt;
  }
  return wide;
}

std::u16string Utf16FromUtf8(std::string_view text) {
  return FromUtf8<char16_t>(text);
}

std::string Utf8FromUtf16(std::u16string_view text) {
  return ToUtf8(text);
}

}  // namespace velmora
