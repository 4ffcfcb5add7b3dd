// Drasken.exe and fileversion.exe import only Windows' known DLLs (the C++ runtime is linked in):
// Windows maps those from the system directory and never looks for them beside the exe. Any
// other DLL is loaded from the system directory once the program runs.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <set>
#include <string>

#include <windows.h>

#include "PlantingTest.h"

namespace {

std::set<std::string> ImportedDlls(const std::wstring& exe) {
  const HMODULE image = ::LoadLibraryExW(exe.c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES);
  if (image == nullptr) {
    ADD_FAILURE() << "cannot map the exe";
    return {};
  }
  const auto* base = reinterpret_cast<const unsigned char*>(image);
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& directory = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  std::set<std::string> dlls;
  for (const auto* entry = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + directory.VirtualAddress);
       entry->Name != 0; ++entry) {
    std::string name = reinterpret_cast<const char*>(base + entry->Name);
    std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::tolower(c); });
    dlls.insert(name);
  }
  ::FreeLibrary(image);
  return dlls;
}

TEST(ExeImports, OnlyKnownDlls) {
  // Known DLLs of every Windows from 7 on that a program like this could need.
  const std::set<std::string> known = {"advapi32.dll", "gdi32.dll", "imm32.dll",   "kernel32.dll",
                                       "msvcrt.dll",   "ole32.dll", "shell32.dll", "shlwapi.dll",
                                       "user32.dll"};
  for (const std::wstring& exe : {ProgramPath(), FileversionPath()}) {
    const std::set<std::string> imported = ImportedDlls(exe);
    EXPECT_TRUE(imported.contains("kernel32.dll"));
    for (const std::string& dll : imported) {
      EXPECT_TRUE(known.contains(dll)) << dll << " is not a known DLL: it would be looked for beside the exe";
    }
  }
}

}  // namespace
