// Prints the two link targets as the program has them (app/Texts.h over the generated header),
// one a line, for the configure test to compare with the settings it gave.
#include <cstdio>

#include "app/Texts.h"

int main() {
  for (const std::wstring_view text : {velmora::texts::kWebAddress, velmora::texts::kMailtoTarget}) {
    for (const wchar_t c : text) {
      std::putchar(c > 0 && c < 0x80 ? static_cast<char>(c) : '?');
    }
    std::putchar('\n');
  }
}
