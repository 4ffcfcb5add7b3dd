// POSIX: one open(2) that cannot block (O_NONBLOCK: a FIFO without a writer, a terminal or a
// device opens at once), then fstat and read on that descriptor.
#include "version/OrdinaryFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace velmora {

std::optional<OrdinaryFile> OrdinaryFile::Open(const std::filesystem::path& path) {
  int descriptor = -1;
  do {
    descriptor = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  } while (descriptor < 0 && errno == EINTR);
  if (descriptor < 0) {
    return std::nullopt;
  }
  OrdinaryFile file(descriptor);  // closed on every way out from here
  struct stat status {};
  if (::fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) {
    return std::nullopt;
  }
  return file;
}

std::optional<std::vector<std::byte>> OrdinaryFile::ReadAll(std::uint64_t maxSize) const {
  const int descriptor = static_cast<int>(handle_);
  struct stat status {};
  if (::fstat(descriptor, &status) != 0 || status.st_size < 0 ||
      static_cast<std::uint64_t>(status.st_size) > maxSize) {
    return std::nullopt;
  }
  std::vector<std::byte> bytes(static_cast<std::size_t>(status.st_size));
  std::size_t done = 0;
  while (done < bytes.size()) {  // from the start, whatever was read before
    const ssize_t got =
        ::pread(descriptor, bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
    if (got < 0 && errno == EINTR) {
      continue;
    }
    if (got <= 0) {  // a failure, or the file cut short meanwhile
      return std::nullopt;
    }
    done += static_cast<std::size_t>(got);
  }
  return bytes;
}

OrdinaryFile::~OrdinaryFile() {
  if (handle_ != kNone) {
    ::close(static_cast<int>(handle_));
  }
}

}  // namespace velmora
