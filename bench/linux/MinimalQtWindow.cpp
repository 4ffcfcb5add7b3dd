// The yardstick for drasken: a Qt Widgets window of the same size with nothing in it.
#include <QApplication>
#include <QWidget>

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  QWidget window;
  window.setWindowTitle(QStringLiteral("Minimal Qt window"));
  window.setFixedSize(374, 254);
  window.show();
  return QApplication::exec();
}
