#include "app/ui_thread.h"

#include <windows.h>

#include "app/ui.h"
#include "forms/engine/unit.h"

namespace ts::app {
namespace {

DWORD g_uiThread = 0;
UINT_PTR g_clock = 0;
void (*g_tick)() = nullptr;

void CALLBACK ClockTick(HWND, UINT, UINT_PTR, DWORD) {
  if (g_tick) g_tick();
}

}  // namespace

void InitUiThreadCalls() {
  if (g_uiThread == 0) g_uiThread = GetCurrentThreadId();
}

bool RunOnUiThread(const std::function<bool()>& current, const std::function<void()>& change) {
  bool ran = false;
  auto call = [&] {
    if (!current()) return;
    change();
    ran = true;
  };
  if (g_uiThread == 0 || GetCurrentThreadId() == g_uiThread) {
    call();
    return ran;
  }
  // The main window's thread is the UI thread; once the window is gone
  // nothing is carried out there any more.
  ts::forms::RunOnOwnerThread(ts::forms::AttachedWindow(kMainForm, 0), call);
  return ran;
}

bool WaitPumpingCalls(void* thread, unsigned timeoutMs) {
  const DWORD start = GetTickCount();
  for (;;) {
    DWORD elapsed = GetTickCount() - start;
    if (elapsed >= timeoutMs) return false;
    DWORD r = MsgWaitForMultipleObjects(1, reinterpret_cast<HANDLE*>(&thread), FALSE, timeoutMs - elapsed,
                                        QS_SENDMESSAGE);
    if (r == WAIT_OBJECT_0) return true;
    if (r == WAIT_FAILED) return false;
    // Only calls sent by other threads are carried out here; a peek with no
    // removal delivers them.
    MSG msg;
    PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  }
}

void StartUiClock(unsigned ms, void (*tick)()) {
  // A thread timer: the message loop and every modal loop deliver it.
  StopUiClock();
  g_tick = tick;
  g_clock = SetTimer(nullptr, 0, ms, ClockTick);
}

void StopUiClock() {
  if (g_clock) KillTimer(nullptr, g_clock);
  g_clock = 0;
  g_tick = nullptr;
}

}  // namespace ts::app
