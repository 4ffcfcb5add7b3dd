// Drasken.exe: opens the Velmora window and runs it until it is closed.
#include <windows.h>

#include "app/Form1.h"
#include "app/Form1Layout.h"
#include "app/Texts.h"
#include "base/win32/DllSearch.h"
#include "platform/win32/Win32Forms.h"
#include "resources/ResourceIds.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
  using namespace velmora;
  win32::RestrictDllSearchToSystem();
  // Common controls 6 load uxtheme.dll by name when they first draw a themed control. Where that
  // load does not follow the restricted search (Windows 7 without KB2533623, Wine's delay loads),
  // it would look beside the exe first; loaded from the system directory now, it is found among
  // the loaded modules then.
  win32::LoadSystemDll(L"uxtheme.dll");
  win32::Win32Forms forms(instance, Form1Layout(), {IDI_VELMORA, IDB_BANNER, IDC_LINK_HAND},
                          {texts::kFatalTitle, texts::kFatalPrefix});
  Form1 form(forms);
  if (!forms.Open(form, showCommand)) {
    return 1;
  }
  return forms.Run();
}
