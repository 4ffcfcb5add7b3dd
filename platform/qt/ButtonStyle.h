#pragma once
// The look of the window's command buttons, through the style rather than a widget subclass:
// - a button marked as an arrow shows the style's own up or down arrow instead of its text;
// - a button whose focus look is hidden keeps the keyboard focus (Space presses it) but is
//   drawn as if it had none, the Qt form of dropping the focus notification.
#include <QProxyStyle>

#include "platform/Layout.h"

class QWidget;

namespace velmora::qt {

class ButtonStyle final : public QProxyStyle {
 public:
  ButtonStyle();

  static void SetArrow(QWidget* button, ArrowKind arrow);
  static ArrowKind ArrowOf(const QWidget* button);
  static void SetFocusLookHidden(QWidget* button, bool hidden);
  static bool FocusLookHidden(const QWidget* button);

  void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                   const QWidget* widget = nullptr) const override;
};

}  // namespace velmora::qt
