// drasken's window on a real X server: the layout, the start-up state, and what a person does
// with mouse and keyboard (real X input through xdotool), checked inside the program and, for
// the clipboard, the links and closing, from outside it.
#include <QApplication>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QFontInfo>
#include <QFontMetrics>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <memory>
#include <optional>

#include "app/Form1.h"
#include "app/Form1Layout.h"
#include "app/Texts.h"
#include "linux/ProgramResources.h"
#include "platform/qt/ButtonStyle.h"
#include "platform/qt/QtForms.h"

namespace velmora::testing {
namespace {

using enum ControlId;
constexpr int kPatience = 20000;  // ms: the machine may be busy building at the same time

QString Q(std::wstring_view text) {
  return QString::fromStdWString(std::wstring(text));
}

// The window as drasken opens it.
struct Live {
  qt::QtForms forms{Form1Layout(), linux_desktop::ProgramResources(), {texts::kFatalTitle, texts::kFatalPrefix}};
  Form1 form{forms, qt::HideFocusLook};

  QWidget* window() const { return forms.Window(); }
  QWidget* widget(ControlId id) const { return forms.ControlWidget(id); }
  QLabel* label(ControlId id) const { return qobject_cast<QLabel*>(widget(id)); }
  QPushButton* button(ControlId id) const { return qobject_cast<QPushButton*>(widget(id)); }
  QLineEdit* box() const { return qobject_cast<QLineEdit*>(widget(Text1)); }
};

// Real X input. xdotool only talks to the X server, so it is run to completion; the program's
// event loop then takes the events in whenever the test waits.
bool Xdo(const QStringList& arguments) {
  return QProcess::execute(QStringLiteral("xdotool"), arguments) == 0;
}

// The X server takes XTEST input in order, so a click that follows lands where the pointer went.
// (No --sync: it waits for a movement, and there is none when the pointer is already there.)
bool MoveTo(QPoint global) {
  return Xdo({QStringLiteral("mousemove"), QString::number(global.x()), QString::number(global.y())});
}

bool ClickOn(QWidget* widget, int clicks = 1) {
  if (!MoveTo(widget->mapToGlobal(widget->rect().center()))) {
    return false;
  }
  return Xdo({QStringLiteral("click"), QStringLiteral("--repeat"), QString::number(clicks), QStringLiteral("--delay"),
              QStringLiteral("60"), QStringLiteral("1")});
}

bool Keys(const QStringList& keys) {
  return Xdo(QStringList{QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("40")} + keys);
}

// Output of a shell pipeline, with the event loop running meanwhile (the program may have to
// answer it, as the clipboard's owner does).
QString Shell(const QString& command) {
  QProcess process;
  process.start(QStringLiteral("sh"), {QStringLiteral("-c"), command});
  if (!process.waitForStarted(kPatience)) {
    return QStringLiteral("<not started>");
  }
  QElapsedTimer timer;
  timer.start();
  while (process.state() != QProcess::NotRunning && timer.elapsed() < kPatience) {
    QTest::qWait(20);
  }
  return QString::fromUtf8(process.readAllStandardOutput()).remove(QLatin1Char('\n'));
}

// The rows of an image that hold dark pixels, and how many each holds, top to bottom.
QList<int> DarkRows(const QImage& image) {
  QList<int> rows;
  for (int y = 0; y < image.height(); ++y) {
    int dark = 0;
    for (int x = 0; x < image.width(); ++x) {
      dark += qGray(image.pixel(x, y)) < 128 ? 1 : 0;
    }
    if (dark > 0) {
      rows.push_back(dark);
    }
  }
  return rows;
}

// Message boxes are answered as they come up; what they said is kept.
class BoxCatcher {
 public:
  struct Box {
    QString title;
    QString text;
    QMessageBox::Icon icon;
    QWidget* owner;
  };
  BoxCatcher() {
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()); box && box->isVisible()) {
        boxes.push_back({box->windowTitle(), box->text(), box->icon(), box->parentWidget()});
        box->button(QMessageBox::Ok)->click();
      }
    });
    timer_.start(20);
  }
  QList<Box> boxes;

 private:
  QTimer timer_;
};

}  // namespace

class QtWindowTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<Live> live_;
  QTemporaryDir scratch_;
  QString linkLog_;

  bool Activate() {
    QWidget* window = live_->window();
    window->activateWindow();
    if (QTest::qWaitForWindowActive(window, 300)) {
      return true;
    }
    // No window manager: give it the input focus directly.
    Xdo({QStringLiteral("windowfocus"), QStringLiteral("--sync"), QString::number(window->winId())});
    return QTest::qWaitForWindowActive(window, kPatience);
  }

 private slots:
  void initTestCase() {
    QVERIFY(scratch_.isValid());
    linkLog_ = scratch_.filePath(QStringLiteral("links.log"));
    qputenv("VELMORA_LINK_LOG", QFile::encodeName(linkLog_));
    qputenv("PATH", QByteArray(VELMORA_TEST_HANDLERS) + ':' + qgetenv("PATH"));
  }

  void init() {
    live_ = std::make_unique<Live>();
    QVERIFY(live_->forms.Open(live_->form));
    QVERIFY(QTest::qWaitForWindowExposed(live_->window(), kPatience));
    QVERIFY(Activate());
  }

  void cleanup() { live_.reset(); }

  // Every control where the table puts it, in device-independent pixels at any scale; labels
  // as wide as their captions; the window fixed at 374 x 254, centred.
  void layoutFollowsTheTable() {
    QWidget* window = live_->window();
    QCOMPARE(window->size(), QSize(374, 254));
    QCOMPARE(window->minimumSize(), window->maximumSize());
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    QVERIFY((window->frameGeometry().center() - screen.center()).manhattanLength() <= 40);
    const qreal scale = qEnvironmentVariableIsSet("QT_SCALE_FACTOR") ? qgetenv("QT_SCALE_FACTOR").toDouble() : 1.0;
    QCOMPARE(window->devicePixelRatioF(), scale);
    QCOMPARE(window->grab().size(), QSize(374, 254) * scale);

    for (const ControlSpec& c : Form1Layout().controls) {
      const QRect at = live_->widget(IdOf(c.key))->geometry();
      const QRect designed(c.left / 15, c.top / 15, c.width / 15, c.height / 15);
      QCOMPARE(at.topLeft(), designed.topLeft());
      if (c.kind != ControlKind::Label) {
        QCOMPARE(at.size(), designed.size());
        continue;
      }
      const QLabel* label = live_->label(IdOf(c.key));
      const QFontMetrics metrics(label->font());
      QCOMPARE(at.width(), metrics.horizontalAdvance(label->text()));
      QCOMPARE(at.height(), metrics.height());
    }
    // With a font of the designed widths (6 px per ASCII character), the count label is 6 px
    // wide at every scale; Qt scales the font with the layout.
    const QFontInfo font(live_->label(Label6)->font());
    QCOMPARE(font.pointSize(), 9);
    if (font.family() == QStringLiteral("Noto Sans Mono CJK SC")) {
      QCOMPARE(live_->label(Label6)->width(), 6);
      QCOMPARE(live_->label(Label4)->width(), 132);
    }
    // The buttons and the text box lie above the labels that they overlap.
    QCOMPARE(window->childAt(QPoint(166, 86)), live_->box());  // over Label1's last pixels
  }

  // The count buttons show an up and a down triangle of the style's, in their button frames; the
  // make button shows its caption.
  void arrowsAndCaptionsAreDrawn() {
    live_->button(cmdDown)->setEnabled(true);
    const QList<int> up = DarkRows(live_->button(cmdUp)->grab().toImage());
    const QList<int> down = DarkRows(live_->button(cmdDown)->grab().toImage());
    QVERIFY2(up.size() >= 2 && up.front() < up.back(), "the up button shows no upward triangle");
    QVERIFY2(down.size() >= 2 && down.front() > down.back(), "the down button shows no downward triangle");
    const QImage upImage = live_->button(cmdUp)->grab().toImage();
    QVERIFY(upImage.pixelColor(0, upImage.height() / 2) != live_->window()->palette().color(QPalette::Window));
    int captionPixels = 0;
    for (const int row : DarkRows(live_->button(cmdMake)->grab().toImage())) {
      captionPixels += row;
    }
    QVERIFY2(captionPixels > 100, "the make button shows no caption");
  }

  void startUpState() {
    const QString year = QString::number(QDate::currentDate().year());
    QCOMPARE(live_->window()->windowTitle(), QStringLiteral("Velmora%1 v1.0.2").arg(year));
    QCOMPARE(live_->label(Label6)->text(), QStringLiteral("1"));
    QVERIFY(!live_->button(cmdDown)->isEnabled());
    QVERIFY(live_->button(cmdUp)->isEnabled());
    QVERIFY(live_->button(cmdMake)->isEnabled());
    QCOMPARE(live_->box()->text(), QStringLiteral("Corvane"));
    QCOMPARE(live_->box()->cursorPosition(), 7);
    QVERIFY(!live_->box()->hasSelectedText());
    QTRY_COMPARE_WITH_TIMEOUT(QApplication::focusWidget(), live_->widget(Text1), kPatience);
    QCOMPARE(live_->label(Label2)->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    QCOMPARE(live_->label(Label3)->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    QCOMPARE(live_->label(Label5)->palette().color(QPalette::WindowText), QColor(255, 0, 255));
    QCOMPARE(live_->label(Label3)->text(), Q(texts::kWebAddress));
    QCOMPARE(live_->button(cmdUp)->accessibleName(), Q(texts::kUpArrowName));
    // The arrows are the style's, not letters; the banner and the pointer are the program's own.
    QCOMPARE(qt::ButtonStyle::ArrowOf(live_->button(cmdUp)), qt::Arrow::Up);
    QCOMPARE(qt::ButtonStyle::ArrowOf(live_->button(cmdDown)), qt::Arrow::Down);
    QVERIFY(live_->button(cmdUp)->text().isEmpty());
    QCOMPARE(live_->label(Image1)->pixmap(Qt::ReturnByValue).size(), QSize(374, 64));
    const QCursor hand = live_->label(Label7)->cursor();
    QCOMPARE(hand.hotSpot(), QPoint(5, 0));
    QCOMPARE(hand.pixmap().size(), QSize(32, 32));
    QCOMPARE(live_->label(Label1)->cursor().shape(), Qt::ArrowCursor);
  }

  // Up three times with the mouse; then the keyboard: the order of Tab follows the buttons' swap
  // and Space presses the focused count button.
  void countSelectorWithMouseAndKeyboard() {
    // At 2 both buttons take part in the designed order: the box, up, down, make.
    QVERIFY(ClickOn(live_->button(cmdUp)));
    QTRY_COMPARE_WITH_TIMEOUT(live_->label(Label6)->text(), QStringLiteral("2"), kPatience);
    live_->box()->setFocus();
    for (const ControlId next : {cmdUp, cmdDown, cmdMake, Text1}) {
      QVERIFY(Keys({QStringLiteral("Tab")}));
      QTRY_COMPARE_WITH_TIMEOUT(QApplication::focusWidget(), live_->widget(next), kPatience);
    }
    for (const char* expected : {"3", "4"}) {
      QVERIFY(ClickOn(live_->button(cmdUp)));
      QTRY_COMPARE_WITH_TIMEOUT(live_->label(Label6)->text(), QString::fromLatin1(expected), kPatience);
      QVERIFY(live_->button(cmdDown)->isEnabled());
    }
    QVERIFY(!live_->button(cmdUp)->isEnabled());
    QTRY_COMPARE_WITH_TIMEOUT(QApplication::focusWidget(), live_->widget(cmdDown), kPatience);

    live_->box()->setFocus();
    QVERIFY(Keys({QStringLiteral("Tab")}));
    QTRY_COMPARE_WITH_TIMEOUT(QApplication::focusWidget(), live_->widget(cmdDown), kPatience);
    QVERIFY(Keys({QStringLiteral("space")}));
    QTRY_COMPARE_WITH_TIMEOUT(live_->label(Label6)->text(), QStringLiteral("3"), kPatience);
    QVERIFY(Keys({QStringLiteral("Tab")}));
    QTRY_COMPARE_WITH_TIMEOUT(QApplication::focusWidget(), live_->widget(cmdUp), kPatience);
  }

  // The count buttons take the focus but look the same with it as without; the make button and
  // the text box show theirs.
  void focusLook() {
    QVERIFY(MoveTo(live_->window()->mapToGlobal(QPoint(20, 240))));  // no hover look in the way
    QPushButton* up = live_->button(cmdUp);
    QPushButton* make = live_->button(cmdMake);
    QTRY_VERIFY_WITH_TIMEOUT(!up->underMouse() && !make->underMouse(), kPatience);
    live_->box()->setFocus();
    QTRY_VERIFY_WITH_TIMEOUT(live_->box()->hasFocus(), kPatience);
    const QImage upPlain = up->grab().toImage();
    const QImage makePlain = make->grab().toImage();

    QVERIFY(Keys({QStringLiteral("Tab")}));
    QTRY_VERIFY_WITH_TIMEOUT(up->hasFocus(), kPatience);
    QCOMPARE(up->grab().toImage(), upPlain);
    QVERIFY(ClickOn(live_->button(cmdUp)));  // clicked: the focus stays, still without the look
    QTRY_COMPARE_WITH_TIMEOUT(live_->label(Label6)->text(), QStringLiteral("2"), kPatience);
    QVERIFY(up->hasFocus());
    QVERIFY(MoveTo(live_->window()->mapToGlobal(QPoint(20, 240))));
    QTRY_VERIFY_WITH_TIMEOUT(!up->underMouse(), kPatience);
    QTest::qWait(50);
    QCOMPARE(up->grab().toImage(), upPlain);

    make->setFocus();
    QTRY_VERIFY_WITH_TIMEOUT(make->hasFocus(), kPatience);
    QVERIFY(make->grab().toImage() != makePlain);
  }

  // The whole task with real input: a new nickname, count 3, Alt+C; the box says it is done and
  // the code is on the X clipboard, read by another program while drasken holds it.
  void makeTheCodeAndReadTheClipboardFromOutside() {
    BoxCatcher boxes;
    QVERIFY(ClickOn(live_->box()));
    QVERIFY(Keys({QStringLiteral("ctrl+a")}));
    QVERIFY(Xdo({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("40"), QStringLiteral("abc")}));
    QTRY_COMPARE_WITH_TIMEOUT(live_->box()->text(), QStringLiteral("abc"), kPatience);
    QVERIFY(ClickOn(live_->button(cmdUp)));
    QTRY_COMPARE_WITH_TIMEOUT(live_->label(Label6)->text(), QStringLiteral("2"), kPatience);
    QVERIFY(ClickOn(live_->button(cmdUp)));
    QTRY_COMPARE_WITH_TIMEOUT(live_->label(Label6)->text(), QStringLiteral("3"), kPatience);
    QVERIFY(Keys({QStringLiteral("alt+c")}));
    QTRY_COMPARE_WITH_TIMEOUT(boxes.boxes.size(), 1, kPatience);
    QCOMPARE(boxes.boxes[0].title, Q(texts::kDoneTitle));
    QCOMPARE(boxes.boxes[0].text, Q(texts::kDone).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    QCOMPARE(boxes.boxes[0].icon, QMessageBox::Information);
    QCOMPARE(boxes.boxes[0].owner, live_->window());
    QCOMPARE(Shell(QStringLiteral("xclip -o -selection clipboard | xxd -p")), QStringLiteral("010101616263"));
  }

  // A double-click clears the nickname; the make button then says so and hands the focus back.
  void emptyNicknameIsRefused() {
    BoxCatcher boxes;
    QVERIFY(ClickOn(live_->box(), 2));
    QTRY_COMPARE_WITH_TIMEOUT(live_->box()->text(), QString(), kPatience);
    QVERIFY(ClickOn(live_->button(cmdMake)));
    QTRY_COMPARE_WITH_TIMEOUT(boxes.boxes.size(), 1, kPatience);
    QCOMPARE(boxes.boxes[0].title, Q(texts::kErrorTitle));
    QCOMPARE(boxes.boxes[0].text, Q(texts::kEmptyNickname));
    QCOMPARE(boxes.boxes[0].icon, QMessageBox::Critical);
    // The window's focus is on the box (the window manager gives the window back its activation
    // when the box closes; without one, the test does).
    QTRY_COMPARE_WITH_TIMEOUT(live_->window()->focusWidget(), live_->widget(Text1), kPatience);
    QVERIFY(Activate());
    QTRY_COMPARE_WITH_TIMEOUT(QApplication::focusWidget(), live_->widget(Text1), kPatience);
    // Enter in the box presses no button: no box comes up.
    QVERIFY(Keys({QStringLiteral("Return")}));
    QTest::qWait(300);
    QCOMPARE(boxes.boxes.size(), 1);
  }

  // Hover lights a link and the bare window puts both out; a click hands the target to the
  // desktop's URL handler (a recorder here) and leaves the look as it was.
  void links() {
    QLabel* web = live_->label(Label3);
    QLabel* mail = live_->label(Label7);
    QVERIFY(MoveTo(web->mapToGlobal(web->rect().center())));
    QTRY_COMPARE_WITH_TIMEOUT(web->palette().color(QPalette::WindowText), QColor(0xFF, 0, 0), kPatience);  // red
    QVERIFY(web->font().underline());
    QVERIFY(!mail->font().underline());
    QVERIFY(MoveTo(live_->window()->mapToGlobal(QPoint(20, 220))));
    QTRY_VERIFY_WITH_TIMEOUT(!web->font().underline(), kPatience);
    QCOMPARE(web->palette().color(QPalette::WindowText), QColor(0, 0, 0xFF));

    QFile::remove(linkLog_);
    QVERIFY(ClickOn(web));
    QVERIFY(ClickOn(mail));
    QTRY_VERIFY_WITH_TIMEOUT(mail->font().underline(), kPatience);  // the click left the hover look
    const QString expected = Q(texts::kWebAddress) + QLatin1Char('\n') + Q(texts::kMailtoTarget) + QLatin1Char('\n');
    QString recorded;
    QTRY_VERIFY_WITH_TIMEOUT(
        [&] {
          QFile log(linkLog_);
          recorded = log.open(QIODevice::ReadOnly) ? QString::fromUtf8(log.readAll()) : QString();
          return recorded.count(QLatin1Char('\n')) >= 2;
        }(),
        kPatience);
    QCOMPARE(recorded, expected);
  }

  // Another window comes to the front and goes again: the focus is where it was.
  void switchingAwayKeepsTheFocus() {
    QVERIFY(Keys({QStringLiteral("Tab")}));
    QTRY_VERIFY_WITH_TIMEOUT(live_->button(cmdUp)->hasFocus(), kPatience);
    QWidget other;
    other.setWindowTitle(QStringLiteral("other"));
    other.setGeometry(10, 10, 200, 120);
    other.show();
    other.activateWindow();
    if (!QTest::qWaitForWindowActive(&other, 5000)) {
      Xdo({QStringLiteral("windowfocus"), QStringLiteral("--sync"), QString::number(other.winId())});
    }
    QTRY_VERIFY_WITH_TIMEOUT(other.isActiveWindow(), kPatience);
    QVERIFY(Activate());
    QTRY_COMPARE_WITH_TIMEOUT(QApplication::focusWidget(), live_->widget(cmdUp), kPatience);
  }

  // A handler that fails ends the program after one box that says why; no event runs after it.
  void aFailingHandlerIsReportedOnceAndEndsTheWindow() {
    live_.reset();
    struct Failing final : FormEvents {
      int clicks = 0;
      void Initialize() override {}
      void FormMouseMove() override {}
      void Click(ControlKey) override {
        ++clicks;
        throw PlatformError("the clipboard went away");
      }
      void DblClick(ControlKey) override {}
      void MouseMove(ControlKey) override {}
    } failing;
    qt::QtForms forms(Form1Layout(), linux_desktop::ProgramResources(), {texts::kFatalTitle, texts::kFatalPrefix});
    QVERIFY(forms.Open(failing));
    BoxCatcher boxes;
    auto* make = qobject_cast<QPushButton*>(forms.ControlWidget(ControlId::cmdMake));
    QPointer<QWidget> window = forms.Window();
    make->click();
    QTRY_COMPARE_WITH_TIMEOUT(boxes.boxes.size(), 1, kPatience);
    QCOMPARE(boxes.boxes[0].title, Q(texts::kFatalTitle));
    QVERIFY(boxes.boxes[0].text.endsWith(QStringLiteral("the clipboard went away")));
    QCOMPARE(boxes.boxes[0].icon, QMessageBox::Critical);
    QVERIFY(forms.Failed());
    QTRY_VERIFY_WITH_TIMEOUT(window.isNull(), kPatience);
    QCOMPARE(failing.clicks, 1);
  }

  // The real program: Alt+F4 closes its window and it ends with exit code 0.
  void altF4EndsTheProgram() {
    live_.reset();
    QProcess drasken;
    drasken.start(QStringLiteral(VELMORA_DRASKEN), QStringList());
    QVERIFY(drasken.waitForStarted(kPatience));
    const QString window =
        Shell(QStringLiteral("xdotool search --sync --onlyvisible --name '^Velmora[0-9]+ v' | head -n 1"));
    QVERIFY(!window.isEmpty());
    // The program makes its window the active one, so the keys go to it.
    QTRY_COMPARE_WITH_TIMEOUT(Shell(QStringLiteral("xdotool getwindowfocus")), window, kPatience);
    QVERIFY(Keys({QStringLiteral("alt+F4")}));
    QVERIFY(drasken.waitForFinished(kPatience));
    QCOMPARE(drasken.exitStatus(), QProcess::NormalExit);
    QCOMPARE(drasken.exitCode(), 0);
  }
};

}  // namespace velmora::testing

QTEST_MAIN(velmora::testing::QtWindowTest)
#include "QtWindowTest.moc"
