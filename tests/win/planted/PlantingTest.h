#pragma once
// The exes under test, from the command line of dll_planting_tests.
#include <string>

const std::wstring& ProgramPath();      // Drasken.exe
const std::wstring& FileversionPath();  // fileversion.exe
