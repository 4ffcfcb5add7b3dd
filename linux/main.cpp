// drasken: opens the Velmora window on the Linux desktop and runs it until it is closed.
#include <QApplication>

#include <cstdio>

#include "app/Form1.h"
#include "app/Form1Layout.h"
#include "app/Texts.h"
#include "platform/qt/QtForms.h"
#include "linux/DisplayCheck.h"
#include "linux/ProgramResources.h"

int main(int argc, char* argv[]) {
  using namespace velmora;
  const linux_desktop::ReachedDisplay display = linux_desktop::ReachDisplay(argc, argv);  // held while drasken runs
  if (!display.Answers()) {
    std::fputs(linux_desktop::kNoDisplayLine, stderr);
    return 1;
  }
  qt::QtForms::PrepareApplication();
  QApplication application(argc, argv);
  QGuiApplication::setDesktopFileName(QStringLiteral("drasken"));
  qt::QtForms forms(Form1Layout(), linux_desktop::ProgramResources(), {texts::kFatalTitle, texts::kFatalPrefix});
  Form1 form(forms);
  if (!forms.Open(form)) {
    return 1;
  }
  return QApplication::exec();
}
