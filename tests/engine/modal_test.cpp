// Modal windows, closing and the keyboard handling of a window.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "forms/engine/engine.h"
#include "tests/engine/fixture.h"
#include "tests/support/wait.h"

namespace engtest {
namespace {

using Strings = std::vector<std::string>;

using ts::test::WaitFor;

class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Log().clear();
    g_refuse12 = g_refuse1 = false;
  }
  void TearDown() override {
    g_refuse12 = g_refuse1 = false;
    for (uint32_t f : {kLoadForm, kPlainForm, kModalForm, kHiddenForm, kTabForm, kButtonForm}) Unload(f);
  }
  // Posts a key to the focused window and pumps it through the runtime.
  static void Key(UINT message, WPARAM vk, LPARAM keyData = 0) {
    HWND focus = ::GetFocus();
    ASSERT_NE(focus, nullptr);
    ::PostMessageA(focus, message, vk, keyData);
    ASSERT_TRUE(Flush());
  }
};

TEST_F(WindowTest, AModalWindowDisablesTheOthersAndRestoresEachOneAsItWas) {
  ASSERT_TRUE(ts::forms::LoadWindow(kPlainForm, nullptr, false));
  ASSERT_TRUE(ts::forms::LoadWindow(kLoadForm, nullptr, false));
  HWND plain = WindowOf(kPlainForm), already = WindowOf(kLoadForm);
  ::EnableWindow(already, FALSE);

  std::atomic<bool> plainDisabledMeanwhile{false};
  std::thread closer([&] {
    // The window shows first and disables the others right after.
    plainDisabledMeanwhile = WaitFor([&] {
      HWND m = WindowOf(kModalForm);
      return m && ::IsWindowVisible(m) && !::IsWindowEnabled(plain);
    });
    WaitFor([] { return WindowOf(kModalForm) != nullptr; });
    ::PostMessageA(WindowOf(kModalForm), WM_CLOSE, 0, 0);
  });
  EXPECT_TRUE(ts::forms::LoadWindow(kModalForm, nullptr, true));  // returns when closed
  closer.join();
  EXPECT_TRUE(plainDisabledMeanwhile);
  EXPECT_EQ(WindowOf(kModalForm), nullptr);
  EXPECT_TRUE(::IsWindowEnabled(plain));
  EXPECT_FALSE(::IsWindowEnabled(already));
}

TEST_F(WindowTest, AStoredHiddenModalWindowShowsOnTheFirstVisibleWriteAndBlocksThere) {
  ASSERT_TRUE(ts::forms::LoadWindow(kPlainForm, nullptr, false));
  HWND plain = WindowOf(kPlainForm);
  ASSERT_TRUE(ts::forms::LoadWindow(kHiddenForm, nullptr, true));  // returns at once
  HWND hidden = WindowOf(kHiddenForm);
  ASSERT_NE(hidden, nullptr);
  EXPECT_FALSE(::IsWindowVisible(hidden));
  EXPECT_FALSE(::IsWindowEnabled(plain));

  std::atomic<bool> shown{false};
  std::thread closer([&] {
    shown = WaitFor([&] { return ::IsWindowVisible(hidden) != FALSE; });
    ::PostMessageA(hidden, WM_CLOSE, 0, 0);
  });
  ts::forms::SetUnitProperty(kHiddenForm, 0, 5, -1, 1);  // blocks in the modal loop
  closer.join();
  EXPECT_TRUE(shown);
  EXPECT_FALSE(::IsWindow(hidden));
  EXPECT_TRUE(::IsWindowEnabled(plain));
  // The write went to the stored form as well: the next load would show it.
  EXPECT_EQ(ts::forms::GetUnitProperty(kHiddenForm, 0, 5, -1), 1u);
  ts::forms::SetUnitProperty(kHiddenForm, 0, 5, -1, 0);
}

TEST_F(WindowTest, ACloseRefusedByEvent12NeverRaisesEvent1) {
  ASSERT_TRUE(ts::forms::LoadWindow(kPlainForm, nullptr, false));
  HWND w = WindowOf(kPlainForm);
  Log().clear();
  g_refuse12 = true;
  ::SendMessageA(w, WM_CLOSE, 0, 0);
  EXPECT_TRUE(::IsWindow(w));
  EXPECT_EQ(LogOf({"W12", "W1", "W2"}), (Strings{"W12"}));

  g_refuse12 = false;
  g_refuse1 = true;
  ::SendMessageA(w, WM_CLOSE, 0, 0);
  EXPECT_TRUE(::IsWindow(w));
  EXPECT_EQ(LogOf({"W12", "W1", "W2"}), (Strings{"W12", "W12", "W1"}));

  g_refuse1 = false;
  ::SendMessageA(w, WM_CLOSE, 0, 0);
  EXPECT_FALSE(::IsWindow(w));
  EXPECT_EQ(LogOf({"W2"}).size(), 1u);
}

TEST_F(WindowTest, EscClosesAWindowWithEscCloses) {
  ASSERT_TRUE(ts::forms::LoadWindow(kPlainForm, nullptr, false));
  ::SetFocus(ControlHandle(kPlainForm, 1));
  Log().clear();
  Key(WM_KEYDOWN, VK_ESCAPE);
  EXPECT_TRUE(PumpUntil([] { return WindowOf(kPlainForm) == nullptr; }));
  EXPECT_EQ(LogOf({"W12", "W1", "W2"}), (Strings{"W12", "W1", "W2"}));

  // Without EscCloses the key passes on.
  ASSERT_TRUE(ts::forms::LoadWindow(kPlainForm, nullptr, false));
  ts::forms::SetUnitProperty(kPlainForm, 0, 8 + 14, -1, 0);
  ::SetFocus(ControlHandle(kPlainForm, 1));
  Key(WM_KEYDOWN, VK_ESCAPE);
  EXPECT_NE(WindowOf(kPlainForm), nullptr);
}

TEST_F(WindowTest, TabSkipsAControlLyingWhollyOutsideItsParent) {
  ASSERT_TRUE(ts::forms::LoadWindow(kTabForm, nullptr, false));
  HWND c1 = ControlHandle(kTabForm, 1), c3 = ControlHandle(kTabForm, 3);
  // Focus order values are equal: the last unit comes first.
  ::SetFocus(c3);
  Key(WM_KEYDOWN, VK_TAB);
  EXPECT_EQ(::GetFocus(), c1);
  Key(WM_KEYDOWN, VK_TAB);
  EXPECT_EQ(::GetFocus(), c3);  // wraps; control 2 (off-screen) and 4 (no tab stop) are skipped

  ts::forms::SetUnitProperty(kTabForm, ControlOf(kTabForm, 2), 0, -1, 100);
  Key(WM_KEYDOWN, VK_TAB);
  EXPECT_EQ(::GetFocus(), ControlHandle(kTabForm, 2));
  ts::forms::SetUnitProperty(kTabForm, ControlOf(kTabForm, 2), 0, -1, 2000);  // the stored form stays as it was
}

TEST_F(WindowTest, EnterMnemonicsAndArrowKeysActOnButtons) {
  ASSERT_TRUE(ts::forms::LoadWindow(kButtonForm, nullptr, false));
  ::SetFocus(ControlHandle(kButtonForm, 1));
  Log().clear();
  Key(WM_KEYDOWN, VK_RETURN);
  EXPECT_EQ(LogOf({"C*"}), (Strings{"C2:0"}));  // the default button

  Log().clear();
  Key(WM_SYSKEYDOWN, 'G');  // "&Go", the second mnemonic of "&Stop or &Go"
  EXPECT_EQ(LogOf({"C2:0"}), (Strings{"C2:0"}));

  HWND option3 = ControlHandle(kButtonForm, 3), option4 = ControlHandle(kButtonForm, 4);
  ::SetFocus(option4);
  Log().clear();
  Key(WM_KEYDOWN, VK_DOWN);
  EXPECT_EQ(::GetFocus(), option3);
  EXPECT_EQ(LogOf({"C3:0"}), (Strings{"C3:0"}));
  EXPECT_EQ(ts::forms::GetUnitProperty(kButtonForm, ControlOf(kButtonForm, 3), 11, -1), 1u);
}

// Function and numpad keys have codes that read as letters (F4 as "s",
// numpad 7 as "g"): with Alt they are no mnemonics, and Alt+F4 closes the
// window rather than pressing "&Stop or &Go". F1 without a help file goes
// on to the control.
TEST_F(WindowTest, OnlyLetterAndDigitKeysAreMnemonicsAndAltF4Closes) {
  ASSERT_TRUE(ts::forms::LoadWindow(kButtonForm, nullptr, false));
  ts::forms::SetUnitProperty(kButtonForm, 0, 8 + 15, -1, 1);  // F1OpensHelp
  ::SetFocus(ControlHandle(kButtonForm, 1));
  Log().clear();
  Key(WM_SYSKEYDOWN, VK_NUMPAD7);
  Key(WM_KEYDOWN, VK_F1);
  EXPECT_EQ(LogOf({"C2:0", "K*"}), (Strings{"K1:112"}));

  constexpr LPARAM kAltDown = 1 << 29;
  Key(WM_SYSKEYDOWN, VK_F4, kAltDown);
  EXPECT_TRUE(PumpUntil([] { return WindowOf(kButtonForm) == nullptr; }));
  EXPECT_EQ(LogOf({"C2:0", "W12", "W1"}), (Strings{"W12", "W1"}));
}

TEST_F(WindowTest, ActivationRaisesEvent8OnceBefore5And6OnLeaving) {
  WindowEvents().clear();
  ASSERT_TRUE(ts::forms::LoadWindow(kPlainForm, nullptr, false));
  ASSERT_TRUE(ts::forms::LoadWindow(kLoadForm, nullptr, false));
  ::SetActiveWindow(WindowOf(kPlainForm));
  ::SetActiveWindow(WindowOf(kLoadForm));
  std::vector<int> plain;
  for (auto [form, event] : WindowEvents()) {
    if (form == kPlainForm && (event == 5 || event == 6 || event == 8)) plain.push_back(event);
  }
  EXPECT_EQ(plain, (std::vector<int>{8, 5, 6, 5, 6}));
}

TEST_F(WindowTest, AWindowDisabledByAModalOneHandsItsActivationOn) {
  ASSERT_TRUE(ts::forms::LoadWindow(kPlainForm, nullptr, false));
  ASSERT_TRUE(ts::forms::LoadWindow(kHiddenForm, nullptr, true));
  HWND modal = WindowOf(kHiddenForm);
  ::ShowWindow(modal, SW_SHOW);  // visible, yet not in its modal loop
  ::SendMessageA(WindowOf(kPlainForm), WM_ACTIVATE, WA_CLICKACTIVE, 0);
  EXPECT_EQ(::GetActiveWindow(), modal);
}

}  // namespace
}  // namespace engtest
