#include "app/ui_thread.h"

#include <windows.h>

namespace twinseek {
namespace {

constexpr UINT kRunCall = WM_APP + 0x51;
constexpr UINT_PTR kClock = 1;
HWND g_callWindow = nullptr;
DWORD g_uiThread = 0;
void (*g_tick)() = nullptr;

struct Call {
  const std::function<bool()>* current;
  const std::function<void()>* change;
};

LRESULT CALLBACK CallWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == kRunCall) {
    const Call* call = reinterpret_cast<const Call*>(lp);
    if (!(*call->current)()) return 0;
    (*call->change)();
    return 1;
  }
  if (msg == WM_TIMER && wp == kClock) {
    if (g_tick) g_tick();
    return 0;
  }
  return DefWindowProcA(hwnd, msg, wp, lp);
}

}  // namespace

void InitUiThreadCalls() {
  if (g_callWindow) return;
  WNDCLASSA wc{};
  wc.lpfnWndProc = CallWindowProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "TwinseekUiCalls";
  RegisterClassA(&wc);
  g_callWindow = CreateWindowExA(0, wc.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
  g_uiThread = GetCurrentThreadId();
}

bool RunOnUiThread(const std::function<bool()>& current, const std::function<void()>& change) {
  if (!g_callWindow || GetCurrentThreadId() == g_uiThread) {
    if (!current()) return false;
    change();
    return true;
  }
  Call call{&current, &change};
  return SendMessageA(g_callWindow, kRunCall, 0, reinterpret_cast<LPARAM>(&call)) != 0;
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
  if (!g_callWindow) return;
  g_tick = tick;
  SetTimer(g_callWindow, kClock, ms, nullptr);
}

void StopUiClock() {
  if (g_callWindow) KillTimer(g_callWindow, kClock);
  g_tick = nullptr;
}

}  // namespace twinseek
