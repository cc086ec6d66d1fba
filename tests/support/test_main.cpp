// Shared main of the test programs: GoogleTest with the message-box watchdog.
#include <gtest/gtest.h>

#include "tests/support/test_support.h"

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  ts::test::StartWatchdog();
  int rc = RUN_ALL_TESTS();
  ts::test::StopWatchdog();
  return rc;
}
