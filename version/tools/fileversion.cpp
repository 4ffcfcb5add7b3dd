// fileversion FILE...: prints each file's version as "FILE: 1.0.0.2", or says on standard error
// why it could not. The exit status is 1 when any file fails.
//
// The names reach the reader exactly: on Windows as the UTF-16 the system gives, on POSIX as the
// bytes of the argument, which must be valid UTF-8 (the reader takes Unicode names). A name that
// is not is refused, never read as a name with U+FFFD in it, which would be another file's.
#include <algorithm>
#include <cstdio>
#include <exception>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "version/CFileVersion.h"
#include "version/WideName.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>

#include "base/win32/DllSearch.h"
#endif

namespace {

void Print(std::FILE* stream, const std::wstring& line) {
#ifdef _WIN32
  std::fputws(line.c_str(), stream);  // the stream is in UTF-8 text mode (see wmain)
#else
  std::fputs(velmora::Utf8FromWide(line).c_str(), stream);
#endif
}

#ifndef _WIN32
// A name given as bytes, as it can be shown: each byte outside a valid UTF-8 sequence as \xE9.
std::wstring Shown(std::string_view bytes) {
  std::wstring shown;
  while (!bytes.empty()) {
    std::size_t length = 0;
    std::optional<std::wstring> character;
    while (!character && length < std::min<std::size_t>(4, bytes.size())) {
      character = velmora::WideFromUtf8Exactly(bytes.substr(0, ++length));
    }
    constexpr const wchar_t* kHex = L"0123456789ABCDEF";
    const auto byte = static_cast<unsigned char>(bytes[0]);
    shown += character ? *character : std::wstring{L'\\', L'x', kHex[byte >> 4], kHex[byte & 0xF]};
    bytes.remove_prefix(character ? length : 1);
  }
  return shown;
}
#endif

// One name, or the reason why none could be made (a name shown in its place).
struct Name {
  std::optional<std::wstring> wide;
  std::wstring shown;
};

int Run(const std::vector<Name>& names) {
  if (names.empty()) {
    Print(stderr, L"usage: fileversion FILE...\n");
    return 2;
  }
  int status = 0;
  for (const Name& name : names) {
    try {
      velmora::CFileVersion version;
      if (!name.wide) {
        Print(stderr,
              name.shown +
                  L": not read: the name is not valid UTF-8, and the version reader takes Unicode names\n");
      } else if (version.FillVersionInfo(*name.wide)) {
        Print(stdout, name.shown + L": " + version.VersionString() + L"\n");
        continue;
      } else {
        Print(stderr,
              name.shown + L": no file version (not an ordinary file, or no readable version resource)\n");
      }
    } catch (const std::exception& error) {
      Print(stderr, name.shown + L": error: " + velmora::WideFromUtf8(error.what()) + L"\n");
    }
    status = 1;
  }
  return status;
}

}  // namespace

#ifdef _WIN32
int wmain(int argc, wchar_t* argv[]) {
  velmora::win32::RestrictDllSearchToSystem();
  _setmode(_fileno(stdout), _O_U8TEXT);
  _setmode(_fileno(stderr), _O_U8TEXT);
  std::vector<Name> names;
  for (int i = 1; i < argc; ++i) {
    names.push_back({argv[i], argv[i]});
  }
  return Run(names);
}
#else
int main(int argc, char* argv[]) {
  std::vector<Name> names;
  for (int i = 1; i < argc; ++i) {
    names.push_back({velmora::WideFromUtf8Exactly(argv[i]), Shown(std::string_view(argv[i]))});
  }
  return Run(names);
}
#endif
