// The display check's answer for the platforms Qt may be told to use, and displays that answer or
// not: the tests' X display, a Wayland socket that listens and one that nobody listens on.
#include <QtNetwork>
#include <QtTest>

#include <vector>

#include "linux/DisplayCheck.h"

namespace velmora::testing {

class DisplayCheckTest : public QObject {
  Q_OBJECT
  const QByteArray live_ = qgetenv("DISPLAY");  // the tests' X server
  // A client on it the whole time, as on a desktop: else the server resets whenever the last leaves.
  const linux_desktop::ReachedDisplay desktop_ = linux_desktop::ReachDisplay(0, nullptr);
  QTemporaryDir runtime_;  // XDG_RUNTIME_DIR: "listens" and "gone"
  QTemporaryDir other_;    // another, where "wayland-0" (the default name) listens
  QLocalServer listening_, default_;

  QByteArray Placed(QByteArray text) const {  // $X: the tests' X display, $R, $O: the folders
    return text.isNull() ? text : text.replace("$X", live_).replace("$R", runtime_.path().toUtf8()).replace("$O", other_.path().toUtf8());
  }

 private slots:
  void initTestCase() {  // "gone": bound by a process that has ended, as a compositor that has gone leaves it
    const QString bind = QStringLiteral("import socket, sys; socket.socket(socket.AF_UNIX).bind(sys.argv[1])");
    QVERIFY(desktop_.Answers() && listening_.listen(runtime_.filePath("listens")) &&
            default_.listen(other_.filePath("wayland-0")) &&
            QProcess::execute(QStringLiteral("python3"), {"-c", bind, runtime_.filePath("gone")}) == 0);
  }

  void answers() {
    const char* no = nullptr;  // unset
    const QByteArray tooLong = "$R/" + QByteArray(120, 'x');
    const struct {
      const char* name;
      const char* env[4];  // QT_QPA_PLATFORM, DISPLAY, WAYLAND_DISPLAY, XDG_RUNTIME_DIR
      const char* arguments;
      bool answers;
    } rows[] = {
        {"nothing", {no, no, no, "$R"}, "", false},
        {"X", {no, "$X", no, "$R"}, "", true},
        {"X and the compositor gone", {no, "nonsense", "gone", "$R"}, "", false},
        {"a compositor", {no, no, "listens", "$R"}, "", true},
        {"wayland-0", {no, no, no, "$O"}, "", true},
        {"a compositor by its path", {no, no, "$R/listens", no}, "", true},
        {"no runtime folder", {no, no, "listens", no}, "", false},
        {"empty runtime folder", {no, no, "listens", ""}, "", false},
        {"a path too long", {no, no, tooLong.constData(), no}, "", false},
        {"empty platform: either", {"", no, "listens", "$R"}, "", true},
        {"xcb, a compositor", {"xcb", no, "listens", "$R"}, "", false},
        {"xcb with options, X", {"xcb:a=1", "$X", no, "$R"}, "", true},
        {"wayland-egl, X", {"wayland-egl", "$X", no, "$R"}, "", false},
        {"wayland;xcb, neither", {"wayland;xcb", "nonsense", "gone", "$R"}, "", false},
        {"xcb;wayland, a compositor", {"xcb;wayland", no, "listens", "$R"}, "", true},
        {"offscreen, nothing", {"offscreen", no, no, "$R"}, "", true},
        {"-platform over it", {"offscreen", no, no, "$R"}, "-platform xcb", false},
        {"--platform", {no, no, no, "$R"}, "name --platform vnc", true},
        {"-platform at the end", {no, "$X", no, "$R"}, "-platform", true},
        {"-display over DISPLAY", {no, "$X", no, "$R"}, "-display nonsense", false},
        {"--display, no DISPLAY", {no, no, no, "$R"}, "--display $X", true},
    };
    for (const auto& row : rows) {
      int i = 0;
      for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY", "XDG_RUNTIME_DIR"}) {
        const QByteArray value = Placed(row.env[i++]);
        static_cast<void>(value.isNull() ? qunsetenv(name) : qputenv(name, value));
      }
      QList<QByteArray> words = Placed(row.arguments).split(' ');
      words.prepend("drasken");
      words.removeAll(QByteArray());
      std::vector<const char*> argv;
      for (const QByteArray& word : words) {
        argv.push_back(word.constData());
      }
      argv.push_back(nullptr);  // as main's
      QVERIFY2(linux_desktop::ReachDisplay(int(words.size()), argv.data()).Answers() == row.answers, row.name);
    }
  }
};

}  // namespace velmora::testing

QTEST_GUILESS_MAIN(velmora::testing::DisplayCheckTest)
#include "DisplayCheckTest.moc"
