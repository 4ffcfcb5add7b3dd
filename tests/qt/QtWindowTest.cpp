// drasken's window on a real X server under real X input (xdotool), checked inside and outside it.
#include <QtTest>
#include <QtWidgets>

#include <xcb/xcb.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <utility>

#include "app/Form1.h"
#include "app/Form1Layout.h"
#include "app/Texts.h"
#include "linux/ProgramResources.h"
#include "platform/qt/QtForms.h"

#define WAIT_EQ(actual, expected) QTRY_COMPARE_WITH_TIMEOUT(actual, expected, kPatience)
#define WAIT_FOR(condition) QTRY_VERIFY_WITH_TIMEOUT(condition, kPatience)

namespace velmora::testing {

using enum ControlId;
constexpr int kPatience = 20000;  // ms: the machine may be busy building at the same time
const QString kClick = QStringLiteral("mousemove %1 %2 click 1");
const QString kMove = QStringLiteral("mousemove %1 %2");
const QString kTab = QStringLiteral("key Tab");
const QString kDoubleClick = QStringLiteral("mousemove %1 %2 click --repeat 2 --delay 60 1");
const FatalErrorTexts kFatal{texts::kFatalTitle, texts::kFatalPrefix};

static QString Q(std::wstring_view text) { return QString::fromStdWString(std::wstring(text)); }

// The window's handlers, recording the clicks and double-clicks raised. `beforeClick` runs once,
// inside the next Click, before the handlers; `failAtStart` fails start-up at its last step.
struct RecordingForm final : FormEvents {
  explicit RecordingForm(FormsRuntime& forms, bool failing = false) : form(forms), failAtStart(failing) {}
  void Initialize() override {
    form.Initialize();
    if (failAtStart) {
      throw PlatformError("the clipboard went away");
    }
  }
  void FormMouseMove() override { form.FormMouseMove(); }
  void Click(ControlKey c) override {
    Record("Click ", c);
    if (beforeClick) {
      std::exchange(beforeClick, {})();
    }
    form.Click(c);
  }
  void DblClick(ControlKey c) override { Record("DblClick ", c), form.DblClick(c); }
  void MouseMove(ControlKey c) override { form.MouseMove(c); }
  void Record(const char* event, ControlKey c) { raised << event + Q(Form1Layout().controls[c.index].name); }
  Form1 form;
  bool failAtStart;
  QStringList raised;
  std::function<void()> beforeClick;
};

// Input in order, run to completion; the program takes it whenever the test waits. %1 %2: in `at`,
// in the screen's pixels (the screen starts at 0, 0).
static bool Xdo(QString command, const QWidget* at = nullptr, QPoint local = {-1, -1}) {
  const QPoint p = at ? at->mapToGlobal(local.x() < 0 ? at->rect().center() : local) * at->devicePixelRatioF() : QPoint();
  command = at ? command.arg(p.x()).arg(p.y()) : command;
  return QProcess::execute(QStringLiteral("xdotool"), command.split(QLatin1Char(' '))) == 0;
}

// Output of a shell pipeline, with the event loop running (drasken may have to answer it).
static QString Shell(const QString& command) {
  QProcess process;
  process.start(QStringLiteral("sh"), {QStringLiteral("-c"), command});
  static_cast<void>(QTest::qWaitFor([&] { return process.state() == QProcess::NotRunning; }, kPatience));
  return QString::fromUtf8(process.readAllStandardOutput()).remove(QLatin1Char('\n'));
}

// The owner of the CLIPBOARD selection, asked of the X server on a connection of the test's own.
static xcb_window_t ClipboardOwner() {
  const std::unique_ptr<xcb_connection_t, decltype(&xcb_disconnect)> x(xcb_connect(nullptr, nullptr), xcb_disconnect);
  const std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> atom(
      xcb_intern_atom_reply(x.get(), xcb_intern_atom(x.get(), 0, 9, "CLIPBOARD"), nullptr), std::free);
  const std::unique_ptr<xcb_get_selection_owner_reply_t, decltype(&std::free)> owner(
      atom ? xcb_get_selection_owner_reply(x.get(), xcb_get_selection_owner(x.get(), atom->atom), nullptr) : nullptr,
      std::free);
  return owner ? owner->owner : XCB_NONE;
}

static QList<int> DarkPixelsPerRow(QWidget* widget) {
  const QImage image = widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
  QList<int> rows;
  for (int y = 0; y < image.height(); ++y) {
    const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    rows << int(std::count_if(line, line + image.width(), [](QRgb pixel) { return qGray(pixel) < 128; }));
  }
  rows.removeAll(0);
  return rows;
}

static QString Said(int icon, const QString& title, const QString& text, const QString& owner = "Form1") {
  return QStringLiteral("%1 [%2] %3 (%4)").arg(icon).arg(title, text, owner);
}

class QtWindowTest : public QObject {
  Q_OBJECT
  std::unique_ptr<qt::QtForms> forms_;
  std::unique_ptr<RecordingForm> form_;
  QTimer answer_;
  QStringList boxes_;  // the message boxes shown, answered as they come up
  std::function<void(QMessageBox&)> whileBoxUp_;  // once, before the next box is answered
  bool answering_ = false;

  QWidget* w(ControlId id) const { return forms_->ControlWidget(id); }
  QVariant Get(ControlId id, const char* property) const { return w(id)->property(property); }
  bool PointerAway() const { return Xdo(kMove, forms_->Window(), QPoint(20, 240)); }
  static bool Managed() {  // whether a window manager runs on this display
    return Shell(QStringLiteral("xprop -root _NET_SUPPORTING_WM_CHECK")).contains(QStringLiteral("window id"));
  }
  static bool Activate(QWidget* window) {  // through the window manager, or as one would
    const QString command = QString::fromLatin1(Managed() ? "windowactivate --sync %1" : "windowfocus --sync %1");
    return Xdo(command.arg(window->winId())) && QTest::qWaitForWindowActive(window, kPatience);
  }

  // Real input on a control, step by step; after each, the count and the focus as the step says,
  // the count buttons enabled as the count allows.
  using Step = std::tuple<QString, ControlId, int, ControlId>;
  void Perform(std::initializer_list<Step> steps) {
    for (const auto& [input, at, count, focus] : steps) {
      QVERIFY(Xdo(input, input.contains(QLatin1Char('%')) ? w(at) : nullptr));
      WAIT_EQ(Get(Label6, "text").toString(), QString::number(count));
      WAIT_EQ(QApplication::focusWidget(), w(focus));
      QVERIFY(w(cmdUp)->isEnabled() == (count < 4) && w(cmdDown)->isEnabled() == (count > 1));
    }
  }

 public:
  static void initMain() { qt::QtForms::PrepareApplication(); }  // as drasken's main does

 private slots:
  void initTestCase() {
    QFile::remove(qEnvironmentVariable("VELMORA_LINK_LOG"));  // the link handler's, from an earlier run
    connect(&answer_, &QTimer::timeout, [this] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (box == nullptr || std::exchange(answering_, true)) {
        return;
      }
      boxes_ << Said(box->icon(), box->windowTitle(), box->text(), box->parent()->objectName());
      if (whileBoxUp_) {
        std::exchange(whileBoxUp_, {})(*box);
      }
      if (box->isVisible()) {
        box->button(QMessageBox::Ok)->click();
      }
      answering_ = false;
    });
    answer_.start(20);
  }
  void init() {  // the window as drasken opens it
    boxes_.clear();
    forms_ = std::make_unique<qt::QtForms>(Form1Layout(), linux_desktop::ProgramResources(), kFatal);
    form_ = std::make_unique<RecordingForm>(*forms_);
    QVERIFY(forms_->Open(*form_) && QTest::qWaitForWindowExposed(forms_->Window(), kPatience) &&
            Activate(forms_->Window()));
  }

  // The window fixed and centred, every control as the table says at any scale and at the
  // desktop's DPI, drawn at that scale (text included); the start-up state.
  void layoutAndStartUpState() {
    QWidget* window = forms_->Window();
    QVERIFY(window->size() == QSize(374, 254) && window->minimumSize() == window->maximumSize());
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    QVERIFY((window->frameGeometry().center() - screen.center()).manhattanLength() <= 40);
    const QString dpi = Shell(QStringLiteral("xrdb -query | awk '/^Xft.dpi:/ {print $2}'"));  // the desktop's
    const double scale = qgetenv("QT_SCALE_FACTOR").toDouble() * (dpi.isEmpty() ? 96 : dpi.toInt()) / 96;
    const QSize drawn = window->grab().size() - QSize(374, 254) * scale;  // Qt 5 and 6 round apart
    QVERIFY2(std::abs(drawn.width()) <= 1 && std::abs(drawn.height()) <= 1, qPrintable(QString::number(scale)));
    QCOMPARE(QFontInfo(window->font()).pixelSize(), 12);  // 9 points at 96 DPI, scaled with the window
    for (const ControlSpec& c : Form1Layout().controls) {
      const QFontMetrics font(w(IdOf(c.key))->font());
      const QSize label(font.horizontalAdvance(Get(IdOf(c.key), "text").toString()), font.height());
      const QSize size = c.kind == ControlKind::Label ? label : QSize(c.width / 15, c.height / 15);
      QCOMPARE(w(IdOf(c.key))->geometry(), QRect(QPoint(c.left / 15, c.top / 15), size));
    }
    const QFontInfo font(w(Label6)->font());
    QVERIFY(font.pointSize() == 9 &&
            (font.family() != QStringLiteral("Noto Sans Mono CJK SC") || w(Label4)->width() == 132));
    QCOMPARE(window->childAt(QPoint(166, 86)), w(Text1));  // the box above the label it overlaps

    QCOMPARE(window->windowTitle(),
             QStringLiteral("Velmora%1 v" VELMORA_PACKAGE_VERSION).arg(QDate::currentDate().year()));
    Perform({{QStringLiteral("sleep 0"), {}, 1, Text1}});
    QVERIFY(Get(Text1, "text") == QStringLiteral("Corvane") && Get(Text1, "cursorPosition") == 7 &&
            !Get(Text1, "hasSelectedText").toBool());
    for (const auto& [id, color] : {std::pair{Label2, Qt::red}, {Label3, Qt::blue}, {Label5, Qt::magenta}}) {
      QCOMPARE(w(id)->palette().color(QPalette::WindowText), QColor(color));
    }
    QVERIFY(w(cmdMake)->isEnabled() && w(cmdUp)->accessibleName() == Q(texts::kUpArrowName));
    QCOMPARE(Get(Image1, "pixmap").value<QPixmap>().size(), QSize(374, 64));
    const QCursor hand = w(Label7)->cursor();  // the program's own pointer on the links
    QVERIFY(hand.hotSpot() == QPoint(5, 0) && hand.pixmap().size() == QSize(32, 32));
    QCOMPARE(w(Label1)->cursor().shape(), Qt::ArrowCursor);
  }

  // Tab follows the designed order at 2 and the count buttons' swap at the ends; they show the
  // style's triangles in their frames and never their focus; the make button and the text box do.
  void countSelectorAndFocus() {
    QVERIFY(PointerAway());  // no hover look in the way
    WAIT_FOR(!w(cmdUp)->underMouse() && !w(cmdMake)->underMouse() && w(Text1)->hasFocus());
    const QImage upPlain = w(cmdUp)->grab().toImage();
    const QImage makePlain = w(cmdMake)->grab().toImage();
    const QImage boxFocused = w(Text1)->grab().toImage();
    Perform({{kTab, {}, 1, cmdUp}});
    QVERIFY(w(cmdUp)->grab().toImage() == upPlain && w(Text1)->grab().toImage() != boxFocused);
    Perform({{kClick, cmdUp, 2, cmdUp}});
    QVERIFY(PointerAway());
    WAIT_FOR(w(cmdUp)->grab().toImage() == upPlain);
    const QList<int> up = DarkPixelsPerRow(w(cmdUp)), down = DarkPixelsPerRow(w(cmdDown));
    QVERIFY(up.size() > 1 && up.front() < up.back() && down.size() > 1 && down.front() > down.back());
    QVERIFY(upPlain.pixelColor(0, upPlain.height() / 2) !=
            forms_->Window()->palette().color(QPalette::Window));
    QVERIFY(DarkPixelsPerRow(w(cmdMake)).size() > 6);  // the caption
    // clang-format off
    Perform({{kClick, Text1, 2, Text1}, {kTab, {}, 2, cmdUp}, {kTab, {}, 2, cmdDown}, {kTab, {}, 2, cmdMake}});
    QVERIFY(w(cmdMake)->grab().toImage() != makePlain);
    Perform({{kTab, {}, 2, Text1}, {kClick, cmdUp, 3, cmdUp}, {kClick, cmdUp, 4, cmdDown},
             {kClick, Text1, 4, Text1}, {kTab, {}, 4, cmdDown}, {QStringLiteral("key space"), {}, 3, cmdDown},
             {kTab, {}, 3, cmdUp}});
    // clang-format on
    QWidget other;  // switching away and back keeps the focus
    other.show();
    QVERIFY(QTest::qWaitForWindowExposed(&other) && Activate(&other) && Activate(forms_->Window()));
    WAIT_EQ(QApplication::focusWidget(), w(cmdUp));
  }

  // An empty nickname refused, the focus handed back to the box (where Enter presses no button);
  // "abc" at 3 on the X clipboard, read by another program; the links lit by hover, handed on by a click.
  void messagesClipboardAndLinks() {
    QVERIFY(Xdo(kDoubleClick, w(Text1)));
    WAIT_EQ(Get(Text1, "text").toString(), QString());
    QVERIFY(Xdo(QStringLiteral("key Tab Tab Return")));  // Enter presses the focused make button
    WAIT_EQ(boxes_.size(), 1);
    WAIT_EQ(forms_->Window()->focusWidget(), w(Text1));
    QVERIFY(Activate(forms_->Window()));
    Perform({{QStringLiteral("key Return type abc"), {}, 1, Text1},
             {kClick, cmdUp, 2, cmdUp},
             {kClick, cmdUp, 3, cmdUp}});
    QVERIFY(Xdo(QStringLiteral("key alt+c")));
    WAIT_EQ(boxes_, (QStringList{Said(QMessageBox::Critical, Q(texts::kErrorTitle), Q(texts::kEmptyNickname)),
                                 Said(QMessageBox::Information, Q(texts::kDoneTitle), Q(texts::kDone))}));
    QCOMPARE(Shell(QStringLiteral("xclip -o -selection clipboard | xxd -p")), QStringLiteral("010101616263"));

    QVERIFY(Xdo(kMove, w(Label3)));
    WAIT_EQ(w(Label3)->palette().color(QPalette::WindowText), QColor(Qt::red));
    QVERIFY(w(Label3)->font().underline() && !w(Label7)->font().underline() && PointerAway());
    WAIT_EQ(w(Label3)->palette().color(QPalette::WindowText), QColor(Qt::blue));
    form_->raised.clear();  // a double-click on a link opens it once, as a click and a double-click
    QVERIFY(!w(Label3)->font().underline() && Xdo(kDoubleClick, w(Label3)) && Xdo(kClick, w(Label7)));
    WAIT_FOR(w(Label7)->font().underline());  // the click left the hover look
    // Each link is opened by a process of its own, so the log's lines come in either order.
    const QString sorted = QStringLiteral("sort <") + qEnvironmentVariable("VELMORA_LINK_LOG");
    WAIT_EQ(Shell(sorted + QStringLiteral(" | tr '\\n' ' '")),
            Q(texts::kWebAddress) + ' ' + Q(texts::kMailtoTarget) + ' ');
    QCOMPARE(form_->raised, (QStringList{"Click Label3", "DblClick Label3", "Click Label7"}));
  }

  // The X server refuses the clipboard to a request older than another program's last take, here
  // while the click is on its way: the busy box, the other program's text stays. The next press copies.
  void refusedClipboard() {
    QProcess holder;
    form_->beforeClick = [&holder] {  // the event loop stands still until the holder owns it
      const xcb_window_t before = ClipboardOwner();
      holder.start(QStringLiteral("sh"), {"-c", "printf held | xclip -quiet -selection clipboard -i"});
      for (QDeadlineTimer patience(kPatience); ClipboardOwner() == before && !patience.hasExpired();) {
        QThread::msleep(10);
      }
    };
    QVERIFY(Xdo(QStringLiteral("key alt+c")));
    WAIT_EQ(boxes_, QStringList{Said(QMessageBox::Critical, Q(texts::kErrorTitle), Q(texts::kClipboardBusy))});
    QVERIFY(holder.state() == QProcess::Running);
    QCOMPARE(Shell(QStringLiteral("xclip -o -selection clipboard")), QStringLiteral("held"));
    QVERIFY(Activate(forms_->Window()) && Xdo(QStringLiteral("key alt+c")));
    WAIT_EQ(boxes_.value(1), Said(QMessageBox::Information, Q(texts::kDoneTitle), Q(texts::kDone)));
    WAIT_EQ(holder.state(), QProcess::NotRunning);  // it lost the clipboard to the code
  }

  // Under openbox (tests/qt/openbox.xml): the window keeps its size when dragged to resize (a plain
  // window grows), carries its icon, gets the focus back on its control after minimising and restoring,
  // and keeps its message box above it and modal, however the window is clicked.
  void underWindowManager() {
    if (!Managed()) {
      QSKIP("no window manager on this display");
    }
    QWidget* window = forms_->Window();
    QWidget plain;
    plain.resize(200, 150);
    plain.show();
    QVERIFY(QTest::qWaitForWindowExposed(&plain, kPatience));
    const QString drag = QStringLiteral(
        "mousemove %1 %2 keydown alt mousedown 3 sleep 0.1 mousemove_relative 30 20 sleep 0.1 mousemove_relative 30 20 "
        "sleep 0.1 mouseup 3 keyup alt");  // paced, as a hand moves
    QVERIFY(Xdo(drag, window, QPoint(300, 200)) && Xdo(drag, &plain, QPoint(150, 100)));
    WAIT_FOR(plain.width() > 200);
    QCOMPARE(window->size(), QSize(374, 254));
    const QString icons = QStringLiteral("xprop -id %1 _NET_WM_ICON | grep -o 'Icon ([0-9]* x [0-9]*)' | tr '\\n' ' '");
    QVERIFY(Shell(icons.arg(window->winId())).contains(QStringLiteral("Icon (16 x 16) Icon (22 x 22)")));

    QVERIFY(Activate(window));
    Perform({{kClick, cmdUp, 2, cmdUp}, {kTab, {}, 2, cmdDown}});
    // Minimised and restored as a task bar does: requests that the window manager carries out.
    QVERIFY(Xdo(QStringLiteral("windowminimize --sync %1").arg(window->winId())));
    WAIT_FOR(window->isMinimized());
    QVERIFY(Activate(window));
    WAIT_FOR(!window->isMinimized());
    Perform({{QStringLiteral("sleep 0"), {}, 2, cmdDown}, {QStringLiteral("key space"), {}, 1, cmdUp}});

    form_->raised.clear();
    whileBoxUp_ = [this, window](QMessageBox& box) {
      // A click on the window's title bar raises it; one on its link is refused; the box stays on
      // top and active, and Enter, after both clicks, closes it.
      QVERIFY(Xdo(kClick, window, QPoint(window->width() / 2, -8)) && Xdo(kClick, w(Label3)));
      const QString stacking = QStringLiteral("xprop -root _NET_CLIENT_LIST_STACKING | grep -o '0x[0-9a-f]*'");
      WAIT_FOR(Shell(stacking).endsWith(QStringLiteral("0x%1").arg(box.winId(), 0, 16)) && box.isActiveWindow());
      QVERIFY(Xdo(QStringLiteral("key Return")));
      WAIT_FOR(!box.isVisible());
    };
    QVERIFY(Xdo(QStringLiteral("key alt+c")));
    WAIT_EQ(boxes_, QStringList{Said(QMessageBox::Information, Q(texts::kDoneTitle), Q(texts::kDone))});
    QCOMPARE(form_->raised, QStringList{"Click cmdMake"});
  }

  // A failure ends the window after one box that says why, no event raised after it; the real
  // program activates its window, and Alt+F4 (the window manager's, where one runs) ends it with 0.
  void endings() {
    forms_.reset();
    qt::QtForms forms(Form1Layout(), linux_desktop::ProgramResources(), kFatal);
    RecordingForm failing(forms, true);
    QVERIFY(!forms.Open(failing) && forms.Failed());
    QPointer<QWidget> window = forms.Window();
    qobject_cast<QPushButton*>(forms.ControlWidget(cmdMake))->click();
    WAIT_FOR(window.isNull());
    QCOMPARE(boxes_, QStringList{Said(QMessageBox::Critical, Q(texts::kFatalTitle),
                                      Q(texts::kFatalPrefix) + QStringLiteral("the clipboard went away"))});

    QProcess drasken;
    drasken.start(QStringLiteral(VELMORA_DRASKEN), QStringList());
    QString id;  // its window, the active one
    WAIT_FOR(!(id = Shell(QStringLiteral("xdotool search --onlyvisible --name ^Velmora"))).isEmpty());
    WAIT_EQ(Shell(QStringLiteral("xdotool getwindowfocus")), id);
    QVERIFY(Xdo(QStringLiteral("key alt+F4")) && drasken.waitForFinished(kPatience));
    QVERIFY(drasken.exitStatus() == QProcess::NormalExit && drasken.exitCode() == 0);
  }
};

}  // namespace velmora::testing

QTEST_MAIN(velmora::testing::QtWindowTest)
#include "QtWindowTest.moc"
