// The window, its controls and the operations that event handlers call.
#include "platform/qt/QtForms.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QClipboard>
#include <QDate>
#include <QDesktopServices>
#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QStringList>
#include <QUrl>

#include <limits>

#include "platform/WindowFont.h"
#include "platform/qt/ButtonStyle.h"

namespace velmora::qt {

namespace {

QString ToQString(std::wstring_view text) {
  return QString::fromStdWString(std::wstring(text));
}

QFont WindowFont() {
  QStringList families;
  for (const std::wstring_view family : kWindowFontFamilies) {
    families << ToQString(family);
  }
  QFont font(families.front(), kWindowFontPoints);
  font.setFamilies(families);
  return font;
}

QColor ToQColor(Color color) {
  return QColor(static_cast<int>(color & 0xFFu), static_cast<int>((color >> 8) & 0xFFu),
                static_cast<int>((color >> 16) & 0xFFu));
}

int Pixels(int twips) {
  return TwipsToPixels(twips, 96);  // device-independent pixels; Qt scales for the screen
}

constexpr char kFormProperty[] = "velmoraForm";

// A plain top-level QWidget is presented to screen readers as a pane ("filler" in AT-SPI); the
// form is a window, announced with its title.
QAccessibleInterface* FormAccessible(const QString& /*className*/, QObject* object) {
  auto* widget = qobject_cast<QWidget*>(object);
  if (widget == nullptr || !widget->isWindow() || !widget->property(kFormProperty).toBool()) {
    return nullptr;
  }
  return new QAccessibleWidget(widget, QAccessible::Window);
}

}  // namespace

// Qt 6 scales every screen by its DPI, fractional factors included (1.5 at 144 DPI); Qt 5 does
// so only when asked before the application object exists. Without it, Qt 5 draws 192-DPI text
// in a 96-DPI layout. Both take the factor as it is, so that the window looks alike in both.
void QtForms::PrepareApplication() {
#if QT_VERSION < QT_VERSION_CHECK(6, 0, 0)
  QCoreApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
  QCoreApplication::setAttribute(Qt::AA_UseHighDpiPixmaps);
  QGuiApplication::setHighDpiScaleFactorRoundingPolicy(Qt::HighDpiScaleFactorRoundingPolicy::PassThrough);
#endif
}

QtForms::QtForms(const FormSpec& layout, QtResources resources, FatalErrorTexts fatal)
    : EventBoundary(fatal),
      spec_(layout),
      resources_(std::move(resources)),
      tabOrder_(TabOrder::FromLayout(layout.controls)),
      controls_(layout.controls) {}

QtForms::~QtForms() {
  delete window_.data();  // the controls go with it, before the style they are drawn with
}

bool QtForms::Open(FormEvents& events) {
  events_ = &events;
  Raise([&] {
    CreateWindow();
    CreateControls();
    ApplyTabOrder();
  });
  Raise([&] { events_->Initialize(); });
  if (Failed() || !window_) {
    return false;
  }
  Centre();
  if (QWidget* first = ControlWidget(tabOrder_.Sequence().front())) {
    first->setFocus(Qt::TabFocusReason);  // the window's focus, given to it when it is activated
  }
  window_->show();  // raised and activated once it has painted (eventFilter)
  return true;
}

// Raising and activating the window waits on the X server several times (the focus, the input
// devices, the text box's place on the screen for the input method); none of it is needed to
// paint, so it comes after the first paint.
void QtForms::Activate() {
  if (window_) {
    window_->raise();
    window_->activateWindow();
  }
}

void QtForms::CreateWindow() {
  window_ = new QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                     Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                                     Qt::WindowCloseButtonHint);
  window_->setObjectName(QStringLiteral("Form1"));
  window_->setProperty(kFormProperty, true);
  static const bool accessibleForm = [] {
    QAccessible::installFactory(FormAccessible);
    return true;
  }();
  static_cast<void>(accessibleForm);
  window_->setWindowTitle(ToQString(spec_.caption));
  window_->setWindowIcon(resources_.icon);
  window_->setFont(WindowFont());
  window_->setFixedSize(Pixels(spec_.clientWidth), Pixels(spec_.clientHeight));
  window_->setMouseTracking(true);
  window_->installEventFilter(this);
  connect(window_.data(), &QObject::destroyed, this, [this] { controls_.Forget(); });
  // A window manager closes the window on Alt+F4 itself; without one, the window does.
  auto* close = new QShortcut(QKeySequence(QStringLiteral("Alt+F4")), window_);
  connect(close, &QShortcut::activated, window_.data(), &QWidget::close);
  style_ = std::make_unique<ButtonStyle>();
}

void QtForms::CreateControls() {
  for (std::size_t place = 0; place < spec_.controls.size(); ++place) {
    const ControlSpec& c = spec_.controls[place];
    QWidget* widget = nullptr;
    const QString caption = ToQString(c.caption);
    switch (c.kind) {
      case ControlKind::CommandButton: {
        auto* button = new QPushButton(caption, window_);
        button->setStyle(style_.get());
        ButtonStyle::SetArrow(button, c.arrow);
        button->setAutoDefault(true);  // Enter presses the focused button, as in a dialog
        connect(button, &QPushButton::clicked, this,
                [this, key = c.key] { Raise([&] { events_->Click(key); }); });
        widget = button;
        break;
      }
      case ControlKind::TextBox: {
        auto* box = new QLineEdit(caption, window_);
        box->setMaxLength(std::numeric_limits<int>::max());  // no cap of its own
        widget = box;
        break;
      }
      case ControlKind::Image: {
        auto* image = new QLabel(window_);
        image->setPixmap(resources_.banner);
        image->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        widget = image;
        break;
      }
      case ControlKind::Label: {
        auto* label = new QLabel(caption, window_);
        label->setTextFormat(Qt::PlainText);
        label->setAutoFillBackground(true);  // opaque, in the window's colour
        label->setContentsMargins(0, 0, 0, 0);
        label->setMouseTracking(true);
        if (c.cursor == CursorKind::Hand) {
          label->setCursor(QCursor(resources_.handCursor, resources_.handHotX, resources_.handHotY));
        }
        widget = label;
        break;
      }
    }
    widget->setObjectName(ToQString(c.name));
    widget->setGeometry(Pixels(c.left), Pixels(c.top), Pixels(c.width), Pixels(c.height));
    widget->installEventFilter(this);
    const Control& control = controls_.Attach(place, widget);
    if (c.kind == ControlKind::Label) {
      ApplyLook(control);
    }
  }
  for (const AccessibleName& entry : spec_.accessibleNames) {
    if (QWidget* widget = ControlWidget(entry.key)) {
      widget->setAccessibleName(ToQString(entry.name));
    }
  }
}

QtForms::Control* QtForms::FromWidget(const QObject* widget) {
  for (Control& control : controls_.All()) {
    if (control.handle == widget && widget != nullptr) {
      return &control;
    }
  }
  return nullptr;
}

// Tab order and stacking both follow the tab sequence: the focusable controls chained in it and
// on top, the labels below them, the banner at the bottom.
void QtForms::ApplyTabOrder() {
  const auto& sequence = tabOrder_.Sequence();
  QWidget* previous = nullptr;
  for (const ControlKey id : sequence) {
    QWidget* widget = ControlWidget(id);
    if (widget == nullptr || widget->focusPolicy() == Qt::NoFocus) {
      continue;
    }
    if (previous != nullptr) {
      QWidget::setTabOrder(previous, widget);
    }
    previous = widget;
  }
  for (auto it = sequence.rbegin(); it != sequence.rend(); ++it) {
    if (QWidget* widget = ControlWidget(*it)) {
      widget->raise();
    }
  }
  for (const Control& control : controls_.All()) {
    if (control.design->tabIndex == kNoTabIndex && control.handle != nullptr) {
      control.handle->lower();
    }
  }
}

// An auto-size label is exactly as large as its caption in its font; left and top stay put.
void QtForms::AutoSize(const Control& label) {
  auto* widget = static_cast<QLabel*>(label.handle);
  const QFontMetrics metrics(widget->font());
  widget->resize(metrics.horizontalAdvance(widget->text()), metrics.height());
}

// A label in the window's own look keeps no palette or font of its own: it takes the window's.
void QtForms::ApplyLook(const Control& label) {
  QWidget* widget = label.handle;
  QPalette palette;
  if (label.color != kDefaultColor) {
    palette = window_->palette();
    palette.setColor(QPalette::WindowText, ToQColor(label.color));
  }
  widget->setPalette(palette);
  QFont font;
  if (label.underline) {
    font = window_->font();
    font.setUnderline(true);
  }
  widget->setFont(font);
  AutoSize(label);
}

void QtForms::Centre() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) {
    return;
  }
  QRect frame(QPoint(0, 0), window_->size());
  frame.moveCenter(screen->availableGeometry().center());
  window_->move(frame.topLeft());
}

void QtForms::SetCaption(std::wstring_view caption) {
  window_->setWindowTitle(ToQString(caption));
}

void QtForms::SetLabelCaption(ControlKey label, std::wstring_view caption) {
  const Control& control = controls_.Checked(label, ControlKind::Label);
  static_cast<QLabel*>(control.handle)->setText(ToQString(caption));
  AutoSize(control);
}

std::wstring QtForms::LabelCaption(ControlKey label) {
  return static_cast<QLabel*>(controls_.Checked(label, ControlKind::Label).handle)->text().toStdWString();
}

// Setting the look a label already has changes nothing and repaints nothing.
void QtForms::SetForeColor(ControlKey label, Color color) {
  if (controls_.SetColor(label, color)) {
    ApplyLook(controls_.Checked(label, ControlKind::Label));
  }
}

void QtForms::SetFontUnderline(ControlKey label, bool underline) {
  if (controls_.SetUnderline(label, underline)) {
    ApplyLook(controls_.Checked(label, ControlKind::Label));
  }
}

void QtForms::SetEnabled(ControlKey button, bool enabled) {
  controls_.Checked(button, ControlKind::CommandButton).handle->setEnabled(enabled);
}

void QtForms::SetTabIndex(ControlKey button, std::int16_t index) {
  controls_.Checked(button, ControlKind::CommandButton);
  tabOrder_.Set(button, index);
  ApplyTabOrder();
}

void QtForms::SetFocus(ControlKey control) {
  if (QWidget* widget = ControlWidget(control)) {
    widget->setFocus(Qt::OtherFocusReason);
  }
}

// The button keeps the focus it is given (Space presses it) and is drawn as if it had none.
void QtForms::HookButton(ControlKey button) {
  ButtonStyle::SetFocusLookHidden(controls_.Checked(button, ControlKind::CommandButton).handle, true);
}

std::wstring QtForms::Text(ControlKey box) {
  return static_cast<QLineEdit*>(controls_.Checked(box, ControlKind::TextBox).handle)->text().toStdWString();
}

void QtForms::SetText(ControlKey box, std::wstring_view text) {
  static_cast<QLineEdit*>(controls_.Checked(box, ControlKind::TextBox).handle)->setText(ToQString(text));
}

// The position counts characters as the handlers' strings do; Qt counts UTF-16 units.
void QtForms::SetSelStart(ControlKey box, std::size_t position) {
  auto* edit = static_cast<QLineEdit*>(controls_.Checked(box, ControlKind::TextBox).handle);
  const std::wstring text = edit->text().toStdWString();
  const auto units = QString::fromStdWString(text.substr(0, std::min(position, text.size()))).size();
  edit->setCursorPosition(static_cast<int>(units));
}

// On X11 the CLIPBOARD selection is owned, never locked, and the X server may refuse the
// ownership: to a request older than another program's last take, say. Qt only warns then, so
// the clipboard is asked afterwards whether it holds this text: its own data while the ownership
// held, or the same text from a program that took it over at once (a clipboard manager). Anything
// else is the busy clipboard, and whatever the clipboard held stays there.
ClipboardResult QtForms::ReplaceClipboardText(std::wstring_view text) {
  QClipboard* clipboard = QGuiApplication::clipboard();
  if (clipboard == nullptr) {
    throw PlatformError("no clipboard");
  }
  const QString code = ToQString(text);
  auto* data = new QMimeData;
  data->setText(code);
  clipboard->setMimeData(data, QClipboard::Clipboard);  // the clipboard owns it from here
  if (clipboard->mimeData(QClipboard::Clipboard) == data || clipboard->text(QClipboard::Clipboard) == code) {
    return ClipboardResult::Replaced;
  }
  return ClipboardResult::Busy;
}

void QtForms::MsgBox(std::wstring_view text, MsgBoxStyle style, std::wstring_view title) {
  const QMessageBox::Icon icon =
      style == MsgBoxStyle::Error ? QMessageBox::Critical : QMessageBox::Information;
  QMessageBox box(icon, ToQString(title), ToQString(text), QMessageBox::Ok, window_);
  box.exec();
}

ProgramVersion QtForms::Version() {
  return resources_.version;
}

std::int16_t QtForms::CurrentYear() {
  return static_cast<std::int16_t>(QDate::currentDate().year());
}

// The desktop's URL handler (xdg-open on X11) opens web and mailto addresses alike; its result,
// like the shell's on Windows, is not reported.
void QtForms::OpenLink(std::wstring_view target) {
  QDesktopServices::openUrl(QUrl(ToQString(target)));
}

}  // namespace velmora::qt
