#pragma once
// A file opened once, for reading, and kept only when it is an ordinary file. Whether it is one,
// its size and its bytes all come from what was opened, never from the name again: a name that
// is changed meanwhile (a link swapped for a FIFO, a file renamed over another) cannot make the
// reader wait for a writer or read something else than what it checked.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <utility>
#include <vector>

namespace velmora {

class OrdinaryFile {
 public:
  // Nothing, at once, when the name does not open or opens anything but a regular file: a
  // directory, a FIFO or pipe, a device, a socket. The opening itself never waits for one.
  static std::optional<OrdinaryFile> Open(const std::filesystem::path& path);

  // The whole file, or nothing when it is larger than maxSize bytes or cannot be read whole.
  std::optional<std::vector<std::byte>> ReadAll(std::uint64_t maxSize) const;

  OrdinaryFile(OrdinaryFile&& other) noexcept : handle_(other.handle_) { other.handle_ = kNone; }
  OrdinaryFile& operator=(OrdinaryFile&& other) noexcept {
    std::swap(handle_, other.handle_);
    return *this;
  }
  OrdinaryFile(const OrdinaryFile&) = delete;
  OrdinaryFile& operator=(const OrdinaryFile&) = delete;
  ~OrdinaryFile();

 private:
  // A POSIX file descriptor or a Windows file HANDLE; -1 is "none" for both.
  static constexpr std::intptr_t kNone = -1;
  explicit OrdinaryFile(std::intptr_t handle) : handle_(handle) {}
  std::intptr_t handle_;
};

}  // namespace velmora
