// Program end, the error report and the fatal paths, observed from outside:
// each case runs the child program, reads and dismisses its message box,
// and checks the exit code and what the exit routine and library logged.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "runtime/error.h"
#include "tests/support/dialogs.h"
#include "tests/support/temp_tree.h"

namespace {

std::string Here() {
  char path[MAX_PATH * 4];
  DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
  std::string p(path, n);
  return p.substr(0, p.find_last_of('\\') + 1);
}

struct ChildRun {
  DWORD exitCode = 0;
  bool finished = false;
  std::string boxText, boxCaption;
  std::string log;
};

// Runs `exe scenario log`, dismissing (and recording) the first message
// box it shows; bounded at 30 seconds.
ChildRun RunChild(const std::string& exe, const char* scenario, const std::string& dir) {
  ChildRun run;
  std::string log = dir + scenario + ".log";
  DeleteFileA(log.c_str());
  std::string cmd = "\"" + exe + "\" " + scenario + " \"" + log + "\"";
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, dir.c_str(), &si, &pi)) {
    ADD_FAILURE() << "cannot start " << cmd;
    return run;
  }
  for (int i = 0; i < 600; ++i) {
    if (WaitForSingleObject(pi.hProcess, 50) == WAIT_OBJECT_0) {
      run.finished = true;
      break;
    }
    const ts::test::Dialog box = ts::test::FindDialog(pi.dwProcessId, true);
    if (box.hwnd && run.boxText.empty()) {
      run.boxText = box.text;
      run.boxCaption = box.caption;
    }
    if (box.hwnd) ts::test::PressButton(box.hwnd, IDOK);
  }
  if (!run.finished) TerminateProcess(pi.hProcess, 99);
  GetExitCodeProcess(pi.hProcess, &run.exitCode);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  run.log = ts::test::ReadWhole(log);
  return run;
}

ChildRun RunScenario(const char* scenario) {
  ts::test::TempTree tree("rt_end");
  return RunChild(Here() + "runtime_child.exe", scenario, tree.root() + "\\");
}

// Message boxes compare without the trailing line ends Wine may trim.
std::string Trimmed(std::string s) {
  while (!s.empty() && (s.back() == '\n' || s.back() == '\r')) s.pop_back();
  return s;
}

constexpr DWORD kFatalExit = static_cast<DWORD>(-1);

TEST(ProgramEnd, ErrorReportShowsExactTextSkipsExitListAndStillEndsLibraries) {
  ChildRun r = RunScenario("error");
  ASSERT_TRUE(r.finished);
  EXPECT_EQ(r.exitCode, kFatalExit);
  EXPECT_EQ(r.boxCaption, "错误");
  EXPECT_EQ(Trimmed(r.boxText), Trimmed("运行时出错!\r\n\r\n错误信息：测试错误\r\n"));
  EXPECT_EQ(r.log, "library 1\nlibrary 6\n");
}

TEST(ProgramEnd, ErrorCodesCarryTheirCodeAndIndexZeroIsCheckedBeforeTheCount) {
  ChildRun zero = RunScenario("index0");
  EXPECT_EQ(zero.exitCode, kFatalExit);
  EXPECT_EQ(Trimmed(zero.boxText), Trimmed(ts::ComposeErrorText(ts::ErrorCodeMessage(4), 4)));
  EXPECT_NE(zero.boxText.find("错误代码：4"), std::string::npos);

  ChildRun one = RunScenario("index1");
  EXPECT_EQ(one.exitCode, kFatalExit);
  EXPECT_NE(one.boxText.find("错误代码：1\r\n\r\n错误信息：数组成员引用下标超出定义范围"), std::string::npos)
      << one.boxText;
}

TEST(ProgramEnd, AMemberReferenceWithTheWrongNumberOfIndexesIsErrorThree) {
  ChildRun r = RunScenario("indexcount");
  EXPECT_EQ(r.exitCode, kFatalExit);
  EXPECT_NE(r.boxText.find("错误代码：3\r\n"), std::string::npos) << r.boxText;
}

TEST(ProgramEnd, UnbalancedDllCallIsErrorSix) {
  ChildRun r = RunScenario("stack");
  EXPECT_EQ(r.exitCode, kFatalExit);
  EXPECT_NE(r.boxText.find("错误代码：6\r\n\r\n错误信息：调用DLL命令后发现堆栈错误"), std::string::npos) << r.boxText;
}

TEST(ProgramEnd, EndProgramRunsTheExitListOnceThenTheLibraries) {
  ChildRun r = RunScenario("end");
  ASSERT_TRUE(r.finished);
  EXPECT_EQ(r.exitCode, 7u);
  EXPECT_TRUE(r.boxText.empty()) << r.boxText;
  EXPECT_EQ(r.log, "library 1\nexit routine\nlibrary 6\n");
}

TEST(ProgramEnd, EndProgramOnAWorkerEndsOnTheMainThreadWithTheWorkersCode) {
  ChildRun r = RunScenario("worker");
  ASSERT_TRUE(r.finished);
  EXPECT_EQ(r.exitCode, 42u);
  EXPECT_EQ(r.log, "library 1\nexit routine\nlibrary 6\n");
}

TEST(ProgramEnd, ClosingTheLastWindowEndsTheLoopAndTheProgramWithCodeZero) {
  ChildRun r = RunScenario("lastwindow");
  ASSERT_TRUE(r.finished);
  EXPECT_EQ(r.exitCode, 0u);
  EXPECT_EQ(r.log, "library 1\nloop returned\nexit routine\nlibrary 6\n");
}

TEST(ProgramEnd, MissingStartupWindowIsFatal) {
  ChildRun r = RunScenario("nowindow");
  EXPECT_EQ(r.exitCode, kFatalExit);
  EXPECT_NE(r.boxText.find("错误信息：载入启动窗口失败"), std::string::npos) << r.boxText;
}

TEST(DllCommands, ASystemLibraryPlantedBesideTheProgramIsNeverLoaded) {
  ts::test::TempTree tree("rt_planted");
  const std::string dir = tree.root() + "\\";
  const std::string exe = dir + "runtime_child.exe";
  ASSERT_TRUE(CopyFileA((Here() + "runtime_child.exe").c_str(), exe.c_str(), FALSE));
  ASSERT_TRUE(CopyFileA((Here() + "planted_kernel32.dll").c_str(), (dir + "Kernel32.dll").c_str(), FALSE));
  ChildRun r = RunChild(exe, "planted", dir);
  EXPECT_EQ(r.exitCode, kFatalExit);
  EXPECT_NE(r.boxText.find("错误信息：无法找到指定DLL库文件“Kernel32.dll”中的输出命令“PlantedMarker”"),
            std::string::npos)
      << r.boxText;
}

}  // namespace
