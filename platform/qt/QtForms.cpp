// The window, its controls and the operations that event handlers call.
#include "platform/qt/QtForms.h"

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
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QStringList>
#include <QUrl>

#include <limits>

#include "platform/qt/ButtonStyle.h"

namespace velmora::qt {

namespace {

constexpr int kPointSize = 9;

// The Simplified Chinese UI font and, where it is missing, its stand-ins, nearest first: SimSun
// and its fixed-pitch twin; fonts with SimSun's widths (every ASCII character half as wide as a
// Chinese one), which keep the layout exactly as designed; then the common Chinese UI fonts,
// whose proportional Latin letters make captions with ASCII in them a little wider or narrower.
const QStringList& ChineseUiFamilies() {
  static const QStringList families{
      QStringLiteral("SimSun"),          QStringLiteral("NSimSun"),          QStringLiteral("Noto Sans Mono CJK SC"),
      QStringLiteral("WenQuanYi Zen Hei Mono"), QStringLiteral("Microsoft YaHei"), QStringLiteral("Noto Sans CJK SC"),
      QStringLiteral("WenQuanYi Micro Hei"),
  };
  return families;
}

QFont WindowFont() {
  QFont font(ChineseUiFamilies().front(), kPointSize);
  font.setFamilies(ChineseUiFamilies());
  return font;
}

QString ToQString(std::wstring_view text) {
  return QString::fromStdWString(std::wstring(text));
}

// Message texts are written with Windows line ends.
QString MessageText(std::wstring_view text) {
  QString converted = ToQString(text);
  converted.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  return converted;
}

QColor ToQColor(Color color) {
  return QColor(static_cast<int>(color & 0xFFu), static_cast<int>((color >> 8) & 0xFFu),
                static_cast<int>((color >> 16) & 0xFFu));
}

Arrow ArrowFor(const ControlSpec& c) {
  if (c.kind != ControlKind::CommandButton || c.font != FontKind::Marlett) {
    return Arrow::None;
  }
  // The symbol font's letters for its up and down triangles.
  if (c.caption == L"t") {
    return Arrow::Up;
  }
  if (c.caption == L"u") {
    return Arrow::Down;
  }
  return Arrow::None;
}

int Pixels(int twips) {
  return TwipsToPixels(twips, 96);  // device-independent pixels; Qt scales for the screen
}

}  // namespace

QtForms::QtForms(const FormSpec& layout, QtResources resources, FatalErrorTexts fatal)
    : spec_(layout),
      resources_(std::move(resources)),
      fatal_(fatal),
      tabOrder_(TabOrder::FromLayout(layout.controls)) {}

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
  if (failed_ || !window_) {
    return false;
  }
  Centre();
  window_->show();
  window_->raise();
  window_->activateWindow();
  if (QWidget* first = ControlWidget(tabOrder_.Sequence().front())) {
    first->setFocus(Qt::TabFocusReason);
  }
  return true;
}

void QtForms::CreateWindow() {
  window_ = new QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                      Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                                      Qt::WindowCloseButtonHint);
  window_->setObjectName(QStringLiteral("Form1"));
  window_->setWindowTitle(ToQString(spec_.caption));
  window_->setWindowIcon(resources_.icon);
  window_->setFont(WindowFont());
  window_->setFixedSize(Pixels(spec_.clientWidth), Pixels(spec_.clientHeight));
  window_->setMouseTracking(true);
  window_->installEventFilter(this);
  // A window manager closes the window on Alt+F4 itself; without one, the window does.
  auto* close = new QShortcut(QKeySequence(QStringLiteral("Alt+F4")), window_);
  connect(close, &QShortcut::activated, window_.data(), &QWidget::close);
  style_ = std::make_unique<ButtonStyle>();
}

void QtForms::CreateControls() {
  controls_.reserve(spec_.controls.size());
  for (const ControlSpec& c : spec_.controls) {
    QWidget* widget = nullptr;
    const QString caption = ToQString(c.caption);
    switch (c.kind) {
      case ControlKind::CommandButton: {
        const Arrow arrow = ArrowFor(c);
        auto* button = new QPushButton(arrow == Arrow::None ? caption : QString(), window_);
        button->setStyle(style_.get());
        ButtonStyle::SetArrow(button, arrow);
        button->setAutoDefault(true);  // Enter presses the focused button, as in a dialog
        connect(button, &QPushButton::clicked, this, [this, key = c.key] { Raise([&] { events_->Click(key); }); });
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
    controls_.push_back(Control{widget, &c, c.foreColor, false});
    if (c.kind == ControlKind::Label) {
      ApplyLook(controls_.back());
    }
  }
  for (const AccessibleName& entry : spec_.accessibleNames) {
    if (QWidget* widget = ControlWidget(entry.key)) {
      widget->setAccessibleName(ToQString(entry.name));
    }
  }
}

QWidget* QtForms::ControlWidget(ControlKey id) const {
  for (const Control& control : controls_) {
    if (control.design->key == id) {
      return control.widget;
    }
  }
  return nullptr;
}

QtForms::Control* QtForms::Find(ControlKey id) {
  for (Control& control : controls_) {
    if (control.design->key == id) {
      return &control;
    }
  }
  return nullptr;
}

QtForms::Control* QtForms::FromWidget(const QObject* widget) {
  for (Control& control : controls_) {
    if (control.widget == widget && widget != nullptr) {
      return &control;
    }
  }
  return nullptr;
}

QtForms::Control& QtForms::Checked(ControlKey id, ControlKind kind) {
  Control* control = Find(id);
  if (control == nullptr || control->widget == nullptr || control->design->kind != kind) {
    throw PlatformError("the control does not support this operation");
  }
  return *control;
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
  for (const Control& control : controls_) {
    if (control.design->tabIndex == kNoTabIndex && control.widget) {
      control.widget->lower();
    }
  }
}

// An auto-size label is exactly as large as its caption in its font; left and top stay put.
void QtForms::AutoSize(Control& label) {
  auto* widget = static_cast<QLabel*>(label.widget.data());
  const QFontMetrics metrics(widget->font());
  widget->resize(metrics.horizontalAdvance(widget->text()), metrics.height());
}

void QtForms::ApplyLook(Control& label) {
  QWidget* widget = label.widget;
  QPalette palette = window_->palette();
  if (label.color != kDefaultColor) {
    palette.setColor(QPalette::WindowText, ToQColor(label.color));
  }
  widget->setPalette(palette);
  QFont font = window_->font();
  font.setUnderline(label.underline);
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

WindowHandle QtForms::Handle() {
  return reinterpret_cast<WindowHandle>(window_.data());
}

void QtForms::SetLabelCaption(ControlKey label, std::wstring_view caption) {
  Control& control = Checked(label, ControlKind::Label);
  static_cast<QLabel*>(control.widget.data())->setText(ToQString(caption));
  AutoSize(control);
}

std::wstring QtForms::LabelCaption(ControlKey label) {
  return static_cast<QLabel*>(Checked(label, ControlKind::Label).widget.data())->text().toStdWString();
}

// Setting the look a label already has changes nothing and repaints nothing.
void QtForms::SetForeColor(ControlKey label, Color color) {
  Control& control = Checked(label, ControlKind::Label);
  if (control.color != color) {
    control.color = color;
    ApplyLook(control);
  }
}

void QtForms::SetFontUnderline(ControlKey label, bool underline) {
  Control& control = Checked(label, ControlKind::Label);
  if (control.underline != underline) {
    control.underline = underline;
    ApplyLook(control);
  }
}

void QtForms::SetEnabled(ControlKey button, bool enabled) {
  Checked(button, ControlKind::CommandButton).widget->setEnabled(enabled);
}

void QtForms::SetTabIndex(ControlKey button, std::int16_t index) {
  Checked(button, ControlKind::CommandButton);
  tabOrder_.Set(button, index);
  ApplyTabOrder();
}

void QtForms::SetFocus(ControlKey control) {
  if (QWidget* widget = ControlWidget(control)) {
    widget->setFocus(Qt::OtherFocusReason);
  }
}

WindowHandle QtForms::ControlHandle(ControlKey control) {
  return reinterpret_cast<WindowHandle>(ControlWidget(control));
}

std::wstring QtForms::Text(ControlKey box) {
  return static_cast<QLineEdit*>(Checked(box, ControlKind::TextBox).widget.data())->text().toStdWString();
}

void QtForms::SetText(ControlKey box, std::wstring_view text) {
  static_cast<QLineEdit*>(Checked(box, ControlKind::TextBox).widget.data())->setText(ToQString(text));
}

// The position counts characters as the handlers' strings do; Qt counts UTF-16 units.
void QtForms::SetSelStart(ControlKey box, std::size_t position) {
  auto* edit = static_cast<QLineEdit*>(Checked(box, ControlKind::TextBox).widget.data());
  const std::wstring text = edit->text().toStdWString();
  const auto units = QString::fromStdWString(text.substr(0, std::min(position, text.size()))).size();
  edit->setCursorPosition(static_cast<int>(units));
}

// On X11 the CLIPBOARD selection is owned, never locked: another program cannot keep it busy.
ClipboardResult QtForms::ReplaceClipboardText(std::wstring_view text) {
  QClipboard* clipboard = QGuiApplication::clipboard();
  if (clipboard == nullptr) {
    throw PlatformError("no clipboard");
  }
  clipboard->setText(ToQString(text), QClipboard::Clipboard);
  return ClipboardResult::Replaced;
}

void QtForms::MsgBox(std::wstring_view text, MsgBoxStyle style, std::wstring_view title) {
  const QMessageBox::Icon icon =
      style == MsgBoxStyle::Error ? QMessageBox::Critical : QMessageBox::Information;
  QMessageBox box(icon, ToQString(title), MessageText(text), QMessageBox::Ok, window_);
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
void QtForms::ShellExecute(WindowHandle, std::wstring_view, std::wstring_view file, std::wstring_view,
                           std::wstring_view, int) {
  QDesktopServices::openUrl(QUrl(ToQString(file)));
}

}  // namespace velmora::qt
