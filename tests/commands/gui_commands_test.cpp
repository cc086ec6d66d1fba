// Message boxes and event pumping, observed from a helper thread.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "runtime/commands/commands.h"
#include "runtime/forms_link.h"
#include "tests/support/args.h"
#include "tests/support/dialogs.h"
#include "tests/support/test_support.h"

using namespace ts::test;

namespace {

// What the helper saw of the box before pressing a button in it.
struct BoxSeen {
  bool found = false;
  std::string caption, text;
  HWND owner = nullptr;
  bool ownerEnabled = true;
};

// Shows a message box through ShowMessage on this thread while a helper
// finds it, notes what it shows and presses `button`.
int32_t ShowAndPress(std::vector<ts::ArgRecord> args, int button, BoxSeen* seen, HWND watch = nullptr) {
  ts::test::ExpectMessageBoxes guard;
  std::thread helper([&] {
    const Dialog box = WaitForDialog();
    if (!box.hwnd || !box.messageBox) return;
    seen->found = true;
    seen->caption = box.caption;
    seen->text = box.text;
    seen->owner = GetWindow(box.hwnd, GW_OWNER);
    if (watch) seen->ownerEnabled = IsWindowEnabled(watch) != FALSE;
    PressButton(box.hwnd, button);
  });
  const ts::ResultRecord r = Call(ts::ShowMessage, std::move(args));
  helper.join();
  EXPECT_EQ(r.type, ts::tag::Int);
  return r.v.i32;
}

HWND MakeTopWindow(const char* title) {
  return CreateWindowExA(0, "STATIC", title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 200, 100, nullptr, nullptr,
                         GetModuleHandleA(nullptr), nullptr);
}

TEST(ShowMessage, ShowsTheTextUnderTheDefaultCaptionAndMapsOk) {
  BoxSeen seen;
  EXPECT_EQ(ShowAndPress({Text("你好"), Int(MB_ICONSTOP)}, IDOK, &seen), 0);
  ASSERT_TRUE(seen.found);
  EXPECT_EQ(seen.caption, "信息：");
  EXPECT_EQ(seen.text, "你好");
  EXPECT_EQ(seen.owner, nullptr);
}

TEST(ShowMessage, MapsTheButtonsToTheirNumbers) {
  BoxSeen seen;
  EXPECT_EQ(ShowAndPress({Int(42), Int(MB_YESNO), Text("问")}, IDNO, &seen), 6);
  EXPECT_EQ(seen.text, "42");
  EXPECT_EQ(seen.caption, "问");
  EXPECT_EQ(ShowAndPress({Bool(true), Int(MB_YESNO)}, IDYES, &seen), 5);
  EXPECT_EQ(seen.text, "真");
  EXPECT_EQ(ShowAndPress({Text("x"), Int(MB_OKCANCEL)}, IDCANCEL, &seen), 1);
  EXPECT_EQ(ShowAndPress({Text("x"), Int(MB_RETRYCANCEL)}, IDRETRY, &seen), 3);
}

TEST(ShowMessage, IsTaskModalWithoutAnOwner) {
  HWND window = MakeTopWindow("top");
  BoxSeen seen;
  ShowAndPress({Text("m"), Int(0)}, IDOK, &seen, window);
  EXPECT_FALSE(seen.ownerEnabled) << "the thread's windows are disabled while the box shows";
  EXPECT_TRUE(IsWindowEnabled(window));
  DestroyWindow(window);
}

TEST(ShowMessage, TakesAnIntegerAsOwnerOnlyAsTheFourthArgument) {
  HWND window = MakeTopWindow("owner");
  BoxSeen seen;
  const ts::ArgRecord owner = Int(static_cast<int32_t>(reinterpret_cast<uintptr_t>(window)));
  ShowAndPress({Text("m"), Int(0), Omitted(), owner}, IDOK, &seen);
  EXPECT_EQ(seen.owner, window);
  EXPECT_EQ(seen.caption, "信息：");
  ShowAndPress({Text("m"), Int(0), Text("c"), owner, Int(0)}, IDOK, &seen);
  EXPECT_EQ(seen.owner, nullptr) << "five arguments: no owner";
  DestroyWindow(window);
}

HWND g_formWindow = nullptr;
uint32_t FakeWindowCount() { return 2; }
bool FakeWindowAt(uint32_t i, ts::WindowEntry* e) {
  e->formId = i == 0 ? 0x52011986 : 0x52010001;
  e->hwnd = i == 0 ? nullptr : g_formWindow;
  return true;
}

TEST(ShowMessage, TakesAUnitReferenceAsItsWindowsHandle) {
  g_formWindow = MakeTopWindow("form");
  ts::FormsHooks hooks{};
  hooks.windowCount = FakeWindowCount;
  hooks.windowAt = FakeWindowAt;
  ts::RegisterFormsHooks(hooks);
  BoxSeen seen;
  // A control of the main window: unit type 0x10005 (edit box), form and unit ids.
  ShowAndPress({Text("m"), Int(0), Omitted(), Of(0x10005, 0x52010001, 0x160A0001)}, IDOK, &seen);
  EXPECT_EQ(seen.owner, g_formWindow);
  ShowAndPress({Text("m"), Int(0), Omitted(), Of(0x10001, 0x52011986, 0)}, IDOK, &seen);
  EXPECT_EQ(seen.owner, nullptr) << "a window that is not alive gives no owner";
  DestroyWindow(g_formWindow);
}

// A window that counts the private messages it receives.
std::atomic<int> g_received{0};
LRESULT CALLBACK CountingProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_APP + 1) ++g_received;
  return DefWindowProcA(hwnd, msg, wp, lp);
}

HWND MakeCountingWindow() {
  WNDCLASSA wc{};
  wc.lpfnWndProc = CountingProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "TsCountingWindow";
  RegisterClassA(&wc);
  return CreateWindowExA(0, "TsCountingWindow", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
}

TEST(ProcessEvents, DispatchesEveryWaitingMessageOfTheCallingThread) {
  std::thread worker([] {
    HWND w = MakeCountingWindow();
    g_received = 0;
    for (int i = 0; i < 3; ++i) PostMessageA(w, WM_APP + 1, 0, 0);
    Call(ts::ProcessEvents, {});
    EXPECT_EQ(g_received.load(), 3);
    MSG msg;
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, WM_APP + 1, WM_APP + 1, PM_NOREMOVE));
    DestroyWindow(w);
  });
  worker.join();
}

TEST(ProcessEvents, StopsBeforeTheQuitMessageAndLeavesItWaiting) {
  std::thread worker([] {
    HWND w = MakeCountingWindow();
    g_received = 0;
    PostMessageA(w, WM_APP + 1, 0, 0);
    PostThreadMessageA(GetCurrentThreadId(), WM_QUIT, 7, 0);
    PostMessageA(w, WM_APP + 1, 0, 0);
    Call(ts::ProcessEvents, {});
    EXPECT_EQ(g_received.load(), 1);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(msg.wParam, 7u);
    DestroyWindow(w);
  });
  worker.join();
}

}  // namespace
