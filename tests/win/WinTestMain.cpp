// The Windows-side test program: --drasken=<path> names the built exe for the tests that run it.
#include <gtest/gtest.h>

#include <string>

#include "LiveWindow.h"

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (const std::string arg = argv[i]; arg.starts_with("--drasken=")) {
      velmora::testing::draskenPath.assign(arg.begin() + 10, arg.end());
    }
  }
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
