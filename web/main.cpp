// The page's program: opens the Velmora window on the page and leaves it to the page's events.
#include "app/Form1.h"
#include "app/Form1Layout.h"
#include "app/Texts.h"
#include "platform/web/WebForms.h"

int main() {
  using namespace velmora;
  // Both live as long as the page: returning from main leaves the program to the page's events.
  // The version comes from the project's numbers in CMakeLists.txt, compiled in.
  static web::WebForms forms(Form1Layout(),
                             {VELMORA_VERSION_MAJOR, VELMORA_VERSION_MINOR, VELMORA_VERSION_REVISION},
                             {texts::kFatalTitle, texts::kFatalPrefix},
                             {texts::kCopyByHandTitle, texts::kCopyNotSecure, texts::kCopyDenied,
                              texts::kCopyUnsupported, texts::kCopyByHand});
  static Form1 form(forms);
  return forms.Open(form) ? 0 : 1;
}
