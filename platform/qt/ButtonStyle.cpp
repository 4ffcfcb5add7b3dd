#include "platform/qt/ButtonStyle.h"

#include <QPainter>
#include <QStyleOptionButton>
#include <QWidget>

#include <algorithm>

namespace velmora::qt {

namespace {
constexpr char kArrowProperty[] = "velmoraArrow";
constexpr char kNoFocusLookProperty[] = "velmoraNoFocusLook";
}  // namespace

ButtonStyle::ButtonStyle() = default;

void ButtonStyle::SetArrow(QWidget* button, ArrowKind arrow) {
  button->setProperty(kArrowProperty, static_cast<int>(arrow));
  button->update();
}

ArrowKind ButtonStyle::ArrowOf(const QWidget* button) {
  return button == nullptr ? ArrowKind::None
                           : static_cast<ArrowKind>(button->property(kArrowProperty).toInt());
}

void ButtonStyle::SetFocusLookHidden(QWidget* button, bool hidden) {
  button->setProperty(kNoFocusLookProperty, hidden);
  button->update();
}

bool ButtonStyle::FocusLookHidden(const QWidget* button) {
  return button != nullptr && button->property(kNoFocusLookProperty).toBool();
}

void ButtonStyle::drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                              const QWidget* widget) const {
  // The whole button, its bevel and its label are drawn from an option without the focus. A
  // button that presses on Enter also looks like the default button while it has the focus;
  // that look goes too (the window has no default button of its own).
  if (const auto* button = qstyleoption_cast<const QStyleOptionButton*>(option);
      button != nullptr && FocusLookHidden(widget) &&
      ((button->state & State_HasFocus) || (button->features & QStyleOptionButton::DefaultButton))) {
    QStyleOptionButton unfocused(*button);
    unfocused.state &= ~State_HasFocus;
    unfocused.features &= ~QStyleOptionButton::DefaultButton;
    drawControl(element, &unfocused, painter, widget);
    return;
  }
  const ArrowKind arrow = ArrowOf(widget);
  if (element == CE_PushButtonLabel && arrow != ArrowKind::None) {
    // A square in the middle of the label's area, as large as the smaller side allows.
    const QRect area = option->rect;
    const int side = std::max(1, std::min(area.width(), area.height()));
    QStyleOption arrowOption(*option);
    arrowOption.rect = QRect(0, 0, side, side);
    arrowOption.rect.moveCenter(area.center());
    if (option->state & State_Sunken) {
      arrowOption.rect.translate(pixelMetric(PM_ButtonShiftHorizontal, option, widget),
                                 pixelMetric(PM_ButtonShiftVertical, option, widget));
    }
    drawPrimitive(arrow == ArrowKind::Up ? PE_IndicatorArrowUp : PE_IndicatorArrowDown, &arrowOption, painter,
                  widget);
    return;
  }
  QProxyStyle::drawControl(element, option, painter, widget);
}

}  // namespace velmora::qt
