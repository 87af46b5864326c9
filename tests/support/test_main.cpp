// The suites' main: they run on the headless platform whatever display the machine has (a
// Windows build has its own platform alone).
#include <gtest/gtest.h>

#include "vantrel/platform/platform.h"

int main(int argc, char **argv) {
#ifndef VANTREL_TEST_WIN32
  vantrel::platform::SelectPlatform("headless");
#endif
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
