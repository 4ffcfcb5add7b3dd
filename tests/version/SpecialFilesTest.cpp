// POSIX: what is not an ordinary file is refused at once, and a name swapped between a program and a
// FIFO while it is read is read whole from the program or refused, never waited on or read from the
// FIFO, which a writer feeds with a program of another version throughout (the reader that checked
// the name and then opened it again read the FIFO in 23 to 197 of the 20,000 reads, in ten runs).
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <iostream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "PeImageBuilder.h"
#include "version/CFileVersion.h"
#include "version/PortableVersionSource.h"

namespace velmora::test {
namespace {

std::wstring VersionOf(const std::filesystem::path& path) {
  CFileVersion version(std::make_unique<PortableVersionSource>());
  return version.FillVersionInfo(path.wstring()) ? version.VersionString() : L"refused";
}

TEST(SpecialFilesTest, AreRefusedAtOnceAndNeverReadThroughASwappedName) {
  TempDirectory directory;
  const auto at = [&](const char* leaf) { return directory.path / leaf; };
  TempDirectory::Write(at("program.exe"), BuildPeImage({}).bytes);
  ASSERT_EQ(::mkfifo(at("fifo").c_str(), 0600), 0);
  ASSERT_EQ(::mknod(at("socket").c_str(), S_IFSOCK | 0600, 0), 0);
  std::filesystem::create_symlink(at("fifo"), at("to-fifo.exe"));
  std::filesystem::create_symlink("/dev/zero", at("to-zero.exe"));

  // Counts the readers that take some of the program before they close the FIFO. A reader gone
  // before the write gives EPIPE in this thread, not a signal for the whole test.
  std::atomic<bool> done{false};
  std::atomic<int> opened{0}, taken{0};
  std::thread feeder([&] {
    sigset_t pipe;
    sigemptyset(&pipe);
    sigaddset(&pipe, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipe, nullptr);
    PeImage image = BuildPeImage({});
    Put32(image.bytes, kResources + kVersionData + 48, 0x00090009);
    while (!done) {
      if (const int fd = ::open(at("fifo").c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC); fd >= 0) {
        const auto sent = static_cast<int>(::write(fd, image.bytes.data(), image.bytes.size()));
        pollfd reader{.fd = fd, .events = POLLOUT, .revents = 0};
        int unread = sent;
        while (sent > 0 && ::ioctl(fd, FIONREAD, &unread) == 0 && unread == sent &&
               ::poll(&reader, 1, 0) >= 0 && !(reader.revents & POLLERR)) {
          std::this_thread::yield();
        }
        ++opened;
        taken += unread < sent;
        ::close(fd);
      }
      std::this_thread::sleep_for(std::chrono::microseconds(200));  // the cores are the race's
    }
  });
  // Each through a whole read and through each step on its own. An absolute path stays itself; the
  // sysfs file is an ordinary file that claims 4096 bytes and holds fewer.
  for (const char* leaf : {"fifo", "socket", "to-fifo.exe", "to-zero.exe", "/dev/zero",
                           "/sys/devices/system/cpu/online"}) {
    EXPECT_EQ(VersionOf(at(leaf)), L"refused") << leaf;
    PortableVersionSource source;
    std::vector<std::byte> buffer(92);
    EXPECT_EQ(source.InfoSize(at(leaf).wstring()), 0u) << leaf;
    EXPECT_FALSE(source.ReadInfo(at(leaf).wstring(), buffer)) << leaf;
  }

  // A link replaced again and again by one to the program or to the FIFO, while it is read.
  std::thread swapper([&] {
    for (int i = 0; !done; ++i) {
      std::error_code ignored;
      std::filesystem::create_symlink(at(i % 2 ? "fifo" : "program.exe"), at("next"), ignored);
      std::filesystem::rename(at("next"), at("link.exe"), ignored);
    }
  });
  int others = 0;  // reads that gave another file's version
  for (int i = 0; i < 20000; ++i) {
    const std::wstring result = VersionOf(at("link.exe"));
    others += result != L"3.4.5.6" && result != L"refused";
  }
  done = true;
  swapper.join();
  feeder.join();
  std::cout << "20,000 reads through the swapped link; the FIFO opened " << opened << " times\n";
  EXPECT_EQ(others, 0) << "reads gave another file's version";
  EXPECT_EQ(taken, 0) << "reads took bytes from the FIFO";
}

}  // namespace
}  // namespace velmora::test
