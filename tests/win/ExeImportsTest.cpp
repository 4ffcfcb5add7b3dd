// Drasken.exe runs on a bare Windows: it imports only DLLs that ship with the system, the C++
// runtime being linked in.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <set>
#include <string>

#include "LiveWindow.h"

namespace velmora::testing {
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

TEST(ExeImports, OnlySystemDlls) {
  ASSERT_FALSE(DraskenPath().empty());
  const std::set<std::string> shipped = {"comctl32.dll", "gdi32.dll",   "kernel32.dll", "msvcrt.dll",
                                         "ole32.dll",    "shell32.dll", "user32.dll",   "version.dll"};
  const std::set<std::string> imported = ImportedDlls(DraskenPath());
  EXPECT_TRUE(imported.contains("user32.dll"));
  for (const std::string& dll : imported) {
    EXPECT_TRUE(shipped.contains(dll)) << dll << " does not ship with Windows";
  }
}

}  // namespace
}  // namespace velmora::testing
