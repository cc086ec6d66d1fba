// The folder dialog driven from a helper thread: the runtime's top-level
// windows are disabled while it shows and each gets back its own state.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "libs/shell/shell_library.h"
#include "tests/support/args.h"
#include "tests/support/dialogs.h"
#include "tests/support/temp_tree.h"

namespace {

// The runtime's window list as the fake runtime reports it.
HWND g_list[4] = {};
ts::NotifyWord FakeRuntime(int32_t code, ts::NotifyWord p1, ts::NotifyWord) {
  if (code == 2032) return 4;
  if (code == 2033 && p1 < 4) return reinterpret_cast<ts::NotifyWord>(g_list[p1]);
  return 0;
}

HWND MakeWindow(const char* title, HWND parent = nullptr) {
  const DWORD style = parent ? WS_CHILD | WS_VISIBLE : WS_OVERLAPPEDWINDOW | WS_VISIBLE;
  return CreateWindowExA(0, "STATIC", title, style, 20, 20, 300, 200, parent, nullptr, GetModuleHandleA(nullptr),
                         nullptr);
}

char* Browse(bool files) {
  const ts::ResultRecord r = ts::test::Call(ts::BrowseForFolder, {ts::test::Text("选择要扫描的文件夹"), ts::test::Bool(files)});
  EXPECT_EQ(r.type, ts::tag::Text);
  return static_cast<char*>(ts::SlotPointer(r.v));
}

class BrowseForFolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    enabled_ = MakeWindow("enabled");
    disabled_ = MakeWindow("disabled");
    child_ = MakeWindow("child", enabled_);
    EnableWindow(disabled_, FALSE);
    g_list[0] = enabled_;
    g_list[1] = disabled_;
    g_list[2] = child_;  // has a parent: not the dialog's business
    g_list[3] = nullptr;  // a window of the list that is not loaded
    ts::ShellLibraryNotify(1, reinterpret_cast<ts::NotifyWord>(&FakeRuntime), 0);
    SetForegroundWindow(enabled_);
    SetActiveWindow(enabled_);
  }
  void TearDown() override {
    DestroyWindow(disabled_);
    DestroyWindow(enabled_);
  }
  HWND enabled_ = nullptr, disabled_ = nullptr, child_ = nullptr;
};

TEST_F(BrowseForFolderTest, CancelGivesNullAndRestoresEachWindowsState) {
  bool found = false, enabledDuring = true, disabledDuring = true, childDuring = false;
  HWND owner = nullptr;
  std::thread helper([&] {
    HWND dialog = ts::test::WaitForFolderDialog().hwnd;
    if (!dialog) return;
    found = true;
    owner = GetWindow(dialog, GW_OWNER);
    enabledDuring = IsWindowEnabled(enabled_) != FALSE;
    disabledDuring = IsWindowEnabled(disabled_) != FALSE;
    childDuring = IsWindowEnabled(child_) != FALSE;
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  });
  char* path = Browse(false);
  helper.join();
  ASSERT_TRUE(found);
  EXPECT_EQ(path, nullptr);
  EXPECT_EQ(owner, enabled_) << "the active window owns the dialog";
  EXPECT_FALSE(enabledDuring);
  EXPECT_FALSE(disabledDuring);
  EXPECT_TRUE(childDuring);
  EXPECT_TRUE(IsWindowEnabled(enabled_));
  EXPECT_FALSE(IsWindowEnabled(disabled_)) << "a window disabled before stays disabled";
  EXPECT_TRUE(IsWindowEnabled(child_));
  EXPECT_EQ(GetForegroundWindow(), enabled_);
}

TEST_F(BrowseForFolderTest, GivesThePathOfTheFolderChosenInTheTree) {
  ts::test::TempTree tree("browse_文件夹", "Z:\\tmp");
  std::string failure;
  std::thread helper([&] { failure = ts::test::AnswerFolderDialog(tree.root()); });
  char* path = Browse(false);
  helper.join();
  EXPECT_EQ(failure, "");
  ASSERT_NE(path, nullptr);
  EXPECT_STREQ(path, tree.root().c_str());
  ts::Free(path);
  EXPECT_TRUE(IsWindowEnabled(enabled_));
}

}  // namespace
