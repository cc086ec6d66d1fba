// Loading windows: creation order and control ids, parents and stacking,
// reuse of a live window, the first events and the message sequence, a
// failed load, and the window commands.
#include <gtest/gtest.h>

#include <algorithm>

#include "forms/engine/engine.h"
#include "forms/engine/window_commands.h"
#include "tests/engine/fixture.h"

namespace engtest {
namespace {

using Strings = std::vector<std::string>;

ts::ArgRecord UnitRef(uint32_t form, uint32_t unit) {
  ts::ArgRecord a{};
  a.v.w.lo = form;
  a.v.w.hi = unit;
  a.type = kWindowType;
  return a;
}

class Loading : public ::testing::Test {
 protected:
  void SetUp() override { Log().clear(); g_visibleAtEarlyEvents.clear(); }
  void TearDown() override {
    for (uint32_t f : {kLoadForm, kPlainForm, kFailForm, kDockForm}) Unload(f);
  }
};

TEST_F(Loading, ControlsGetIdsFrom100InStepsOf10LastUnitFirst) {
  ASSERT_TRUE(ts::forms::LoadWindow(kLoadForm, nullptr, false));
  EXPECT_EQ(::GetDlgCtrlID(ControlHandle(kLoadForm, 4)), 100);
  EXPECT_EQ(::GetDlgCtrlID(ControlHandle(kLoadForm, 3)), 110);
  EXPECT_EQ(::GetDlgCtrlID(ControlHandle(kLoadForm, 2)), 120);
  EXPECT_EQ(::GetDlgCtrlID(ControlHandle(kLoadForm, 1)), 130);
}

TEST_F(Loading, ControlsSitInTheirParentUnitAndSiblingsStackInUnitOrder) {
  ASSERT_TRUE(ts::forms::LoadWindow(kLoadForm, nullptr, false));
  HWND window = WindowOf(kLoadForm);
  HWND c1 = ControlHandle(kLoadForm, 1), c2 = ControlHandle(kLoadForm, 2);
  HWND c3 = ControlHandle(kLoadForm, 3), c4 = ControlHandle(kLoadForm, 4);
  EXPECT_EQ(::GetParent(c1), window);
  EXPECT_EQ(::GetParent(c3), c2);
  EXPECT_EQ(::GetParent(c4), c2);
  // The earliest unit is on top among its siblings.
  EXPECT_EQ(::GetWindow(window, GW_CHILD), c1);
  EXPECT_EQ(::GetWindow(c1, GW_HWNDNEXT), c2);
  EXPECT_EQ(::GetWindow(c2, GW_CHILD), c3);
  EXPECT_EQ(::GetWindow(c3, GW_HWNDNEXT), c4);
  // Positions count from the parent unit's client area.
  RECT r;
  ::GetWindowRect(c3, &r);
  ::MapWindowPoints(nullptr, c2, reinterpret_cast<POINT*>(&r), 2);
  EXPECT_EQ(r.left, 5);
  EXPECT_EQ(r.top, 5);
  EXPECT_TRUE(::IsWindowVisible(c4));
}

TEST_F(Loading, ReloadingALiveWindowReusesItWithoutNewEvents) {
  ASSERT_TRUE(ts::forms::LoadWindow(kPlainForm, nullptr, false));
  HWND first = WindowOf(kPlainForm);
  ASSERT_TRUE(ts::forms::LoadWindow(kPlainForm, nullptr, false));
  EXPECT_EQ(WindowOf(kPlainForm), first);
  EXPECT_EQ(LogOf({"W0"}).size(), 1u);
  ::ShowWindow(first, SW_MINIMIZE);
  ASSERT_TRUE(ts::forms::LoadWindow(kPlainForm, nullptr, false));
  EXPECT_FALSE(::IsIconic(first));
}

TEST_F(Loading, Events0Then3Then4RunOnceBeforeTheWindowIsShown) {
  ASSERT_TRUE(ts::forms::LoadWindow(kPlainForm, nullptr, false));
  Strings early = LogOf({"W0", "W3", "W4"});
  ASSERT_GE(early.size(), 3u);
  EXPECT_EQ(Strings(early.begin(), early.begin() + 3), (Strings{"W0", "W3", "W4"}));
  EXPECT_EQ(LogOf({"W0"}).size(), 1u);
  ASSERT_GE(g_visibleAtEarlyEvents.size(), 3u);
  EXPECT_FALSE(g_visibleAtEarlyEvents[0] || g_visibleAtEarlyEvents[1] || g_visibleAtEarlyEvents[2]);
  EXPECT_TRUE(::IsWindowVisible(WindowOf(kPlainForm)));
}

TEST_F(Loading, MinimisingAndRestoringEachRaiseEvent4) {
  ASSERT_TRUE(ts::forms::LoadWindow(kPlainForm, nullptr, false));
  HWND w = WindowOf(kPlainForm);
  Log().clear();
  ::ShowWindow(w, SW_MINIMIZE);
  EXPECT_EQ(LogOf({"W4"}).size(), 1u);
  ::ShowWindow(w, SW_RESTORE);
  EXPECT_EQ(LogOf({"W4"}).size(), 2u);
}

TEST_F(Loading, MessagesAndEventsOfALoadComeInTheirOrder) {
  ASSERT_TRUE(ts::forms::LoadWindow(kLoadForm, nullptr, false));
  Strings seen = LogOf({"U*", "S*", "W0", "W3", "W4", "W10"});
  EXPECT_EQ(seen, (Strings{"U4", "U3", "U2", "U1", "W0", "W3", "W4", "W10", "S4", "S3", "S2", "S1"}));
}

TEST_F(Loading, AUnitThatCannotBeCreatedFailsTheLoadAndLeavesNothing) {
  EXPECT_FALSE(ts::forms::LoadWindow(kFailForm, nullptr, false));
  EXPECT_EQ(WindowOf(kFailForm), nullptr);
  EXPECT_EQ(ControlHandle(kFailForm, 1), nullptr);
  EXPECT_TRUE(LogOf({"W*"}).empty());
  // The form can be tried again and fails the same way.
  EXPECT_FALSE(ts::forms::LoadWindow(kFailForm, nullptr, false));
}

TEST_F(Loading, LoadWindowCommandRefusesAParentThatIsNotLoaded) {
  ts::ArgRecord args[3] = {UnitRef(kPlainForm, 0), UnitRef(kLoadForm, 0), {}};
  ts::ResultRecord r{};
  ts::forms::CmdLoadWindow(&r, 2, args);
  EXPECT_EQ(r.type, ts::tag::Bool);
  EXPECT_EQ(r.v.i32, 0);
  EXPECT_EQ(WindowOf(kPlainForm), nullptr);

  ASSERT_TRUE(ts::forms::LoadWindow(kLoadForm, nullptr, false));
  ts::forms::CmdLoadWindow(&r, 2, args);
  EXPECT_EQ(r.v.i32, 1);
  EXPECT_EQ(::GetWindow(WindowOf(kPlainForm), GW_OWNER), WindowOf(kLoadForm));
}

TEST_F(Loading, DestroyUnitRemovesAControlAtOnceAndAWindowThroughItsQueue) {
  ASSERT_TRUE(ts::forms::LoadWindow(kLoadForm, nullptr, false));
  ts::ResultRecord r{};
  ts::ArgRecord control = UnitRef(kLoadForm, ControlOf(kLoadForm, 1));
  ts::forms::CmdDestroyUnit(&r, 1, &control);
  EXPECT_EQ(ControlHandle(kLoadForm, 1), nullptr);

  ts::ArgRecord window = UnitRef(kLoadForm, WindowUnitOf(kLoadForm));
  ts::forms::CmdDestroyUnit(&r, 1, &window);
  EXPECT_NE(WindowOf(kLoadForm), nullptr);  // posted, not yet handled
  EXPECT_TRUE(PumpUntil([] { return WindowOf(kLoadForm) == nullptr; }));
  EXPECT_EQ(ControlHandle(kLoadForm, 2), nullptr);
  EXPECT_TRUE(LogOf({"W12", "W1"}).empty());  // a close command asks nobody
  EXPECT_EQ(LogOf({"W2"}).size(), 1u);

  // A window marked closing is replaced at once by a new load.
  ASSERT_TRUE(ts::forms::LoadWindow(kLoadForm, nullptr, false));
  HWND old = WindowOf(kLoadForm);
  ts::forms::CmdDestroyUnit(&r, 1, &window);
  ASSERT_TRUE(ts::forms::LoadWindow(kLoadForm, nullptr, false));
  EXPECT_NE(WindowOf(kLoadForm), nullptr);
  EXPECT_FALSE(::IsWindow(old));
}

TEST_F(Loading, RepaintInvalidatesTheWindowAndItsTransparentChildrenOnly) {
  ASSERT_TRUE(ts::forms::LoadWindow(kLoadForm, nullptr, false));
  HWND window = WindowOf(kLoadForm), c1 = ControlHandle(kLoadForm, 1), c2 = ControlHandle(kLoadForm, 2);
  ::SetWindowLongA(c1, GWL_EXSTYLE, ::GetWindowLongA(c1, GWL_EXSTYLE) | WS_EX_TRANSPARENT);
  for (HWND h : {window, c1, c2}) ::ValidateRect(h, nullptr);
  ts::ResultRecord r{};
  ts::ArgRecord ref = UnitRef(kLoadForm, 0);
  ts::forms::CmdRepaint(&r, 1, &ref);
  EXPECT_TRUE(::GetUpdateRect(window, nullptr, FALSE));
  EXPECT_TRUE(::GetUpdateRect(c1, nullptr, FALSE));
  EXPECT_FALSE(::GetUpdateRect(c2, nullptr, FALSE));

  ::ValidateRect(c2, nullptr);
  ts::ArgRecord control = UnitRef(kLoadForm, ControlOf(kLoadForm, 2));
  ts::forms::CmdRepaint(&r, 1, &control);
  EXPECT_TRUE(::GetUpdateRect(c2, nullptr, FALSE));
}

TEST_F(Loading, DockedBarsKeepToTheTopAndBottomEdgesAsTheWindowResizes) {
  ASSERT_TRUE(ts::forms::LoadWindow(kDockForm, nullptr, false));
  HWND window = WindowOf(kDockForm);
  auto place = [&](uint32_t k) {
    RECT r;
    ::GetWindowRect(ControlHandle(kDockForm, k), &r);
    ::MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&r), 2);
    return r;
  };
  RECT client;
  ::GetClientRect(window, &client);
  RECT top = place(1), bottom = place(2);
  EXPECT_EQ(top.top, 0);
  EXPECT_EQ(top.right - top.left, client.right);
  EXPECT_EQ(top.bottom - top.top, 20);
  EXPECT_EQ(bottom.bottom, client.bottom);
  EXPECT_EQ(bottom.bottom - bottom.top, 30);

  WindowEvents().clear();
  ts::forms::SetUnitProperty(kDockForm, 0, 2, -1, 400);
  ts::forms::SetUnitProperty(kDockForm, 0, 3, -1, 300);
  ::GetClientRect(window, &client);
  top = place(1);
  bottom = place(2);
  EXPECT_EQ(top.right - top.left, client.right);
  EXPECT_EQ(bottom.bottom, client.bottom);
  EXPECT_EQ(std::count(WindowEvents().begin(), WindowEvents().end(), std::pair<uint32_t, int>{kDockForm, 4}), 2);
  EXPECT_EQ(std::count(WindowEvents().begin(), WindowEvents().end(), std::pair<uint32_t, int>{kDockForm, 3}), 0);
}

}  // namespace
}  // namespace engtest
