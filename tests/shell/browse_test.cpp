// The folder dialog driven from a helper thread: the runtime's top-level
// windows are disabled while it shows and each gets back its own state.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <thread>

#include "libs/shell/shell_library.h"

namespace {

constexpr int kTreeId = 0x3741;

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

BOOL CALLBACK FindFolderDialog(HWND hwnd, LPARAM lp) {
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  if (pid != GetCurrentProcessId() || !IsWindowVisible(hwnd) || !GetDlgItem(hwnd, kTreeId)) return TRUE;
  *reinterpret_cast<HWND*>(lp) = hwnd;
  return FALSE;
}

HWND WaitForFolderDialog() {
  HWND found = nullptr;
  for (int i = 0; i < 500 && !found; ++i) {
    EnumWindows(FindFolderDialog, reinterpret_cast<LPARAM>(&found));
    if (!found) Sleep(20);
  }
  return found;
}

std::string ItemText(HWND tree, HTREEITEM item) {
  char buf[MAX_PATH] = {};
  TVITEMA it{};
  it.mask = TVIF_TEXT;
  it.hItem = item;
  it.pszText = buf;
  it.cchTextMax = sizeof buf;
  SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&it));
  return buf;
}

// Expands `parent` (the root when null) and finds the child whose text
// satisfies `match`, polling while the dialog fills the branch.
HTREEITEM FindChild(HWND tree, HTREEITEM parent, const std::function<bool(const std::string&)>& match) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    HTREEITEM item;
    if (parent) {
      SendMessageA(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(parent));
      item = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(parent)));
    } else {
      item = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
    }
    for (; item; item = reinterpret_cast<HTREEITEM>(
                     SendMessageA(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item)))) {
      if (match(ItemText(tree, item))) return item;
    }
    Sleep(50);
  }
  return nullptr;
}

char* Browse(bool files) {
  ts::ArgRecord args[2] = {};
  ts::SetSlotPointer(args[0].v, "选择要扫描的文件夹");
  args[0].type = ts::tag::Text;
  args[1].v.i32 = files ? 1 : 0;
  args[1].type = ts::tag::Bool;
  ts::ResultRecord r{};
  ts::BrowseForFolder(&r, 2, args);
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
    HWND dialog = WaitForFolderDialog();
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
  const std::string name = "ts_browse_" + std::to_string(GetCurrentProcessId()) + "_文件夹";
  const std::string full = "Z:\\tmp\\" + name;
  ASSERT_TRUE(CreateDirectoryA(full.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
  std::string failure;
  std::thread helper([&] {
    HWND dialog = WaitForFolderDialog();
    if (!dialog) {
      failure = "no dialog";
      return;
    }
    HWND tree = GetDlgItem(dialog, kTreeId);
    HTREEITEM item = FindChild(tree, nullptr, [](const std::string&) { return true; });
    item = item ? FindChild(tree, item, [](const std::string& t) { return t == "我的电脑"; }) : nullptr;
    item = item ? FindChild(tree, item, [](const std::string& t) { return t.find("(Z:)") != std::string::npos; })
                : nullptr;
    item = item ? FindChild(tree, item, [](const std::string& t) { return t == "tmp"; }) : nullptr;
    item = item ? FindChild(tree, item, [&](const std::string& t) { return t == name; }) : nullptr;
    if (!item) {
      failure = "folder not found in the tree";
      PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
      return;
    }
    SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  });
  char* path = Browse(false);
  helper.join();
  EXPECT_EQ(failure, "");
  ASSERT_NE(path, nullptr);
  EXPECT_STREQ(path, full.c_str());
  ts::Free(path);
  RemoveDirectoryA(full.c_str());
  EXPECT_TRUE(IsWindowEnabled(enabled_));
}

}  // namespace
