// Starting and stopping worker threads, and the library's notify function.
#include "libs/thread/thread_library.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>

#include "tests/support/args.h"
#include "tests/support/wait.h"

namespace {

std::atomic<int> g_ran{0};
std::atomic<uint32_t> g_parameter{0xDEAD};
HANDLE g_release = nullptr;  // a waiting routine returns when this is set

// An application subroutine without parameters (cdecl, as handlers are).
extern "C" void Plain() { ++g_ran; }
// A subroutine that takes the thread parameter, stdcall like a platform
// thread routine.
DWORD WINAPI WithParameter(void* p) {
  g_parameter = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(p));
  ++g_ran;
  return 0;
}
// cdecl with the parameter, then waits until released.
extern "C" void Waiting(uint32_t parameter) {
  g_parameter = parameter;
  ++g_ran;
  WaitForSingleObject(g_release, INFINITE);
}

using ts::test::Int;

ts::ArgRecord Routine(const void* fn) { return ts::test::Pointer(ts::tag::SubPtr, fn); }
// An integer variable the command writes into.
ts::ArgRecord Variable(int32_t* var) { return ts::test::Pointer(ts::tag::Int, var); }

bool Start(std::vector<ts::ArgRecord> args) {
  ts::ResultRecord r{};
  ts::StartThread(&r, static_cast<int>(args.size()), args.data());
  EXPECT_EQ(r.type, ts::tag::Bool);
  return r.v.i32 != 0;
}
int32_t Stop(int32_t handle) {
  ts::ResultRecord r{};
  ts::ArgRecord a = Int(handle);
  ts::StopThread(&r, 1, &a);
  return r.v.i32;
}

bool WaitUntil(const std::atomic<int>& counter, int value) {
  return ts::test::WaitFor([&] { return counter.load() >= value; }, 5000);
}

TEST(StartThread, RunsTheSubroutineDetachedWhenGivenOnlyTheSubroutine) {
  g_ran = 0;
  EXPECT_TRUE(Start({Routine(reinterpret_cast<const void*>(&Plain))}));
  EXPECT_TRUE(WaitUntil(g_ran, 1));
}

TEST(StartThread, PassesTheParameterOrZero) {
  g_ran = 0;
  EXPECT_TRUE(Start({Routine(reinterpret_cast<const void*>(&WithParameter)), Int(1234)}));
  ASSERT_TRUE(WaitUntil(g_ran, 1));
  EXPECT_EQ(g_parameter.load(), 1234u);
  // An omitted parameter counts as 0.
  EXPECT_TRUE(Start({Routine(reinterpret_cast<const void*>(&WithParameter)), ts::test::Omitted()}));
  ASSERT_TRUE(WaitUntil(g_ran, 2));
  EXPECT_EQ(g_parameter.load(), 0u);
}

TEST(StartThread, StoresTheHandleThatStopsTheThread) {
  g_ran = 0;
  g_release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  int32_t handle = 0;
  ASSERT_TRUE(Start({Routine(reinterpret_cast<const void*>(&Waiting)), Int(77), Variable(&handle)}));
  ASSERT_NE(handle, 0);
  ASSERT_TRUE(WaitUntil(g_ran, 1));
  EXPECT_EQ(g_parameter.load(), 77u);
  HANDLE thread = reinterpret_cast<HANDLE>(static_cast<uintptr_t>(static_cast<uint32_t>(handle)));
  EXPECT_EQ(WaitForSingleObject(thread, 0), static_cast<DWORD>(WAIT_TIMEOUT)) << "still waiting";
  EXPECT_NE(Stop(handle), 0);
  ASSERT_EQ(WaitForSingleObject(thread, 5000), static_cast<DWORD>(WAIT_OBJECT_0));
  DWORD code = 0;
  ASSERT_TRUE(GetExitCodeThread(thread, &code));
  EXPECT_EQ(code, 0xFFFFFFFFu);
  // The handle stays open for its owner; stopping an ended thread is no error.
  Stop(handle);
  EXPECT_NE(CloseHandle(thread), 0);
  CloseHandle(g_release);
}

TEST(StartThread, GivesFalseAndAZeroHandleWithoutASubroutine) {
  int32_t handle = 99;
  EXPECT_FALSE(Start({Routine(nullptr), Int(1), Variable(&handle)}));
  EXPECT_EQ(handle, 0);
}

TEST(StopThread, AnswersFalseForAnInvalidHandle) {
  EXPECT_EQ(Stop(0), 0);
  EXPECT_EQ(Stop(0x7FFFFFF0), 0);
}

ts::NotifyWord FakeRuntime(int32_t, ts::NotifyWord, ts::NotifyWord) { return 0; }

TEST(ThreadLibraryNotify, KeepsTheRuntimeAndDeletesTheSectionsAtTheEnd) {
  EXPECT_EQ(ts::ThreadLibraryNotify(1, reinterpret_cast<ts::NotifyWord>(&FakeRuntime), 0), 0u);
  EXPECT_EQ(ts::ThreadLibraryRuntime(), &FakeRuntime);
  EXPECT_EQ(ts::ThreadLibraryNotify(6, 0, 0), 0u) << "an empty list is fine";
  auto* a = static_cast<CRITICAL_SECTION*>(ts::NewLibraryCriticalSection());
  ts::NewLibraryCriticalSection();
  EnterCriticalSection(a);
  LeaveCriticalSection(a);
  EXPECT_EQ(ts::LibraryCriticalSectionCount(), 2u);
  EXPECT_EQ(ts::ThreadLibraryNotify(6, 0, 0), 0u);
  EXPECT_EQ(ts::LibraryCriticalSectionCount(), 0u);
  EXPECT_EQ(ts::ThreadLibraryNotify(2, 0, 0), static_cast<ts::NotifyWord>(-1));
}

}  // namespace
