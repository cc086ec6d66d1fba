// Exiting while a scan reads: the program ends with exit code 0, without a
// run-time error box and without the end-of-scan message.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "tests/app/e2e_support.h"

TEST(Exit, ExitingDuringAScanEndsWithCodeZero) {
  char self[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  std::string exe(self);
  exe = exe.substr(0, exe.rfind('\\') + 1) + "app_e2e_test.exe";
  e2e::Fixture fx("exit");
  for (int i = 0; i < 20; ++i) fx.Sparse("big" + std::to_string(i), int64_t(256) << 20);
  std::string cmd = "\"" + exe + "\" --exit-during-scan \"" + fx.root() + "\"";
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  ASSERT_TRUE(CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
  ASSERT_EQ(WaitForSingleObject(pi.hProcess, 60000), WAIT_OBJECT_0);
  DWORD code = 1234;
  GetExitCodeProcess(pi.hProcess, &code);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  EXPECT_EQ(code, 0u);
}
