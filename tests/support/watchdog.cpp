// The watchdog shared by every test program: it fails the running test on
// any message box it did not expect, reporting the box's text, and closes the
// box so the test cannot hang on it.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <string>
#include <thread>

#include "tests/support/dialogs.h"
#include "tests/support/test_support.h"

namespace ts::test {
namespace {

std::atomic<int> g_expected{0};
std::atomic<bool> g_stop{false};

void Watch() {
  while (!g_stop) {
    Sleep(50);
    if (g_expected > 0) continue;
    // Other dialogs (the folder dialog) are the tests' own business.
    const Dialog box = FindDialog(0, true);
    if (!box.hwnd) continue;
    const std::string msg = "unexpected message box [" + box.caption + "]: " + box.text;
    ADD_FAILURE() << msg;
    std::fprintf(stderr, "%s\n", msg.c_str());
    Dismiss(box, 2000);
  }
}

std::thread g_watchdog;

}  // namespace

ExpectMessageBoxes::ExpectMessageBoxes() { ++g_expected; }
ExpectMessageBoxes::~ExpectMessageBoxes() { --g_expected; }

void StartWatchdog() {
  g_stop = false;
  g_watchdog = std::thread(Watch);
}

void StopWatchdog() {
  g_stop = true;
  if (g_watchdog.joinable()) g_watchdog.join();
}

}  // namespace ts::test
