// The runtime spine in one process: record layouts, the service tables,
// find-file, DLL binding, notifications, event dispatch and the idle work
// of the message loop. A registry made of plain test data stands in for
// the form engine through the forms hooks.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "runtime/app.h"
#include "runtime/dispatch.h"
#include "runtime/dll.h"
#include "runtime/error.h"
#include "runtime/forms_link.h"
#include "runtime/notify.h"
#include "runtime/services.h"
#include "runtime/units.h"
#include "runtime/values.h"
#include "tests/support/temp_tree.h"

extern "C" const unsigned char ts_test_handlers[];  // handler_table_test.cpp

namespace {

using ts::NotifyRuntime;
using ts::NotifyWord;

// --- a program with one library holding one event-raising unit type ------
ts::UnitTypeEntry MakeTypes(int i) {
  ts::UnitTypeEntry t{};
  t.name = i == 0 ? "窗口" : "按钮";
  t.stateFlags = i == 0 ? 0x40 : 0x4;
  return t;
}
const ts::UnitTypeEntry kTypes[3] = {MakeTypes(0), MakeTypes(1), ts::UnitTypeEntry{}};

ts::LibraryRecord MakeLibrary() {
  ts::LibraryRecord r{};
  r.formatStamp = 20000101;
  r.unitTypeCount = 3;
  r.unitTypes = kTypes;
  return r;
}
const ts::LibraryRecord kLibrary = MakeLibrary();
const ts::LibraryRecord* const kLibraries[] = {&kLibrary};
const char* const kDllFiles[] = {"", "gdi32.dll", "user32"};
const char* const kDllNames[] = {"CreateFontIndirectA", "#1", "GetInputState"};

ts::ProgramHeader MakeHeader() {
  ts::ProgramHeader h{};
  h.mode = 3;
  h.build = 186146;
  h.codeBase = ts_test_handlers;
  h.libraryCount = 1;
  h.libraries = kLibraries;
  h.dllCount = 3;
  h.dllFiles = kDllFiles;
  h.dllNames = kDllNames;
  return h;
}
const ts::ProgramHeader kHeader = MakeHeader();

// --- the test registry ------------------------------------------------------
constexpr uint32_t kForm = 0x52010001;
constexpr uint32_t kWindowUnit = 0x16010001;
constexpr uint32_t kButton = 0x16010002;

struct Unit {
  uint32_t type;
  std::map<int32_t, uintptr_t> handlers;
};
std::map<uint32_t, std::map<uint32_t, Unit>> g_forms;
std::vector<ts::WindowEntry> g_windows;

ts::HandlerLookup FindHandler(uint32_t form, uint32_t unit, int32_t event, ts::HandlerTarget* t) {
  auto f = g_forms.find(form);
  if (f == g_forms.end()) return ts::HandlerLookup::NoWindow;
  uint32_t id = unit ? unit : kWindowUnit;
  auto u = f->second.find(id);
  if (u == f->second.end()) return ts::HandlerLookup::NoUnit;
  auto h = u->second.handlers.find(event);
  t->handler = h == u->second.handlers.end() ? 0 : h->second;
  t->unitType = u->second.type;
  t->sourceUnitId = id;
  return ts::HandlerLookup::Found;
}
uint32_t WindowCount() { return static_cast<uint32_t>(g_windows.size()); }
bool WindowAt(uint32_t i, ts::WindowEntry* e) {
  if (i >= g_windows.size()) return false;
  *e = g_windows[i];
  return true;
}

// --- handlers -------------------------------------------------------------
std::vector<uint32_t> g_args;
int g_calls = 0;
uint32_t g_seenForm = 0, g_seenUnit = 0;
NotifyWord g_seenHandling = 0;

extern "C" void RecordArgs(uint32_t a, uint32_t b, uint32_t c, uint32_t d, uint32_t e) {
  ++g_calls;
  g_args = {a, b, c, d, e};
  uint32_t src[2] = {};
  g_seenHandling = NotifyRuntime(ts::notify::EventSource, reinterpret_cast<NotifyWord>(src), 0);
  g_seenForm = src[0];
  g_seenUnit = src[1];
}
extern "C" void ReturnsSeven() {
  ++g_calls;
  ts::HandlerReturn(7);
}
extern "C" void ReturnsWide() { ts::HandlerReturn(0x1122334455667788LL); }

class Spine : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    static ts::RuntimeApp app(kHeader, nullptr);
    ts::StartRuntime();
    ts::FormsHooks hooks{};
    hooks.findHandler = FindHandler;
    hooks.windowCount = WindowCount;
    hooks.windowAt = WindowAt;
    ts::RegisterFormsHooks(hooks);
  }
  void SetUp() override {
    g_forms.clear();
    g_windows.clear();
    g_args.clear();
    g_calls = 0;
    g_forms[kForm][kWindowUnit] = Unit{0x10001, {}};
    g_forms[kForm][kButton] = Unit{0x10002, {}};
  }
  static void Bind(uint32_t unit, int32_t event, void (*fn)()) {
    g_forms[kForm][unit].handlers[event] = reinterpret_cast<uintptr_t>(fn);
  }
};

// ---------------------------------------------------------------------------

TEST(Records, LayoutsMatchTheAgreedWords) {
  EXPECT_EQ(offsetof(ts::EventRecord, args), 16u);
  EXPECT_EQ(offsetof(ts::EventRecord, returned), 36u);
  EXPECT_EQ(offsetof(ts::TypedEventRecord, args), 16u);
  EXPECT_EQ(offsetof(ts::TypedEventRecord, returned), 16u + 12 * 16);
  EXPECT_EQ(offsetof(ts::TypedEventRecord, value), 16u + 12 * 16 + 4);
  EXPECT_EQ(sizeof(ts::ServiceTable), 13 * sizeof(void*));
  EXPECT_EQ(sizeof(ts::MiscServiceTable), 7 * sizeof(void*));
}

// Application code reaches the runtime by slot number: slot k of a table is
// word k, and no slot of either table is left empty.
TEST(Records, ServiceSlotsSitAtTheirNumbersAndAreAllFilled) {
  constexpr size_t kWord = sizeof(void*);
  EXPECT_EQ(offsetof(ts::ServiceTable, reportErrorCode), 0 * kWord);
  EXPECT_EQ(offsetof(ts::ServiceTable, callDllCommand), 1 * kWord);
  EXPECT_EQ(offsetof(ts::ServiceTable, callLibraryCommand), 2 * kWord);
  EXPECT_EQ(offsetof(ts::ServiceTable, callCoreCommand), 3 * kWord);
  EXPECT_EQ(offsetof(ts::ServiceTable, getUnitProperty), 4 * kWord);
  EXPECT_EQ(offsetof(ts::ServiceTable, setUnitProperty), 5 * kWord);
  EXPECT_EQ(offsetof(ts::ServiceTable, alloc), 6 * kWord);
  EXPECT_EQ(offsetof(ts::ServiceTable, realloc), 7 * kWord);
  EXPECT_EQ(offsetof(ts::ServiceTable, free), 8 * kWord);
  EXPECT_EQ(offsetof(ts::ServiceTable, endProgram), 9 * kWord);
  EXPECT_EQ(offsetof(ts::ServiceTable, runMessageLoop), 10 * kWord);
  EXPECT_EQ(offsetof(ts::ServiceTable, loadStartupWindow), 11 * kWord);
  EXPECT_EQ(offsetof(ts::ServiceTable, misc), 12 * kWord);
  EXPECT_EQ(offsetof(ts::MiscServiceTable, findFile), 0 * kWord);
  EXPECT_EQ(offsetof(ts::MiscServiceTable, closeFind), 1 * kWord);
  EXPECT_EQ(offsetof(ts::MiscServiceTable, detachArray), 2 * kWord);
  EXPECT_EQ(offsetof(ts::MiscServiceTable, addExitRoutine), 3 * kWord);
  EXPECT_EQ(offsetof(ts::MiscServiceTable, freeArray), 4 * kWord);
  EXPECT_EQ(offsetof(ts::MiscServiceTable, programDirectory), 5 * kWord);
  EXPECT_EQ(offsetof(ts::MiscServiceTable, startRuntime), 6 * kWord);

  void* slots[13];
  std::memcpy(slots, &ts::Services(), sizeof slots);
  for (int k = 0; k < 13; ++k) EXPECT_NE(slots[k], nullptr) << "service slot " << k;
  void* misc[7];
  std::memcpy(misc, ts::Services().misc, sizeof misc);
  for (int k = 0; k < 7; ++k) EXPECT_NE(misc[k], nullptr) << "misc service slot " << k;
}

void SetThirdArgument(ts::ResultRecord* r, int argc, ts::ArgRecord* args) {
  r->v.i32 = argc == 3 ? args[2].v.i32 * 2 : -1;
  r->type = ts::tag::Int;
}

TEST(Records, CommandCallHandsBackAFreshResult) {
  ts::ArgRecord args[3] = {};
  args[2].v.i32 = 21;
  args[2].type = ts::tag::Int;
  ts::ResultRecord r = ts::svc::Core(SetThirdArgument, 3, args);
  EXPECT_EQ(r.v.i32, 42);
  EXPECT_EQ(r.v.w.hi, 0u);
  EXPECT_EQ(r.type, ts::tag::Int);
}

// --- find-file ----------------------------------------------------------
std::vector<std::string> FindAll(const std::string& pattern, uint32_t mask, bool noMask) {
  std::vector<std::string> names;
  void* handle = nullptr;
  for (char* n = ts::FindFile(pattern.c_str(), mask, noMask, &handle); n;
       n = ts::FindFile(nullptr, mask, noMask, &handle)) {
    names.push_back(n);
    ts::Free(n);
  }
  EXPECT_EQ(handle, nullptr);
  EXPECT_EQ(ts::FindFile(nullptr, mask, noMask, &handle), nullptr);  // after the end
  std::sort(names.begin(), names.end());
  return names;
}

TEST(FindFile, NoMaskSkipsFoldersAndDirectoryMaskFindsThem) {
  ts::test::TempTree tree("rt_find");
  const std::string dir = tree.root();
  tree.Dir("子目录");
  tree.File("a.txt", "a");
  tree.File("文件.txt", "b");

  EXPECT_EQ(FindAll(dir + "\\*", 0, true), (std::vector<std::string>{"a.txt", "文件.txt"}));
  std::vector<std::string> dirs = FindAll(dir + "\\*", FILE_ATTRIBUTE_DIRECTORY, false);
  EXPECT_NE(std::find(dirs.begin(), dirs.end(), "子目录"), dirs.end());
  EXPECT_EQ(std::find(dirs.begin(), dirs.end(), "a.txt"), dirs.end());
  EXPECT_TRUE(FindAll(dir + "\\nothing*", 0, true).empty());

  // A new pattern closes the search held in the handle variable.
  void* handle = nullptr;
  char* first = ts::FindFile((dir + "\\*.txt").c_str(), 0, true, &handle);
  ASSERT_NE(first, nullptr);
  ts::Free(first);
  char* again = ts::FindFile((dir + "\\a.*").c_str(), 0, true, &handle);
  EXPECT_STREQ(again, "a.txt");
  ts::Free(again);
  ts::CloseFind(handle);
}

// --- DLL commands -------------------------------------------------------
TEST_F(Spine, DllCommandWithoutFileIsFoundInGdi) {
  uintptr_t p = ts::ResolveDllCommand(0);
  EXPECT_EQ(p, reinterpret_cast<uintptr_t>(GetProcAddress(GetModuleHandleA("gdi32.dll"), "CreateFontIndirectA")));
}

TEST_F(Spine, DllCommandsBindOrdinalsAndNamesWithoutExtension) {
  EXPECT_EQ(ts::ResolveDllCommand(1),
            reinterpret_cast<uintptr_t>(GetProcAddress(GetModuleHandleA("gdi32.dll"), MAKEINTRESOURCEA(1))));
  uint64_t state = ts::CallDllCommand(2, nullptr, 0);  // a balanced stdcall call returns normally
  EXPECT_LE(state, 1u);
}

TEST_F(Spine, SystemLibrariesLoadOnlyFromTheSystemDirectory) {
  char sys[MAX_PATH];
  GetSystemDirectoryA(sys, sizeof sys);
  std::vector<std::string> k = ts::LibraryCandidates("Kernel32.dll");
  ASSERT_EQ(k.size(), 1u);
  EXPECT_EQ(k[0], std::string(sys) + "\\Kernel32.dll");
  ASSERT_EQ(ts::LibraryCandidates("user32").size(), 1u);

  std::vector<std::string> own = ts::LibraryCandidates("ts_no_such_library.dll");
  ASSERT_GE(own.size(), 2u);
  EXPECT_EQ(own.front(), std::string(ts::ProgramDirectory()) + "\\ts_no_such_library.dll");
  EXPECT_EQ(own.back(), "ts_no_such_library.dll");
  EXPECT_EQ(ts::LibraryCandidates("C:\\x\\y.dll"), std::vector<std::string>{"C:\\x\\y.dll"});
}

// --- notifications ------------------------------------------------------
NotifyWord ToInt(ts::TypeTag type, uint64_t bits) {
  ts::ArgRecord a{};
  std::memcpy(a.v.raw, &bits, 8);
  a.type = type;
  return NotifyRuntime(ts::notify::ToInteger, reinterpret_cast<NotifyWord>(&a), 0);
}
uint64_t Bits(double d) {
  uint64_t b;
  std::memcpy(&b, &d, 8);
  return b;
}

TEST_F(Spine, NotificationsAnswerConversionsProgramFactsAndMemory) {
  EXPECT_EQ(ToInt(ts::tag::Byte, 0xFFFFFF80), 0x80u);
  EXPECT_EQ(static_cast<int32_t>(ToInt(ts::tag::Short, 0xFFFE)), -2);
  EXPECT_EQ(ToInt(ts::tag::Long, 0x0000000500000003ULL), 3u);
  EXPECT_EQ(static_cast<int32_t>(ToInt(ts::tag::Double, Bits(-2.7))), -2);
  EXPECT_EQ(static_cast<uint32_t>(ToInt(ts::tag::Double, Bits(1e30))), 0x80000000u);

  EXPECT_EQ(NotifyRuntime(ts::notify::ModeWord, 0, 0), 3u);
  std::string dir = reinterpret_cast<const char*>(NotifyRuntime(ts::notify::ProgramDir, 0, 0));
  std::string file = reinterpret_cast<const char*>(NotifyRuntime(ts::notify::ProgramFile, 0, 0));
  EXPECT_EQ(file, "runtime_spine_test.exe");
  EXPECT_NE(dir.back(), '\\');
  char cwd[MAX_PATH * 2];
  GetCurrentDirectoryA(sizeof cwd, cwd);
  EXPECT_STRCASEEQ(cwd, dir.c_str());

  void* p = reinterpret_cast<void*>(NotifyRuntime(ts::notify::Alloc, 16, 0));
  ASSERT_NE(p, nullptr);
  p = reinterpret_cast<void*>(NotifyRuntime(ts::notify::Realloc, reinterpret_cast<NotifyWord>(p), 4096));
  ASSERT_NE(p, nullptr);
  NotifyRuntime(ts::notify::Free, reinterpret_cast<NotifyWord>(p), 0);
  EXPECT_EQ(NotifyRuntime(ts::notify::Alloc, 0x7FFFFFF0, 1), 0u);  // may fail: null, not fatal
}

TEST_F(Spine, WindowListAnswersOnlyLiveWindows) {
  HWND live = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  HWND dead = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  DestroyWindow(dead);
  g_windows = {{kForm, live}, {0x52011986, dead}};
  EXPECT_EQ(NotifyRuntime(ts::notify::WindowCount, 0, 0), 2u);
  EXPECT_EQ(NotifyRuntime(ts::notify::WindowAt, 0, 0), reinterpret_cast<NotifyWord>(live));
  EXPECT_EQ(NotifyRuntime(ts::notify::WindowAt, 1, 0), 0u);
  EXPECT_EQ(NotifyRuntime(ts::notify::WindowAt, 2, 0), 0u);
  DestroyWindow(live);
}

// --- event dispatch -----------------------------------------------------
TEST_F(Spine, EventReachesItsHandlerWithArgumentsAndSource) {
  Bind(kButton, 0, reinterpret_cast<void (*)()>(RecordArgs));
  ts::EventRecord ev{kForm, kButton, 0, 3, {11, 22, 33, 0, 0}, 0, 0};
  EXPECT_EQ(NotifyRuntime(ts::notify::RaiseEvent, reinterpret_cast<NotifyWord>(&ev), 0), 1u);
  EXPECT_EQ(g_calls, 1);
  EXPECT_EQ(g_args[0], 11u);
  EXPECT_EQ(g_args[2], 33u);
  EXPECT_EQ(g_seenHandling, 1u);
  EXPECT_EQ(g_seenForm, kForm);
  EXPECT_EQ(g_seenUnit, kButton);
  EXPECT_EQ(ev.returned, 0u);  // no value returned: record unchanged
  uint32_t src[2] = {9, 9};
  EXPECT_EQ(NotifyRuntime(ts::notify::EventSource, reinterpret_cast<NotifyWord>(src), 0), 0u);
}

TEST_F(Spine, WindowEventWithUnitZeroNamesTheWindowUnitAsSource) {
  Bind(kWindowUnit, 1, reinterpret_cast<void (*)()>(RecordArgs));
  ts::EventRecord ev{kForm, 0, 1, 0, {}, 0, 0};
  EXPECT_EQ(ts::RaiseEvent(ev), 1);
  EXPECT_EQ(g_seenUnit, kWindowUnit);
}

TEST_F(Spine, ReturnedValuesAreStoredWithTheFlag) {
  Bind(kButton, 3, ReturnsSeven);
  ts::EventRecord ev{kForm, kButton, 3, 0, {}, 0, 0};
  EXPECT_EQ(ts::RaiseEvent(ev), 1);
  EXPECT_EQ(ev.returned, 1u);
  EXPECT_EQ(ev.value, 7u);

  Bind(kButton, 4, ReturnsWide);
  ts::TypedEventRecord typed{};
  typed.formId = kForm;
  typed.unitId = kButton;
  typed.event = 4;
  EXPECT_EQ(ts::RaiseTypedEvent(typed), 1);
  EXPECT_EQ(typed.returned, 1u);
  EXPECT_EQ(typed.value, 0x1122334455667788LL);
}

TEST_F(Spine, TypedArgumentsArePushedByTheirType) {
  Bind(kButton, 5, reinterpret_cast<void (*)()>(RecordArgs));
  ts::TypedEventRecord t{};
  t.formId = kForm;
  t.unitId = kButton;
  t.event = 5;
  t.argCount = 3;
  t.args[0].type = ts::tag::Byte;
  std::memset(t.args[0].value, 0xFF, 8);  // only the low byte counts
  t.args[1].type = ts::tag::Short;
  t.args[1].value[0] = 0xFE;
  t.args[1].value[1] = 0xFF;
  t.args[2].type = ts::tag::Double;
  double d = 1.5;
  std::memcpy(t.args[2].value, &d, 8);
  EXPECT_EQ(ts::RaiseTypedEvent(t), 1);
  EXPECT_EQ(g_args[0], 0xFFu);
  EXPECT_EQ(g_args[1], 0xFFFFFFFEu);
  uint64_t bits = g_args[2] | (static_cast<uint64_t>(g_args[3]) << 32);
  EXPECT_EQ(bits, Bits(1.5));
}

TEST_F(Spine, UnitWithoutHandlerReturnsZeroWithoutError) {
  g_forms[kForm][kButton].handlers[0] = 0;  // offset -1 relocated to 0
  ts::EventRecord ev{kForm, kButton, 0, 0, {}, 0, 0};
  EXPECT_EQ(ts::RaiseEvent(ev), 0);
  ts::EventRecord other{kForm, kButton, 9, 0, {}, 0, 0};
  EXPECT_EQ(ts::RaiseEvent(other), 0);
}

TEST_F(Spine, EventsAreIgnoredWhileSuppressed) {
  Bind(kButton, 0, ReturnsSeven);
  ts::EventRecord ev{kForm, kButton, 0, 0, {}, 0, 0};
  NotifyRuntime(ts::notify::StopEvents, 0, 0);
  NotifyRuntime(ts::notify::StopEvents, 0, 0);
  EXPECT_EQ(ts::RaiseEvent(ev), 0);
  NotifyRuntime(ts::notify::ResumeEvents, 0, 0);
  EXPECT_EQ(ts::RaiseEvent(ev), 0);
  NotifyRuntime(ts::notify::ResumeEvents, 0, 0);
  NotifyRuntime(ts::notify::ResumeEvents, 0, 0);  // never below zero
  EXPECT_EQ(ts::RaiseEvent(ev), 1);
  EXPECT_EQ(g_calls, 1);
  // Even a window that does not exist is not looked up while suppressed.
  ts::SuppressEvents();
  ts::EventRecord nowhere{0x1234, 0, 0, 0, {}, 0, 0};
  EXPECT_EQ(ts::RaiseEvent(nowhere), 0);
  ts::AllowEvents();
}

TEST_F(Spine, UnitTypesAreFoundByLibraryAndNumber) {
  EXPECT_NE(ts::FindUnitType(0x10001), nullptr);
  EXPECT_EQ(ts::FindUnitType(0x10003), nullptr);  // empty slot
  EXPECT_EQ(ts::FindUnitType(0x10004), nullptr);
  EXPECT_EQ(ts::FindUnitType(0x20001), nullptr);  // no such library
}

// --- the message loop's idle work ----------------------------------------
int g_liveCalls = 0, g_deadCalls = 0;
void LiveIdle(uintptr_t arg) {
  ++g_liveCalls;
  if (arg == 1) ts::EndModalLoop();
}
void DeadIdle(uintptr_t) { ++g_deadCalls; }

TEST_F(Spine, IdleCallbacksOfDestroyedWindowsAreRemovedUncalled) {
  HWND live = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  HWND dead = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  uint32_t a[3] = {reinterpret_cast<uint32_t>(live), reinterpret_cast<uint32_t>(&LiveIdle), 1};
  uint32_t b[3] = {reinterpret_cast<uint32_t>(dead), reinterpret_cast<uint32_t>(&DeadIdle), 0};
  NotifyRuntime(ts::notify::IdleAdd, reinterpret_cast<NotifyWord>(a), 0);
  NotifyRuntime(ts::notify::IdleAdd, reinterpret_cast<NotifyWord>(a), 0);  // same window: ignored
  NotifyRuntime(ts::notify::IdleAdd, reinterpret_cast<NotifyWord>(b), 0);
  DestroyWindow(dead);
  MSG m;
  while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&m);
  ts::RunModalLoop();  // the live callback ends it from the idle phase
  EXPECT_EQ(g_liveCalls, 1);
  EXPECT_EQ(g_deadCalls, 0);
  NotifyRuntime(ts::notify::IdleRemove, reinterpret_cast<NotifyWord>(live), 0);
  DestroyWindow(live);
}

int g_idleEvents = 0;
uint32_t g_idleMs = 0xFFFFFFFF;
extern "C" void OnIdleEvent(uint32_t ms) {
  g_idleMs = ms;
  if (++g_idleEvents < 3) {
    ts::HandlerReturn(1);  // more idle calls, please
  } else {
    ts::EndModalLoop();
  }
}

TEST_F(Spine, IdleRaisesWindowEventSevenWhileHandlersAskForMore) {
  HWND w = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  g_windows = {{kForm, w}};
  Bind(kWindowUnit, 7, reinterpret_cast<void (*)()>(OnIdleEvent));
  MSG m;
  while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&m);
  ts::RunModalLoop();
  EXPECT_EQ(g_idleEvents, 3);
  EXPECT_LT(g_idleMs, 10000u);
  g_windows.clear();
  DestroyWindow(w);
}

TEST_F(Spine, ModalLoopLeavesTheQuitMessageForTheMainLoop) {
  PostQuitMessage(5);
  ts::RunModalLoop();
  MSG m;
  ASSERT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(m.message, static_cast<UINT>(WM_QUIT));
  EXPECT_EQ(m.wParam, 5u);
}

}  // namespace
