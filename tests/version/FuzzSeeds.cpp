// Writes the fuzz target's seed corpus (tests/fuzz/seeds) from the test image builder:
//   version_fuzz_seeds DIRECTORY
#include <cstdio>
#include <filesystem>
#include <string>

#include "PeImageBuilder.h"
#include "TempDirectory.h"

int main(int argc, char** argv) {
  using namespace velmora::test;
  if (argc != 2) {
    std::fputs("usage: version_fuzz_seeds DIRECTORY\n", stderr);
    return 2;
  }
  const std::filesystem::path directory = argv[1];
  const FixedVersion version = {0x00010000, 0x00000002, 0x00010000, 0x00000003};
  const auto write = [&](const char* name, const std::vector<std::byte>& bytes) {
    TempDirectory::Write(directory / name, bytes);
  };
  write("pe32.exe", BuildPeImage({.pe32Plus = false, .version = version}).bytes);
  write("pe32plus.dll", BuildPeImage({.pe32Plus = true, .version = version}).bytes);
  write("no-version.exe", BuildPeImage({.pe32Plus = true, .version = std::nullopt}).bytes);
  write("short-root.exe", BuildPeImage({.pe32Plus = false, .version = version, .valueLength = 51}).bytes);
  write("version-info.bin", BuildVersionInfo(version));
  return 0;
}
