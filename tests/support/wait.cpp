#include "tests/support/wait.h"

#include <tlhelp32.h>

namespace ts::test {

bool WaitFor(const std::function<bool()>& done, DWORD ms) {
  const DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start > ms) return done();
    Sleep(20);
  }
  return true;
}

bool ChildRunning(const char* exeName) {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return false;
  PROCESSENTRY32 p{};
  p.dwSize = sizeof p;
  bool found = false;
  for (BOOL more = Process32First(snapshot, &p); more && !found; more = Process32Next(snapshot, &p)) {
    found = p.th32ParentProcessID == GetCurrentProcessId() ||
            (exeName != nullptr && lstrcmpiA(p.szExeFile, exeName) == 0);
  }
  CloseHandle(snapshot);
  return found;
}

}  // namespace ts::test
