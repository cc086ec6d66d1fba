// Helpers shared by the test programs.
#pragma once

namespace ts::test {

// While one of these lives, message boxes are the test's own business and
// the watchdog of the test main leaves them alone.
class ExpectMessageBoxes {
 public:
  ExpectMessageBoxes();
  ~ExpectMessageBoxes();
  ExpectMessageBoxes(const ExpectMessageBoxes&) = delete;
  ExpectMessageBoxes& operator=(const ExpectMessageBoxes&) = delete;
};

// The watchdog thread; the shared test main starts and stops it, test
// programs with a main of their own call these themselves.
void StartWatchdog();
void StopWatchdog();

}  // namespace ts::test
