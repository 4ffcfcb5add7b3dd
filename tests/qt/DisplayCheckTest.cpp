// The display check's answer for the platforms Qt may be told to use, and displays that answer or
// not: the tests' X display, a Wayland socket that listens and one that nobody listens on.
#include <QtTest>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <vector>

#include "linux/DisplayCheck.h"

namespace velmora::testing {

// A Unix socket bound at `path`; one that does not listen is what a compositor that has gone leaves.
class UnixSocket {
 public:
  UnixSocket(const QByteArray& path, bool listening) : fd_(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0)) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    qstrncpy(address.sun_path, path.constData(), sizeof address.sun_path);
    bound_ = fd_ >= 0 && ::bind(fd_, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0 &&
             (!listening || ::listen(fd_, 4) == 0);
  }
  UnixSocket(const UnixSocket&) = delete;
  UnixSocket& operator=(const UnixSocket&) = delete;
  ~UnixSocket() {
    if (fd_ >= 0) {
      ::close(fd_);
    }
  }
  bool bound() const { return bound_; }

 private:
  int fd_;
  bool bound_ = false;
};

class DisplayCheckTest : public QObject {
  Q_OBJECT
  const QByteArray live_ = qgetenv("DISPLAY");  // the tests' X server
  // A client on it the whole time, as on a desktop: else the server resets whenever the last leaves.
  const linux_desktop::ReachedDisplay desktop_ = linux_desktop::ReachDisplay(0, nullptr);
  QTemporaryDir runtime_;                        // XDG_RUNTIME_DIR: "listens" and "gone"
  QTemporaryDir other_;                          // another, where "wayland-0" (the default name) listens
  const QByteArray listens_ = runtime_.filePath("listens").toUtf8();
  UnixSocket listening_{listens_, true};
  UnixSocket gone_{runtime_.filePath("gone").toUtf8(), false};
  UnixSocket default_{other_.filePath("wayland-0").toUtf8(), true};

  static void Set(const char* name, const QByteArray& value) {  // a null value: unset
    static_cast<void>(value.isNull() ? qunsetenv(name) : qputenv(name, value));
  }
  QByteArray Placed(QByteArray text) const {  // $X: the tests' X display, $R, $O: the folders
    return text.isNull() ? text : text.replace("$X", live_).replace("$R", runtime_.path().toUtf8()).replace("$O", other_.path().toUtf8());
  }

 private slots:
  void initTestCase() {
    QVERIFY(desktop_.Answers() && listening_.bound() && gone_.bound() && default_.bound());
  }

  void answers_data() {
    for (const char* column : {"platform", "display", "wayland", "runtime", "arguments"}) {
      QTest::addColumn<QByteArray>(column);  // QT_QPA_PLATFORM, DISPLAY, WAYLAND_DISPLAY, XDG_RUNTIME_DIR
    }
    QTest::addColumn<bool>("answers");
    const auto row = [](const char* name, const char* platform, const char* display, const char* wayland,
                        const char* runtime, const char* arguments, bool answers) {
      QTest::newRow(name) << QByteArray(platform) << QByteArray(display) << QByteArray(wayland)
                          << QByteArray(runtime) << QByteArray(arguments) << answers;
    };
    const char* no = nullptr;  // unset
    const QByteArray too_long = "$R/" + QByteArray(120, 'x');
    row("nothing", no, no, no, "$R", "", false);
    row("X", no, "$X", no, "$R", "", true);
    row("X and the compositor gone", no, "nonsense", "gone", "$R", "", false);
    row("a compositor", no, no, "listens", "$R", "", true);
    row("wayland-0", no, no, no, "$O", "", true);
    row("a compositor by its path", no, no, "$R/listens", no, "", true);
    row("no runtime folder", no, no, "listens", no, "", false);
    row("empty runtime folder", no, no, "listens", "", "", false);
    row("a path too long", no, no, too_long.constData(), no, "", false);
    row("empty platform: either", "", no, "listens", "$R", "", true);
    row("xcb, a compositor", "xcb", no, "listens", "$R", "", false);
    row("xcb with options, X", "xcb:a=1", "$X", no, "$R", "", true);
    row("wayland-egl, X", "wayland-egl", "$X", no, "$R", "", false);
    row("wayland;xcb, neither", "wayland;xcb", "nonsense", "gone", "$R", "", false);
    row("xcb;wayland, a compositor", "xcb;wayland", no, "listens", "$R", "", true);
    row("offscreen, nothing", "offscreen", no, no, "$R", "", true);
    row("-platform over it", "offscreen", no, no, "$R", "-platform xcb", false);
    row("--platform", no, no, no, "$R", "name --platform vnc", true);
    row("-platform at the end", no, "$X", no, "$R", "-platform", true);
    row("-display over DISPLAY", no, "$X", no, "$R", "-display nonsense", false);
    row("--display, no DISPLAY", no, no, no, "$R", "--display $X", true);
  }
  void answers() {
    QFETCH(QByteArray, platform);
    QFETCH(QByteArray, display);
    QFETCH(QByteArray, wayland);
    QFETCH(QByteArray, runtime);
    QFETCH(QByteArray, arguments);
    QFETCH(bool, answers);
    Set("QT_QPA_PLATFORM", platform);
    Set("DISPLAY", Placed(display));
    Set("WAYLAND_DISPLAY", Placed(wayland));
    Set("XDG_RUNTIME_DIR", Placed(runtime));
    QList<QByteArray> words = Placed(arguments).split(' ');
    words.prepend("drasken");
    words.removeAll(QByteArray());
    std::vector<const char*> argv;
    for (const QByteArray& word : words) {
      argv.push_back(word.constData());
    }
    argv.push_back(nullptr);  // as main's
    QCOMPARE(linux_desktop::ReachDisplay(int(words.size()), argv.data()).Answers(), answers);
  }
};

}  // namespace velmora::testing

QTEST_GUILESS_MAIN(velmora::testing::DisplayCheckTest)
#include "DisplayCheckTest.moc"
