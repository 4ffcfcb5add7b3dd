#include "linux/ProgramResources.h"

#include <QIcon>
#include <QPixmap>
#include <QString>

namespace velmora::linux_desktop {

qt::QtResources ProgramResources() {
  qt::QtResources resources;
  // From the project's version in CMakeLists.txt, the one place it lives.
  resources.version = {VELMORA_VERSION_MAJOR, VELMORA_VERSION_MINOR, VELMORA_VERSION_REVISION};
  for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
    resources.icon.addFile(QStringLiteral(":/velmora/icons/drasken-%1.png").arg(size), QSize(size, size));
  }
  resources.banner = QPixmap(QStringLiteral(":/velmora/banner.bmp"));
  resources.handCursor = QPixmap(QStringLiteral(":/velmora/hand.png"));
  resources.handHotX = 5;  // the fingertip
  resources.handHotY = 0;
  return resources;
}

}  // namespace velmora::linux_desktop
