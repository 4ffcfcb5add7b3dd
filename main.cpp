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
// GCC's default terminate handler prints the demangled type of the exception, which links a
// 45 KB demangler into the exe. No exception reaches terminate here (the event boundary
// catches them all), so ending the process is all it needs to do.
namespace __gnu_cxx {
void __verbose_terminate_handler() {
  std::abort();
}
}  // namespace __gnu_cxx
#endif

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
  using namespace velmora;
  win32::RestrictDllSearchToSystem();
  win32::Win32Forms forms(instance, Form1Layout(), {IDI_VELMORA, IDB_BANNER, IDC_LINK_HAND},
                          {texts::kFatalTitle, texts::kFatalPrefix});
  Form1 form(forms, HookButton);
  if (!forms.Open(form, showCommand)) {
    return 1;
  }
  return forms.Run();
}
