// drasken's window on a real X server under real X input (xdotool), checked inside and outside it.
#include <QtTest>
#include <QtWidgets>

#include "app/Form1.h"
#include "app/Form1Layout.h"
#include "app/Texts.h"
#include "linux/ProgramResources.h"
#include "platform/qt/ButtonStyle.h"
#include "platform/qt/QtForms.h"

#define WAIT_EQ(actual, expected) QTRY_COMPARE_WITH_TIMEOUT(actual, expected, kPatience)
#define WAIT_FOR(condition) QTRY_VERIFY_WITH_TIMEOUT(condition, kPatience)

namespace velmora::testing {

using enum ControlId;
constexpr int kPatience = 20000;  // ms: the machine may be busy building at the same time
const QString kClick = QStringLiteral("mousemove %1 %2 click 1");
const QString kMove = QStringLiteral("mousemove %1 %2");
const QString kTab = QStringLiteral("key Tab");
const FatalErrorTexts kFatal{texts::kFatalTitle, texts::kFatalPrefix};

static QString Q(std::wstring_view text) {
  return QString::fromStdWString(std::wstring(text));
}

// A window whose start-up fails at its last step.
struct FailingForm final : FormEvents {
  explicit FailingForm(FormsRuntime& forms) : form(forms) {}
  void Initialize() override {
    form.Initialize();
    throw PlatformError("the clipboard went away");
  }
  void FormMouseMove() override { form.FormMouseMove(); }
  void Click(ControlKey c) override { form.Click(c); }
  void DblClick(ControlKey c) override { form.DblClick(c); }
  void MouseMove(ControlKey c) override { form.MouseMove(c); }
  Form1 form;
};

// Input in order, run to completion; the program takes it whenever the test waits. %1 %2: in `at`.
static bool Xdo(QString command, const QWidget* at = nullptr, QPoint local = {-1, -1}) {
  const QPoint p = at ? at->mapToGlobal(local.x() < 0 ? at->rect().center() : local) : QPoint();
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
  std::unique_ptr<Form1> form_;
  QTimer answer_;
  QStringList boxes_;  // the message boxes shown, answered as they come up

  QWidget* w(ControlId id) const { return forms_->ControlWidget(id); }
  QVariant Get(ControlId id, const char* property) const { return w(id)->property(property); }
  bool PointerAway() const { return Xdo(kMove, forms_->Window(), QPoint(20, 240)); }
  static bool Activate(QWidget* window) {  // as a window manager would (there is none)
    return Xdo(QStringLiteral("windowfocus --sync %1").arg(window->winId())) &&
           QTest::qWaitForWindowActive(window, kPatience);
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

 private slots:
  void initTestCase() {
    QFile::remove(qEnvironmentVariable("VELMORA_LINK_LOG"));  // the link handler's, from an earlier run
    connect(&answer_, &QTimer::timeout, [this] {
      if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
        boxes_ << Said(box->icon(), box->windowTitle(), box->text(), box->parent()->objectName());
        box->button(QMessageBox::Ok)->click();
      }
    });
    answer_.start(20);
  }
  void init() {  // the window as drasken opens it
    boxes_.clear();
    forms_ = std::make_unique<qt::QtForms>(Form1Layout(), linux_desktop::ProgramResources(), kFatal);
    form_ = std::make_unique<Form1>(*forms_);
    QVERIFY(forms_->Open(*form_) && QTest::qWaitForWindowExposed(forms_->Window(), kPatience) &&
            Activate(forms_->Window()));
  }

  // The window fixed and centred, every control as the table says at any scale; the start-up state.
  void layoutAndStartUpState() {
    QWidget* window = forms_->Window();
    QVERIFY(window->size() == QSize(374, 254) && window->minimumSize() == window->maximumSize());
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    QVERIFY((window->frameGeometry().center() - screen.center()).manhattanLength() <= 40);
    QCOMPARE(window->grab().size(), QSize(374, 254) * qgetenv("QT_SCALE_FACTOR").toDouble());
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

    QCOMPARE(window->windowTitle(), QStringLiteral("Velmora%1 v1.0.2").arg(QDate::currentDate().year()));
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
    QVERIFY(Xdo(QStringLiteral("mousemove %1 %2 click --repeat 2 --delay 60 1"), w(Text1)));
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
    QVERIFY(!w(Label3)->font().underline() && Xdo(kClick, w(Label3)) && Xdo(kClick, w(Label7)));
    WAIT_FOR(w(Label7)->font().underline());  // the click left the hover look
    WAIT_EQ(Shell(QStringLiteral("tr '\\n' ' ' <") + qEnvironmentVariable("VELMORA_LINK_LOG")),
            Q(texts::kWebAddress) + ' ' + Q(texts::kMailtoTarget) + ' ');
  }

  // A failure ends the window after one box that says why, no event raised after it; the real
  // program activates its window, and Alt+F4 closes it and ends the program with 0.
  void endings() {
    forms_.reset();
    qt::QtForms forms(Form1Layout(), linux_desktop::ProgramResources(), kFatal);
    FailingForm failing(forms);
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
