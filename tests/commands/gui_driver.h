// Finding and answering dialogs of this process from a helper thread, with a
// bounded poll instead of fixed sleeps.
#pragma once

#include <windows.h>

#include <string>

namespace cmdtest {

struct FoundDialog {
  HWND hwnd = nullptr;
  bool isMessageBox = false;
};

inline BOOL CALLBACK CollectDialog(HWND hwnd, LPARAM lp) {
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  if (pid != GetCurrentProcessId() || !IsWindowVisible(hwnd)) return TRUE;
  char cls[32] = {};
  GetClassNameA(hwnd, cls, sizeof cls);
  if (std::string(cls) != "#32770") return TRUE;
  auto* found = reinterpret_cast<FoundDialog*>(lp);
  found->hwnd = hwnd;
  found->isMessageBox = GetDlgItem(hwnd, 0xFFFF) != nullptr;
  return FALSE;
}

// Waits up to `ms` milliseconds for a visible dialog of this process.
inline FoundDialog WaitForDialog(DWORD ms = 10000) {
  const DWORD start = GetTickCount();
  FoundDialog found;
  while (GetTickCount() - start < ms) {
    found = FoundDialog{};
    EnumWindows(CollectDialog, reinterpret_cast<LPARAM>(&found));
    if (found.hwnd) return found;
    Sleep(20);
  }
  return FoundDialog{};
}

inline std::string WindowText(HWND hwnd) {
  char buf[1024] = {};
  GetWindowTextA(hwnd, buf, sizeof buf);
  return buf;
}

inline void PressButton(HWND dialog, int id) {
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

}  // namespace cmdtest
