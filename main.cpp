// Drasken.exe: opens the Velmora window and runs it until it is closed.
#include <windows.h>

#include <cstdlib>

#include "app/Form1.h"
#include "app/Form1Layout.h"
#include "app/Texts.h"
#include "app/hook/ButtonHook.h"
#include "platform/win32/SystemDllSearch.h"
#include "platform/win32/Win32Forms.h"
#include "resources/ResourceIds.h"

#if defined(__GLIBCXX__)
// GCC's default terminate handler prints the demangled type of the exception, which links its
// messages and a demangler into the exe (about 58 KB). No exception reaches terminate here (the
// event boundary catches them all), so ending the process is all it needs to do. The library
// has no supported switch for this: the definition takes the place of the library's because
// the linker finds it here first. The lean_terminate test fails if it ever stops doing so.
namespace __gnu_cxx {
void __verbose_terminate_handler() {
  std::abort();
}
}  // namespace __gnu_cxx
#endif

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
  Form1 form(forms, HookButton);
  if (!forms.Open(form, showCommand)) {
    return 1;
  }
  return forms.Run();
}
