// The watchdog shared by every test program: it fails the running test on
// any message box it did not expect, reporting the box's text, and closes the
// box so the test cannot hang on it.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <string>
#include <thread>

#include "tests/support/test_support.h"

namespace tstest {
namespace {

std::atomic<int> g_expected{0};
std::atomic<bool> g_stop{false};

struct Found {
  HWND box = nullptr;
};

BOOL CALLBACK FindBox(HWND hwnd, LPARAM lp) {
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  if (pid != GetCurrentProcessId() || !IsWindowVisible(hwnd)) return TRUE;
  char cls[32] = {};
  GetClassNameA(hwnd, cls, sizeof cls);
  if (std::string(cls) != "#32770") return TRUE;
  // A message box has its text in the static control 0xFFFF; the folder
  // dialog and other dialogs have none and are the tests' own business.
  if (!GetDlgItem(hwnd, 0xFFFF)) return TRUE;
  reinterpret_cast<Found*>(lp)->box = hwnd;
  return FALSE;
}

void Watch() {
  while (!g_stop) {
    Sleep(50);
    if (g_expected > 0) continue;
    Found f;
    EnumWindows(FindBox, reinterpret_cast<LPARAM>(&f));
    if (!f.box) continue;
    char text[1024] = {}, caption[256] = {};
    GetDlgItemTextA(f.box, 0xFFFF, text, sizeof text);
    GetWindowTextA(f.box, caption, sizeof caption);
    std::string msg = std::string("unexpected message box [") + caption + "]: " + text;
    ADD_FAILURE() << msg;
    std::fprintf(stderr, "%s\n", msg.c_str());
    PostMessageA(f.box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    Sleep(300);
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

}  // namespace tstest
