// The form's events, raised from the controls' own events.
#include <QApplication>
#include <QEvent>
#include <QMessageBox>
#include <QMouseEvent>
#include <QString>
#include <QWidget>

#include <utility>

#include "platform/qt/ButtonStyle.h"
#include "platform/qt/QtForms.h"

namespace velmora::qt {

namespace {
QPoint PositionOf(const QMouseEvent& event) {
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
  return event.position().toPoint();
#else
  return event.pos();
#endif
}

bool IsLeftButton(QEvent::Type type, const QEvent& event) {
  return (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonRelease ||
          type == QEvent::MouseButtonDblClick) &&
         static_cast<const QMouseEvent&>(event).button() == Qt::LeftButton;
}
}  // namespace

// While the box is up the window keeps painting; only the events stop.
void QtForms::ReportFatal(std::wstring_view title, std::wstring_view text) noexcept {
  QMessageBox::critical(window_, QString::fromStdWString(std::wstring(title)),
                        QString::fromStdWString(std::wstring(text)));
}

void QtForms::EndAfterFailure() noexcept {
  if (window_) {
    window_->hide();
    window_->deleteLater();
  }
  QCoreApplication::exit(1);
}

// Events observe, they never swallow: the filter always answers false, so every event goes on
// to the control's own processing as if nothing had watched it. Clicks on buttons come from the
// button's clicked signal, after its own processing; a double-click in the text box is raised
// once the box has handled it (queued), so the handler sees the box as the click left it.
bool QtForms::eventFilter(QObject* watched, QEvent* event) {
  if (Failed() || events_ == nullptr) {
    return false;
  }
  const QEvent::Type type = event->type();
  if (watched == window_) {
    if (type == QEvent::Paint && !std::exchange(activated_, true)) {
      QMetaObject::invokeMethod(this, [this] { Activate(); }, Qt::QueuedConnection);  // once painted
    }
    // Movement over the window's own surface, not one passed up from a control under the pointer.
    if (type == QEvent::MouseMove) {
      const auto* move = static_cast<const QMouseEvent*>(event);
      if (window_->childAt(PositionOf(*move)) == nullptr) {
        Raise([&] { events_->FormMouseMove(); });
      }
    }
    return false;
  }
  const Control* control = FromWidget(watched);
  if (control == nullptr) {
    return false;
  }
  const ControlKey id = control->design->key;
  const ControlKind kind = control->design->kind;
  if (type == QEvent::MouseMove && kind == ControlKind::Label) {
    Raise([&] { events_->MouseMove(id); });
  } else if (kind == ControlKind::Label && IsLeftButton(type, *event)) {
    // Qt delivers a double-click as press, release, double-click, release; Windows as one click
    // and one double-click. The release that ends a double-click is no second click.
    if (type == QEvent::MouseButtonDblClick) {
      doubleClicked_ = watched;
      Raise([&] { events_->DblClick(id); });
    } else if (type == QEvent::MouseButtonPress) {
      doubleClicked_ = nullptr;
    } else if (type == QEvent::MouseButtonRelease && std::exchange(doubleClicked_, nullptr) != watched &&
               control->handle->rect().contains(PositionOf(static_cast<const QMouseEvent&>(*event)))) {
      Raise([&] { events_->Click(id); });
    }
  } else if (type == QEvent::MouseButtonDblClick && kind == ControlKind::TextBox) {
    QMetaObject::invokeMethod(
        this, [this, id] { Raise([&] { events_->DblClick(id); }); }, Qt::QueuedConnection);
  }
  return false;
}

}  // namespace velmora::qt
