#include "linux/DisplayCheck.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <optional>
#include <string>

namespace velmora::linux_desktop {
namespace {

struct Platforms {
  bool x11 = false;
  bool wayland = false;
  bool other = false;
};

// Qt's list of platforms to try in turn, "wayland;xcb", each name with its options ("xcb:...").
Platforms Named(std::string_view list) {
  Platforms named;
  while (!list.empty()) {
    const std::string_view entry = list.substr(0, list.find(';'));
    list.remove_prefix(std::min(list.size(), entry.size() + 1));
    const std::string_view name = entry.substr(0, entry.find(':'));
    if (name == "xcb") {
      named.x11 = true;
    } else if (name.starts_with("wayland")) {
      named.wayland = true;
    } else if (!name.empty()) {
      named.other = true;
    }
  }
  if (!named.x11 && !named.wayland && !named.other) {
    return {.x11 = true, .wayland = true};  // Qt's own choice: X11, or Wayland in its session
  }
  return named;
}

class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  ~FileDescriptor() {
    if (fd_ >= 0) {
      ::close(fd_);
    }
  }
  int get() const { return fd_; }

 private:
  int fd_;
};

// The X server's connection, or nullptr.
xcb_connection_t* X11Connection(const char* display) {  // nullptr: DISPLAY's
  xcb_connection_t* connection = xcb_connect(display, nullptr);
  if (xcb_connection_has_error(connection) != 0) {
    xcb_disconnect(connection);
    return nullptr;
  }
  return connection;
}

// The compositor's socket, found as libwayland finds it.
bool WaylandAnswers() {
  const char* name = std::getenv("WAYLAND_DISPLAY");
  std::string path = name != nullptr && *name != '\0' ? name : "wayland-0";
  if (path.front() != '/') {
    const char* folder = std::getenv("XDG_RUNTIME_DIR");
    if (folder == nullptr || *folder == '\0') {
      return false;
    }
    path = std::string(folder) + '/' + path;
  }
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (path.size() >= sizeof address.sun_path) {
    return false;
  }
  path.copy(address.sun_path, path.size());
  const FileDescriptor socket(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
  if (socket.get() < 0) {
    return false;
  }
  // Non-blocking, so that a compositor that is too busy to accept says so rather than hangs us.
  return ::connect(socket.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0 ||
         errno == EAGAIN || errno == EINPROGRESS;
}

}  // namespace

void ReachedDisplay::Disconnect::operator()(xcb_connection_t* connection) const {
  xcb_disconnect(connection);
}

ReachedDisplay ReachDisplay(int argc, const char* const argv[]) {
  // Qt's own options, read as Qt reads them: "--name" is "-name", the last one counts.
  std::optional<std::string_view> platform;
  const char* display = nullptr;
  for (int i = 1; i + 1 < argc; ++i) {
    std::string_view option = argv[i];
    if (option.starts_with("--")) {
      option.remove_prefix(1);
    }
    if (option == "-platform") {
      platform = argv[++i];
    } else if (option == "-display") {
      display = argv[++i];
    }
  }
  const char* chosen = std::getenv("QT_QPA_PLATFORM");
  const Platforms named = Named(platform.value_or(chosen != nullptr ? chosen : ""));
  if (named.other) {
    return {true, nullptr};
  }
  if (xcb_connection_t* x11 = named.x11 ? X11Connection(display) : nullptr) {
    return {true, x11};
  }
  return {named.wayland && WaylandAnswers(), nullptr};
}

}  // namespace velmora::linux_desktop
