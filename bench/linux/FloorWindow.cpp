// The Linux launch benchmark's floor: the least that shows the program's window. The same twelve
// widgets from the same layout table, with the same captions, places, colours, window font
// families, banner, icon and title, written as plain Qt Widgets: no forms runtime, no event
// filter, no style of its own, none of the program's behaviour. drasken is measured against it:
// what drasken spends above it is the program's own.
#include <QApplication>
#include <QDate>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStringList>
#include <QToolButton>
#include <QWidget>

#include "app/Form1Layout.h"
#include "app/Texts.h"
#include "platform/WindowFont.h"

namespace {

using velmora::ArrowKind;
using velmora::ControlKind;

QString Q(std::wstring_view text) {
  return QString::fromWCharArray(text.data(), static_cast<int>(text.size()));  // int in Qt 5, widened in Qt 6
}

int Pixels(int twips) {
  return twips / 15;
}

}  // namespace

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  const velmora::FormSpec& layout = velmora::Form1Layout();
  QWidget window;
  window.setWindowTitle(QStringLiteral("Velmora%1 v%2.%3.%4")
                            .arg(QDate::currentDate().year())
                            .arg(VELMORA_VERSION_MAJOR)
                            .arg(VELMORA_VERSION_MINOR)
                            .arg(VELMORA_VERSION_REVISION));
  QIcon icon;
  for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
    icon.addFile(QStringLiteral(":/velmora/icons/drasken-%1.png").arg(size), QSize(size, size));
  }
  window.setWindowIcon(icon);
  QStringList families;
  for (const std::wstring_view family : velmora::kWindowFontFamilies) {
    families << Q(family);
  }
  QFont font(families.front(), velmora::kWindowFontPoints);
  font.setFamilies(families);
  window.setFont(font);
  window.setFixedSize(Pixels(layout.clientWidth), Pixels(layout.clientHeight));
  for (const velmora::ControlSpec& c : layout.controls) {
    QWidget* widget = nullptr;
    if (c.kind == ControlKind::CommandButton && c.arrow != ArrowKind::None) {
      auto* arrow = new QToolButton(&window);  // plain Qt's button with the style's arrow on it
      arrow->setArrowType(c.arrow == ArrowKind::Up ? Qt::UpArrow : Qt::DownArrow);
      widget = arrow;
    } else if (c.kind == ControlKind::CommandButton) {
      widget = new QPushButton(Q(c.caption), &window);
    } else if (c.kind == ControlKind::TextBox) {
      widget = new QLineEdit(Q(c.caption), &window);
    } else if (c.kind == ControlKind::Image) {
      auto* image = new QLabel(&window);
      image->setPixmap(QPixmap(QStringLiteral(":/velmora/banner.bmp")));
      widget = image;
    } else {
      auto* label = new QLabel(Q(c.caption), &window);
      label->setAutoFillBackground(true);
      if (c.foreColor != velmora::kDefaultColor) {
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, QColor(static_cast<int>(c.foreColor & 0xFFu),
                                                      static_cast<int>((c.foreColor >> 8) & 0xFFu),
                                                      static_cast<int>((c.foreColor >> 16) & 0xFFu)));
        label->setPalette(palette);
      }
      widget = label;
    }
    widget->setGeometry(Pixels(c.left), Pixels(c.top), Pixels(c.width), Pixels(c.height));
    if (c.kind == ControlKind::Label) {
      widget->adjustSize();
    }
  }
  window.show();
  return QApplication::exec();
}
