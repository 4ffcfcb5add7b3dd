// fileversion FILE...: prints each file's version as "FILE: 1.0.0.2", or says on standard error
// why it could not. The exit status is 1 when any file fails.
#include <cstdio>
#include <exception>
#include <string>
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

int Run(const std::vector<std::wstring>& names) {
  if (names.empty()) {
    Print(stderr, L"usage: fileversion FILE...\n");
    return 2;
  }
  int status = 0;
  for (const std::wstring& name : names) {
    try {
      velmora::CFileVersion version;
      if (version.FillVersionInfo(name)) {
        Print(stdout, name + L": " + version.VersionString() + L"\n");
        continue;
      }
      Print(stderr, name + L": no file version (not an ordinary file, or no readable version resource)\n");
    } catch (const std::exception& error) {
      Print(stderr, name + L": error: " + velmora::WideFromUtf8(error.what()) + L"\n");
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
  return Run(std::vector<std::wstring>(argv + 1, argv + argc));
}
#else
int main(int argc, char* argv[]) {
  std::vector<std::wstring> names;
  for (int i = 1; i < argc; ++i) {
    names.push_back(velmora::WideFromUtf8(argv[i]));
  }
  return Run(names);
}
#endif
