// Twinseek end to end: the real program runs on the main thread with its
// real main window; the tests drive it from another thread the way a user
// would (buttons, the folder dialog, check boxes) and read the window back
// through the commands the program itself uses.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>
#include <tlhelp32.h>
#include <winternl.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <set>
#include <string>
#include <thread>

#include "app/calls.h"
#include "app/item_paths.h"
#include "app/scan/path_rules.h"
#include "app/scan_ui.h"
#include "app/startup.h"
#include "app/ui.h"
#include "tests/app/e2e_support.h"
#include "tests/support/dialogs.h"
#include "tests/support/pump.h"
#include "tests/support/stage.h"
#include "tests/support/temp_tree.h"
#include "tests/support/test_support.h"
#include "tests/support/wait.h"

using namespace e2e;
using namespace ts::app;
using ts::test::AnswerFolderDialog;
using ts::test::Dialog;
using ts::test::Dismiss;
using ts::test::LoadedWindow;
using ts::test::NoMessageBox;
using ts::test::PathExists;
using ts::test::QueuePassed;
using ts::test::ReadWhole;
using ts::test::TempTree;
using ts::test::UnitWindowOf;
using ts::test::WaitFor;
using ts::test::WaitForMessageBox;

namespace {

const char* const kDone = "恭喜你，当前目录重复文件已扫描成功，请重新进行扫描！";

// The main window once it is on screen, or null.
HWND ShownMainWindow() {
  HWND main = LoadedWindow(kMainForm);
  return main != nullptr && IsWindowVisible(main) ? main : nullptr;
}

// Puts folders straight into the folder list and sets the options.
void Prepare(const std::vector<std::string>& folders, const std::string& patterns, bool subfolders,
             bool recycle = false) {
  ListDeleteAll(ui::FolderList);
  for (const std::string& f : folders) ListSetCellText(ui::FolderList, ListAppendRow(ui::FolderList), 0, f);
  SetTextProperty(ui::Patterns, prop::EditContent, patterns);
  SetIntProperty(ui::Subfolders, prop::Checked, subfolders ? 1 : 0);
  SetIntProperty(ui::Recycle, prop::Checked, recycle ? 1 : 0);
}

// Clicks 扫描 and waits for the end-of-scan message, which it closes.
void ScanToEnd() {
  ts::test::ExpectMessageBoxes expected;
  ASSERT_TRUE(WaitFor([] { return Enabled(ui::ScanButton); }));
  Click(ui::ScanButton);
  const Dialog box = WaitForMessageBox(60000);
  ASSERT_NE(box.hwnd, nullptr) << "the scan did not end";
  EXPECT_EQ(box.text, kDone);
  EXPECT_EQ(box.caption, text::BlogCaption);
  HWND main = LoadedWindow(kMainForm);
  EXPECT_NE(box.thread, GetWindowThreadProcessId(main, nullptr)) << "the end-of-scan message belongs to the worker";
  EXPECT_TRUE(IsWindowEnabled(main)) << "the main window stays usable";
  Dismiss(box);
}

// Where the shell keeps a recycled file of this name.
std::wstring InTrash(const std::wstring& name) {
  wchar_t home[MAX_PATH] = {};
  GetEnvironmentVariableW(L"XDG_DATA_HOME", home, MAX_PATH);
  std::wstring trash = std::wstring(L"Z:") + home + L"/Trash/files/" + name;
  for (wchar_t& ch : trash) {
    if (ch == L'/') ch = L'\\';
  }
  return trash;
}

std::string TotalsFor(int groups) {
  std::string text = "扫描共发现 ";
  text += std::to_string(groups);
  text += " 组重复文件，";
  return text;
}

}  // namespace

TEST(Folders, TheFolderDialogAddsAFolderAndAListedOneIsRefused) {
  TempTree files("dlg", "Z:\\tmp");
  files.Dir("数据");
  ListDeleteAll(ui::FolderList);
  std::string error;
  std::thread answer([&] { error = AnswerFolderDialog(files.Path("数据")); });
  Click(ui::AddButton);
  answer.join();
  ASSERT_EQ(error, "");
  ASSERT_TRUE(WaitFor([] { return ListRowCount(ui::FolderList) == 1; }));
  EXPECT_EQ(ListCellText(ui::FolderList, 0, 0), files.Path("数据"));

  // The same folder again: refused with its message, the list unchanged.
  {
    ts::test::ExpectMessageBoxes expected;
    std::thread again([&] { error = AnswerFolderDialog(files.Path("数据")); });
    Click(ui::AddButton);
    again.join();
    const Dialog box = WaitForMessageBox();
    ASSERT_NE(box.hwnd, nullptr);
    EXPECT_EQ(box.text, "当前所选目录已存在，请不要重复添加，谢谢使用！");
    EXPECT_EQ(box.caption, text::AppCaption);
    Dismiss(box);
  }
  EXPECT_EQ(ListRowCount(ui::FolderList), 1);

  // Cancelling adds nothing; removing takes the current row away.
  std::thread cancel([&] { error = AnswerFolderDialog(""); });
  Click(ui::AddButton);
  cancel.join();
  ASSERT_TRUE(QueuePassed(LoadedWindow(kMainForm))) << "the add has ended";
  EXPECT_EQ(ListRowCount(ui::FolderList), 1);
  ListDeleteAll(ui::FolderList);
}

// The folder list is a small-icon view: folders added through the dialog
// each get a place of their own, the mouse and the keyboard select each of
// them, and removing the middle one leaves the others in order.
TEST(Folders, TheSmallIconFolderListSelectsAndRemovesLikeAList) {
  TempTree files("icons", "Z:\\tmp");
  const std::vector<std::string> names = {"甲", "乙", "丙"};
  std::vector<std::string> added;
  ListDeleteAll(ui::FolderList);
  for (const std::string& name : names) {
    files.Dir(name);
    added.push_back(files.Path(name));
    std::string error;
    std::thread answer([&] { error = AnswerFolderDialog(files.Path(name)); });
    Click(ui::AddButton);
    answer.join();
    ASSERT_EQ(error, "");
    ASSERT_TRUE(WaitFor([&] { return ListRowCount(ui::FolderList) == static_cast<int32_t>(added.size()); }));
  }
  ASSERT_EQ(ListColumn(ui::FolderList, 0), added);
  HWND list = UnitWindowOf(LoadedWindow(kMainForm), ui::FolderList.unit);
  ASSERT_EQ(GetWindowLongA(list, GWL_STYLE) & LVS_TYPEMASK, LVS_SMALLICON);
  auto rectOf = [&](int32_t row) {
    RECT r{LVIR_BOUNDS, 0, 0, 0};
    SendMessageA(list, LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&r));
    return r;
  };
  auto expectApart = [&](int32_t rows) {
    for (int32_t a = 0; a < rows; ++a) {
      RECT ra = rectOf(a), overlap;
      EXPECT_FALSE(IsRectEmpty(&ra)) << a;
      for (int32_t b = a + 1; b < rows; ++b) {
        RECT rb = rectOf(b);
        EXPECT_FALSE(IntersectRect(&overlap, &ra, &rb)) << a << " and " << b;
      }
    }
  };
  expectApart(3);
  auto current = [] { return GetIntProperty(ui::FolderList, prop::CurrentRow); };
  auto clickRow = [&](int32_t row) {
    RECT r{LVIR_LABEL, 0, 0, 0};
    SendMessageA(list, LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&r));
    const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    PostMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageA(list, WM_LBUTTONUP, 0, at);
    return WaitFor([&] { return current() == row; }, 3000);
  };
  for (int32_t row : {2, 0, 1}) EXPECT_TRUE(clickRow(row)) << row << " clicked, current " << current();
  auto key = [&](WPARAM vk, int32_t expected) {
    PostMessageA(list, WM_KEYDOWN, vk, 0);
    PostMessageA(list, WM_KEYUP, vk, 0xC0000001);
    return WaitFor([&] { return current() == expected; }, 3000);
  };
  EXPECT_TRUE(key(VK_HOME, 0)) << current();
  EXPECT_TRUE(key(VK_END, 2)) << current();
  EXPECT_TRUE(key(VK_HOME, 0)) << current();

  ASSERT_TRUE(clickRow(1));
  Click(ui::RemoveButton);
  ASSERT_TRUE(WaitFor([] { return ListRowCount(ui::FolderList) == 2; }));
  EXPECT_EQ(ListColumn(ui::FolderList, 0), (std::vector<std::string>{added[0], added[2]}));
  expectApart(2);
  EXPECT_TRUE(clickRow(1));
  ListDeleteAll(ui::FolderList);
}

TEST(Folders, AFileTypeChoiceFillsThePatternBox) {
  HWND combo = UnitWindowOf(LoadedWindow(kMainForm), ui::FileTypes.unit);
  ASSERT_NE(combo, nullptr);
  // Down five times from "所有文件(*.*)" reaches "应用程序(*.exe;*.com)".
  for (int i = 0; i < 5; ++i) {
    PostMessageA(combo, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageA(combo, WM_KEYUP, VK_DOWN, 0);
  }
  EXPECT_TRUE(WaitFor([] { return GetTextProperty(ui::Patterns, prop::EditContent) == "*.exe;*.com"; }))
      << GetTextProperty(ui::Patterns, prop::EditContent);
  EXPECT_EQ(GetTextProperty(ui::FileTypes, prop::ComboContent), "应用程序(*.exe;*.com)");
  for (int i = 0; i < 5; ++i) {
    PostMessageA(combo, WM_KEYDOWN, VK_UP, 0);
    PostMessageA(combo, WM_KEYUP, VK_UP, 0);
  }
  EXPECT_TRUE(WaitFor([] { return GetTextProperty(ui::Patterns, prop::EditContent) == "*.*"; }));
}

TEST(Folders, AnEmptyFolderListRefusesToScan) {
  ts::test::ExpectMessageBoxes expected;
  ListDeleteAll(ui::FolderList);
  Click(ui::ScanButton);
  const Dialog box = WaitForMessageBox();
  ASSERT_NE(box.hwnd, nullptr);
  EXPECT_EQ(box.text, "微言微语：扫描路径或目录文件不能为空，请稍后再试！");
  EXPECT_EQ(box.caption, text::BlogCaption);
  Dismiss(box);
  EXPECT_TRUE(Enabled(ui::ScanButton));
  EXPECT_FALSE(Enabled(ui::StopButton));
}

TEST(Scan, APreparedTreeGivesExactlyTheExpectedGroups) {
  TempTree files("scan", "Z:\\tmp");
  files.Dir("one");
  files.Dir("one\\sub");
  files.Dir("one\\.cache");
  files.Dir("two");
  for (const char* n : {"a1", "a2", "a3"}) files.File(std::string("one\\") + n, "content A");
  for (const char* n : {"b1", "b2", "b3"}) files.File(std::string("one\\") + n, "content B");
  files.File("one\\e1", "");
  files.File("one\\e2", "");
  files.File("one\\u", "unique");
  files.File("one\\.cache\\a4", "content A");
  files.File("one\\sub\\a5", "content A");
  files.File("two\\b4", "content B");
  // The pattern pieces fix the order the files are found in.
  Prepare({files.Path("one"), files.Path("two") + "\\"}, "a1;b1;a2;b2;a3;b3;e1;e2;u;a4;a5;b4", true);
  ScanToEnd();

  std::vector<TreeNode> tree = Tree();
  ASSERT_EQ(tree.size(), 3u);
  EXPECT_EQ(tree[0].text, files.Path("one\\a1"));
  EXPECT_EQ(tree[0].children,
            (std::vector<std::string>{files.Path("one\\a2"), files.Path("one\\a3"), files.Path("one\\sub\\a5")}));
  EXPECT_EQ(tree[1].text, files.Path("one\\b1"));
  EXPECT_EQ(tree[1].children,
            (std::vector<std::string>{files.Path("one\\b2"), files.Path("one\\b3"), files.Path("two\\b4")}));
  EXPECT_EQ(tree[2].text, files.Path("one\\e1"));
  EXPECT_EQ(tree[2].children, (std::vector<std::string>{files.Path("one\\e2")}));

  // The digest list: one row per digest, the tree index written when the
  // group was made (b's root was made at 2, before a3 moved it to 3).
  std::vector<std::string> paths = ListColumn(ui::DigestList, 0);
  std::vector<std::string> md5 = ListColumn(ui::DigestList, 1);
  std::vector<std::string> index = ListColumn(ui::DigestList, 2);
  ASSERT_EQ(paths.size(), 4u);
  EXPECT_EQ(paths[1], files.Path("one\\b1"));
  EXPECT_EQ(md5[2], "d41d8cd98f00b204e9800998ecf8427e");
  EXPECT_EQ(index[0], "0");
  EXPECT_EQ(index[1], "2");
  EXPECT_EQ(index[3], "");

  EXPECT_EQ(Label(ui::Totals), TotalsFor(3));
  EXPECT_EQ(Label(ui::Elapsed).rfind("共用时：", 0), 0u);
  EXPECT_EQ(Label(ui::ProgressLabel), "100%");
  EXPECT_EQ(Label(ui::CurrentFile), " 当前文件：" + files.Path("two\\b4"));
  EXPECT_TRUE(Enabled(ui::AddButton));
  EXPECT_TRUE(Enabled(ui::RemoveButton));
  EXPECT_FALSE(Enabled(ui::StopButton));
}

TEST(Scan, NoFileIsGroupedWithItselfOrWhenItCannotBeRead) {
  TempTree files("self", "Z:\\tmp");
  files.Dir("inner");
  files.File("inner\\only", "a single copy");
  files.File("locked1", "locked twins");
  files.File("locked2", "locked twins");
  files.File("empty", "");
  const bool linked = files.SymLink("link", files.Path("inner"), true);
  HANDLE writer = CreateFileA(files.Path("locked1").c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(writer, INVALID_HANDLE_VALUE);
  // Nested listed folders, overlapping patterns and (where the platform
  // offers them) a link back into the tree.
  Prepare({files.root(), files.Path("inner")}, "*;only;*", true);
  ScanToEnd();
  CloseHandle(writer);
  EXPECT_TRUE(Tree().empty()) << (linked ? "with a link" : "without links");
  EXPECT_EQ(Label(ui::Totals), TotalsFor(0));
}

TEST(Scan, StopEndsTheScanAndAStoppedWorkerShowsNothingMore) {
  TempTree files("stop", "Z:\\tmp");
  // Enough data that the scan is still reading when Stop comes: 5 GiB of
  // zeros in sparse files, seconds of digesting and no disk space.
  for (int i = 0; i < 20; ++i) files.Sparse("big" + std::to_string(i), int64_t(256) << 20);
  Prepare({files.root()}, "*", false);
  Click(ui::ScanButton);
  ASSERT_TRUE(WaitFor([] { return Label(ui::CurrentFile).find("big") != std::string::npos; }, 20000));
  std::string percent = Label(ui::ProgressLabel);
  Click(ui::StopButton);
  // Stop's steps run one after another on the window's thread: wait for the
  // state they leave, not for the first of them.
  ASSERT_TRUE(WaitFor([] {
    return Enabled(ui::ScanButton) && !Enabled(ui::StopButton) && Enabled(ui::AddButton) &&
           Enabled(ui::RemoveButton) && GetIntProperty(ui::Progress, prop::Position) == 0;
  }));
  std::string label = Label(ui::ProgressLabel);
  std::string current = Label(ui::CurrentFile);
  // The stopped worker may still be amid a read: once it has ended and the
  // window has handled everything sent before, nothing more can come.
  ASSERT_TRUE(WaitFor([] { return RunningScanWorkers() == 0; }, 20000)) << "the stopped worker did not end";
  ASSERT_TRUE(QueuePassed(LoadedWindow(kMainForm)));
  EXPECT_TRUE(NoMessageBox()) << "no end-of-scan message after Stop";
  EXPECT_EQ(Label(ui::ProgressLabel), label);
  EXPECT_EQ(Label(ui::CurrentFile), current);
  EXPECT_EQ(Label(ui::Totals).rfind("扫描共发现 ", 0), 0u);

  // A new scan right away runs over everything.
  files.File("small1", "pair");
  files.File("small2", "pair");
  Prepare({files.root()}, "small1;small2", false);
  ScanToEnd();
  ASSERT_EQ(Tree().size(), 1u);
}

// True when nobody holds the file open: an open that shares nothing works.
bool Unopened(const std::string& path) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  CloseHandle(h);
  return true;
}

TEST(Scan, ALongReadNamesItsFileAndStopEndsItAtOnceKeepingTheGroupsBefore) {
  TempTree files("longread", "Z:\\tmp");
  files.File("a1", "pair");
  files.File("a2", "pair");
  // Two sparse files of one size and the same first block: both are read
  // to their end, which takes far longer than this test may wait.
  files.Sparse("s1", int64_t(6) << 30);
  files.Sparse("s2", int64_t(6) << 30);
  Prepare({files.root()}, "a1;a2;s1;s2", false);
  Click(ui::ScanButton);
  // During the read the window names the file whose step it is, and shows
  // the group found before it.
  ASSERT_TRUE(WaitFor([&] { return Label(ui::CurrentFile) == " 当前文件：" + files.Path("s2"); }, 20000))
      << Label(ui::CurrentFile);
  EXPECT_EQ(Label(ui::ProgressLabel), "100%");
  ASSERT_TRUE(WaitFor([] { return Tree().size() == 1; }, 2000)) << "the earlier group is shown during the read";
  EXPECT_FALSE(Unopened(files.Path("s2"))) << "still being read";

  Click(ui::StopButton);
  ASSERT_TRUE(WaitFor([] { return Enabled(ui::ScanButton); }));
  EXPECT_TRUE(WaitFor([&] { return Unopened(files.Path("s1")) && Unopened(files.Path("s2")); }, 2000))
      << "the reads end soon after Stop";
  ASSERT_EQ(Tree().size(), 1u);
  EXPECT_EQ(Tree()[0].text, files.Path("a1"));
  EXPECT_EQ(Label(ui::Totals), TotalsFor(1));
  EXPECT_EQ(GetIntProperty(ui::Progress, prop::Position), 0);
}

TEST(Results, AutoSelectThenCleanKeepsEachRootAndRemovesTheCopies) {
  TempTree files("clean", "Z:\\tmp");
  files.File("a", "copy");
  files.File("b", "copy");
  files.File("c", "copy");
  files.File("x", "other");
  files.File("y", "other");
  Prepare({files.root()}, "a;b;c;x;y", false);
  ScanToEnd();
  Click(ui::AutoSelectButton);
  ASSERT_TRUE(WaitFor([] { return TreeCheckState(ui::ResultTree, 1) == 1; }));
  EXPECT_EQ(TreeCheckState(ui::ResultTree, 0), 0);
  EXPECT_EQ(TreeCheckState(ui::ResultTree, 2), 1);
  EXPECT_EQ(TreeCheckState(ui::ResultTree, 4), 1);
  // The other group's copy was edited since the scan: it must stay.
  files.File("y", "edited since the scan");
  Click(ui::CleanButton);
  ASSERT_TRUE(WaitFor([&] { return !PathExists(files.Path("c")); }));
  EXPECT_TRUE(PathExists(files.Path("a")));
  EXPECT_FALSE(PathExists(files.Path("b")));
  EXPECT_TRUE(PathExists(files.Path("x")));
  EXPECT_TRUE(PathExists(files.Path("y")));
  EXPECT_EQ(Tree().size(), 2u) << "the tree keeps removed files listed";

  // Cancel selection clears the copies' marks but not a root's.
  TreeSetCheckState(ui::ResultTree, 0, 1);
  Click(ui::CancelSelectionButton);
  ASSERT_TRUE(WaitFor([] { return TreeCheckState(ui::ResultTree, 1) == 0; }));
  EXPECT_EQ(TreeCheckState(ui::ResultTree, 0), 1);
}

TEST(Results, ACheckedRootWithAllItsCopiesCheckedKeepsOneCopy) {
  TempTree files("last", "Z:\\tmp");
  files.File("r", "precious");
  files.File("s", "precious");
  files.File("t", "precious");
  Prepare({files.root()}, "r;s;t", false);
  ScanToEnd();
  for (int i = 0; i < 3; ++i) TreeSetCheckState(ui::ResultTree, i, 1);
  Click(ui::CleanButton);
  ASSERT_TRUE(WaitFor([&] { return !PathExists(files.Path("s")); }));
  ASSERT_TRUE(QueuePassed(LoadedWindow(kMainForm))) << "the clean has ended";
  int left = PathExists(files.Path("r")) + PathExists(files.Path("s")) + PathExists(files.Path("t"));
  EXPECT_EQ(left, 1);
}

TEST(Results, CleaningToTheRecycleBinMovesTheCopyThere) {
  TempTree files("bin", "Z:\\tmp");
  files.File("keep", "to the bin");
  files.File("bin_copy_" + std::to_string(GetTickCount()), "to the bin");
  Prepare({files.root()}, "keep;bin_copy_*", false, true);
  ScanToEnd();
  ASSERT_EQ(Tree().size(), 1u);
  std::string copy = Tree()[0].children[0];
  Click(ui::AutoSelectButton);
  ASSERT_TRUE(WaitFor([] { return TreeCheckState(ui::ResultTree, 1) == 1; }));
  Click(ui::CleanButton);
  ASSERT_TRUE(WaitFor([&] { return !PathExists(copy); }));
  EXPECT_TRUE(PathExists(files.Path("keep")));
  // The shell keeps it in the user's trash.
  const std::wstring trashed = InTrash(ts::app::WideFromText(copy.substr(copy.rfind('\\') + 1)));
  EXPECT_TRUE(PathExists(trashed)) << ts::app::ShownText(trashed);
}

// Cleaning compares a marked file with its copy byte for byte on the
// window's thread; for copies of gigabytes that takes seconds, and the
// window goes on painting meanwhile. The results are those of any clean.
TEST(Results, TheWindowRepaintsWhileACleanComparesLargeCopies) {
  TempTree files("large", "Z:\\tmp");
  const int64_t size = int64_t(1) << 30;  // zeros in sparse files: no disk space
  files.Sparse("keep", size);
  files.Sparse("copy", size);
  TreeDeleteAll(ui::ResultTree);
  TreeAppend(ui::ResultTree, -1, files.Path("keep"));
  TreeAppend(ui::ResultTree, 0, files.Path("copy"));
  TreeSetCheckState(ui::ResultTree, 1, 1);
  SetIntProperty(ui::Recycle, prop::Checked, 0);
  HWND main = LoadedWindow(kMainForm);
  // The click comes before the paint: posted messages go first.
  Click(ui::CleanButton);
  InvalidateRect(main, nullptr, FALSE);
  const bool painted = WaitFor([&] { return !GetUpdateRect(main, nullptr, FALSE); }, 1000);
  const bool whileComparing = PathExists(files.Path("copy"));
  EXPECT_TRUE(painted && whileComparing) << "painted " << painted << ", still comparing " << whileComparing;
  ASSERT_TRUE(WaitFor([&] { return !PathExists(files.Path("copy")); }, 120000));
  EXPECT_TRUE(PathExists(files.Path("keep")));
  EXPECT_EQ(Tree().size(), 1u);
  EXPECT_EQ(TreeCheckState(ui::ResultTree, 1), 1) << "the tree keeps the removed file listed and marked";
  TreeDeleteAll(ui::ResultTree);
}

TEST(Results, CleanWithAnEmptyTreeSaysSo) {
  TempTree files("none", "Z:\\tmp");
  files.File("solo", "nothing alike");
  Prepare({files.root()}, "*", false);
  ScanToEnd();
  ts::test::ExpectMessageBoxes expected;
  Click(ui::CleanButton);
  const Dialog box = WaitForMessageBox();
  ASSERT_NE(box.hwnd, nullptr);
  EXPECT_EQ(box.text, "微言微语：目前你尚未有可清理的文件项目，请稍后再试！");
  Dismiss(box);
}

TEST(About, TheAboutWindowIsModalAndClosesWithOkAndEsc) {
  HWND main = LoadedWindow(kMainForm);
  for (int round = 0; round < 2; ++round) {
    Click(ui::HelpButton);
    HWND about = nullptr;
    ASSERT_TRUE(WaitFor([&] {
      about = LoadedWindow(kAboutForm);
      return about != nullptr && IsWindowVisible(about);
    }));
    EXPECT_TRUE(WaitFor([&] { return !IsWindowEnabled(main); })) << "modal: the main window is disabled";
    if (round == 0) {
      HWND button = UnitWindowOf(about, ui::AboutOkButton.unit);
      ASSERT_NE(button, nullptr);
      PostMessageA(button, BM_CLICK, 0, 0);
    } else {
      PostMessageA(about, WM_KEYDOWN, VK_ESCAPE, 0);
      PostMessageA(about, WM_KEYUP, VK_ESCAPE, 0);
    }
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(about) || !IsWindowVisible(about); }));
    EXPECT_TRUE(WaitFor([&] { return IsWindowEnabled(main) != FALSE; }));
  }
}

// --- names the code page cannot spell -----------------------------------------

namespace {

// Adds a folder through the real folder dialog.
std::string AddThroughDialog(const std::wstring& folder) {
  std::string error;
  std::thread answer([&] { error = AnswerFolderDialog(folder); });
  Click(ui::AddButton);
  answer.join();
  return error;
}

// The tree index of the item whose exact path is `path`, or -1.
int32_t ItemOf(const std::wstring& path) {
  for (int32_t i = 0, n = TreeItemCount(ui::ResultTree); i < n; ++i) {
    if (ResultItemPath(i) == path) return i;
  }
  return -1;
}

}  // namespace

// A folder named in Korean holds a file named with an emoji, its copy named
// with "ß" and one named in GBK: added through the folder dialog (beside a
// second Korean folder whose name shows the same "??"), scanned, shown with
// "?" where a name cannot be spelled, and cleaned by its exact paths, for
// good and to the recycle bin. Beside them lie the files a name's text would
// reach as a pattern ("?" matches any character): never touched.
TEST(ExactNames, FilesTheCodePageCannotSpellAreFoundShownAndCleaned) {
  for (bool recycle : {false, true}) {
    TempTree files(recycle ? "exactbin" : "exact", "Z:\\tmp");
    const std::wstring folder = L"\xC790\xB8CC";   // 자료
    const std::wstring sameText = L"\xAC00\xB098";  // 가나: shown as "??" too
    const std::wstring tag = std::to_wstring(GetTickCount());  // names unique in the trash
    const std::wstring emoji = L"1\xD83D\xDE00" + tag + L".dat";
    const std::wstring eszett = L"2Stra\x00DF" L"e" + tag + L".dat";
    const std::wstring gbk = L"3\x526F\x672C" + tag + L".dat";  // 副本
    const std::string tagText = ts::app::ShownText(tag);
    files.Dir(folder);
    files.Dir(sameText);
    for (const std::wstring& name : {emoji, eszett, gbk}) files.File(folder + L"\\" + name, "the very same bytes");
    const std::wstring decoys[] = {L"1x" + tag + L".dat", L"2Strase" + tag + L".dat"};
    for (const std::wstring& name : decoys) files.File(folder + L"\\" + name, "a decoy: " + ts::app::ShownText(name));

    ListDeleteAll(ui::FolderList);
    ASSERT_EQ(AddThroughDialog(files.Path(folder)), "");
    ASSERT_EQ(AddThroughDialog(files.Path(sameText)), "");
    ASSERT_TRUE(WaitFor([] { return ListRowCount(ui::FolderList) == 2; }));
    EXPECT_EQ(ListColumn(ui::FolderList, 0), (std::vector<std::string>{files.Path("??"), files.Path("??")}));
    {
      ts::test::ExpectMessageBoxes expected;
      ASSERT_EQ(AddThroughDialog(files.Path(folder)), "");
      const Dialog box = WaitForMessageBox();
      ASSERT_NE(box.hwnd, nullptr);
      EXPECT_EQ(box.text, "当前所选目录已存在，请不要重复添加，谢谢使用！");
      Dismiss(box);
    }
    EXPECT_EQ(ListRowCount(ui::FolderList), 2);

    SetTextProperty(ui::Patterns, prop::EditContent, "1*;2*;3*");
    SetIntProperty(ui::Subfolders, prop::Checked, 0);
    SetIntProperty(ui::Recycle, prop::Checked, recycle ? 1 : 0);
    ScanToEnd();
    std::vector<TreeNode> tree = Tree();
    ASSERT_EQ(tree.size(), 1u);
    EXPECT_EQ(tree[0].text, files.Path("??\\1?" + tagText + ".dat"));
    EXPECT_EQ(tree[0].children, (std::vector<std::string>{files.Path("??\\2Stra?e" + tagText + ".dat"),
                                                         files.Path("??\\3副本" + tagText + ".dat")}));
    EXPECT_EQ(Label(ui::Totals), TotalsFor(1));

    Click(ui::AutoSelectButton);
    ASSERT_TRUE(WaitFor([] { return TreeCheckState(ui::ResultTree, 2) == 1; }));
    Click(ui::CleanButton);
    ASSERT_TRUE(WaitFor([&] { return !PathExists(files.Path(folder + L"\\" + gbk)); }));
    EXPECT_TRUE(PathExists(files.Path(folder + L"\\" + emoji))) << "the root stays";
    EXPECT_FALSE(PathExists(files.Path(folder + L"\\" + eszett)));
    for (const std::wstring& name : decoys) {
      EXPECT_EQ(ReadWhole(files.Path(folder + L"\\" + name)), "a decoy: " + ts::app::ShownText(name));
    }
    if (recycle) {
      EXPECT_EQ(ReadWhole(InTrash(eszett)), "the very same bytes");
      EXPECT_EQ(ReadWhole(InTrash(gbk)), "the very same bytes");
      DeleteFileW(ts::app::VerbatimPath(InTrash(eszett)).c_str());
      DeleteFileW(ts::app::VerbatimPath(InTrash(gbk)).c_str());
    }
  }
  ListDeleteAll(ui::FolderList);
}

// Two files whose names differ only in characters the code page cannot
// spell show the same text. They are told apart by their exact paths: each
// is grouped with its own copy, and cleaning one, to the recycle bin where a
// text would be a wildcard, leaves the other.
TEST(ExactNames, FilesShownAlikeAreNeverTakenForEachOther) {
  TempTree files("alike", "Z:\\tmp");
  const std::wstring ga = files.Path(L"\xAC00.dat"), na = files.Path(L"\xB098.dat");
  files.File("a.dat", "content of ga");
  files.File("b.dat", "content of na");
  files.File(L"\xAC00.dat", "content of ga");
  files.File(L"\xB098.dat", "content of na");
  Prepare({files.root()}, "a.dat;b.dat;?.dat", false, true);
  ScanToEnd();
  std::vector<TreeNode> tree = Tree();
  ASSERT_EQ(tree.size(), 2u);
  EXPECT_EQ(tree[0].children, (std::vector<std::string>{files.Path("?.dat")}));
  EXPECT_EQ(tree[1].children, (std::vector<std::string>{files.Path("?.dat")}));
  EXPECT_EQ(ResultItemPath(1), ga) << "a.dat's copy";
  EXPECT_EQ(ResultItemPath(3), na) << "b.dat's copy";

  TreeSetCheckState(ui::ResultTree, 1, 1);
  Click(ui::CleanButton);
  ASSERT_TRUE(WaitFor([&] { return !PathExists(ga); }));
  ASSERT_TRUE(QueuePassed(LoadedWindow(kMainForm))) << "the clean has ended";
  EXPECT_EQ(ReadWhole(na), "content of na");
  EXPECT_TRUE(PathExists(files.Path("a.dat")));
  EXPECT_TRUE(PathExists(files.Path("b.dat")));

  TreeSetCheckState(ui::ResultTree, 1, 0);
  TreeSetCheckState(ui::ResultTree, 3, 1);
  SetIntProperty(ui::Recycle, prop::Checked, 0);
  Click(ui::CleanButton);
  ASSERT_TRUE(WaitFor([&] { return !PathExists(na); }));
  EXPECT_TRUE(PathExists(files.Path("a.dat")));
  EXPECT_TRUE(PathExists(files.Path("b.dat")));
}

// A name ending in a dot is one the platform would read as another ("t."
// as "t") anywhere but in a verbatim path. It is scanned and deleted as
// itself; the shell, which takes no verbatim paths, is never given it, so it
// stays when cleaned to the recycle bin. The file its rewriting would reach
// is never touched.
TEST(ExactNames, ANameThePlatformWouldRewriteIsCleanedAsItselfOnly) {
  TempTree files("dots", "Z:\\tmp");
  const std::wstring dotted = files.Path(L"t.");
  files.File(L"t.", "kept twice");
  files.File("u", "kept twice");
  files.File("t", "what a rewritten name would reach");
  Prepare({files.root()}, "*", false, true);
  ScanToEnd();
  ASSERT_EQ(Tree().size(), 1u);
  const int32_t item = ItemOf(dotted);
  ASSERT_NE(item, -1);
  TreeSetCheckState(ui::ResultTree, item, 1);
  Click(ui::CleanButton);
  ASSERT_TRUE(QueuePassed(LoadedWindow(kMainForm))) << "the clean has ended";
  EXPECT_TRUE(PathExists(dotted)) << "never handed to the shell";
  SetIntProperty(ui::Recycle, prop::Checked, 0);
  Click(ui::CleanButton);
  ASSERT_TRUE(WaitFor([&] { return !PathExists(dotted); }));
  EXPECT_EQ(ReadWhole(files.Path("t")), "what a rewritten name would reach");
  EXPECT_EQ(ReadWhole(files.Path("u")), "kept twice");
}

namespace {

// The command line of a running process, read from its parameters block.
std::wstring CommandLineOf(HANDLE process) {
  using QueryFn = LONG(WINAPI*)(HANDLE, PROCESSINFOCLASS, PVOID, ULONG, PULONG);
  auto query = reinterpret_cast<QueryFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQueryInformationProcess")));
  PROCESS_BASIC_INFORMATION basic{};
  PEB peb{};
  RTL_USER_PROCESS_PARAMETERS parameters{};
  SIZE_T got = 0;
  if (!query || query(process, ProcessBasicInformation, &basic, sizeof basic, nullptr) < 0 ||
      !ReadProcessMemory(process, basic.PebBaseAddress, &peb, sizeof peb, &got) ||
      !ReadProcessMemory(process, peb.ProcessParameters, &parameters, sizeof parameters, &got)) {
    return std::wstring();
  }
  std::wstring line(parameters.CommandLine.Length / sizeof(wchar_t), L'\0');
  ReadProcessMemory(process, parameters.CommandLine.Buffer, line.data(), parameters.CommandLine.Length, &got);
  return line;
}

std::set<DWORD> Processes(const wchar_t* exe, DWORD parent = 0) {
  std::set<DWORD> found;
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  PROCESSENTRY32W e{};
  e.dwSize = sizeof e;
  for (BOOL ok = Process32FirstW(snapshot, &e); ok; ok = Process32NextW(snapshot, &e)) {
    if ((!exe || _wcsicmp(e.szExeFile, exe) == 0) && (!parent || e.th32ParentProcessID == parent)) {
      found.insert(e.th32ProcessID);
    }
  }
  CloseHandle(snapshot);
  return found;
}

// Ends a process this test caused to start, and the ones it started.
void EndStarted(DWORD pid) {
  for (DWORD child : Processes(nullptr, pid)) EndStarted(child);
  if (HANDLE h = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid)) {
    TerminateProcess(h, 0);
    WaitForSingleObject(h, 10000);
    CloseHandle(h);
  }
}

// A file type whose "open" command is this program as a recorder: it writes
// the path it was given and the bytes it read there (see main).
class RecordedOpen {
 public:
  explicit RecordedOpen(const std::wstring& record) : record_(record) {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    Set(L".tsrec", L"TwinseekRecorded");
    Set(L"TwinseekRecorded\\shell\\open\\command",
        L"\"" + std::wstring(self) + L"\" --record \"" + record + L"\" \"%1\"");
  }
  ~RecordedOpen() {
    for (const wchar_t* key : {L"TwinseekRecorded\\shell\\open\\command", L"TwinseekRecorded\\shell\\open",
                               L"TwinseekRecorded\\shell", L"TwinseekRecorded", L".tsrec"}) {
      RegDeleteKeyW(HKEY_CLASSES_ROOT, key);
    }
  }
  // The path the recorder was given and what it read there.
  bool Wait(std::wstring* path, std::string* bytes) {
    if (!WaitFor([&] { return PathExists(record_); }, 60000)) return false;
    const std::string raw = ReadWhole(record_);
    path->assign(reinterpret_cast<const wchar_t*>(raw.data()), raw.size() / sizeof(wchar_t));
    *bytes = ReadWhole(record_ + L".bytes");
    return true;
  }

 private:
  static void Set(const std::wstring& key, const std::wstring& value) {
    HKEY k = nullptr;
    RegCreateKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &k, nullptr);
    RegSetValueExW(k, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(k);
  }
  std::wstring record_;
};

}  // namespace

// Open hands the shell the exact path of the current item, and locate hands
// it to Explorer: each reaches that very file, not one its text would name.
TEST(ExactNames, OpenAndLocateReachTheExactFile) {
  TempTree files("reach", "Z:\\tmp");
  const std::wstring folder = L"\xC790\xB8CC";  // 자료
  const std::wstring emoji = files.Path(folder + L"\\\xD83D\xDE00.tsrec");
  files.Dir(folder);
  files.File(folder + L"\\\xD83D\xDE00.tsrec", "opened by its exact path");
  files.File(folder + L"\\copy.tsrec", "opened by its exact path");
  files.File(folder + L"\\x.tsrec", "what a wildcard would reach");
  ListDeleteAll(ui::FolderList);
  ASSERT_EQ(AddThroughDialog(files.Path(folder)), "");
  ASSERT_TRUE(WaitFor([] { return ListRowCount(ui::FolderList) == 1; }));
  SetTextProperty(ui::Patterns, prop::EditContent, "*.tsrec");
  ScanToEnd();
  ASSERT_EQ(Tree().size(), 1u);
  const int32_t item = ItemOf(emoji);
  ASSERT_NE(item, -1);
  SetIntProperty(ui::ResultTree, prop::CurrentItem, item);

  {
    RecordedOpen recorded(files.Path(L"record"));
    Click(ui::OpenButton);
    std::wstring path;
    std::string bytes;
    ASSERT_TRUE(recorded.Wait(&path, &bytes)) << "the shell started nothing";
    EXPECT_EQ(path, emoji);
    EXPECT_EQ(bytes, "opened by its exact path");
  }

  const std::set<DWORD> before = Processes(L"explorer.exe");
  Click(ui::LocateButton);
  std::wstring line;
  // Wine starts a program slowly under emulation: the wait ends as soon as
  // Explorer is seen.
  const bool found = WaitFor([&] {
    for (DWORD pid : Processes(L"explorer.exe")) {
      if (before.count(pid)) continue;
      HANDLE h = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
      if (!h) continue;
      line = CommandLineOf(h);
      CloseHandle(h);
      if (line.find(L"/select,") != std::wstring::npos) return true;
    }
    return false;
  }, 60000);
  // A started program keeps the test's output open until it ends: every
  // Explorer the click started ends here, whether it was recognised or not.
  for (DWORD pid : Processes(L"explorer.exe")) {
    if (!before.count(pid)) EndStarted(pid);
  }
  ASSERT_TRUE(found) << "Explorer was not started";
  wchar_t windows[MAX_PATH] = {};
  GetWindowsDirectoryW(windows, MAX_PATH);
  EXPECT_EQ(line, L"\"" + std::wstring(windows) + L"\\explorer.exe\" /n,/select,\"" + emoji + L"\"");
  ListDeleteAll(ui::FolderList);
}

// The program's own main thread runs Twinseek; the tests run beside it and
// end the process with their result.
int main(int argc, char** argv) {
  if (argc > 3 && std::strcmp(argv[1], "--record") == 0) {
    // The recorder of the open test: writes the path the shell gave it
    // (UTF-16) and the bytes it read there, the path last and whole.
    int n = 0;
    wchar_t** args = CommandLineToArgvW(GetCommandLineW(), &n);
    if (!args || n < 4) return 1;
    const std::wstring record = args[2], path = args[3];
    const std::string bytes = ReadWhole(path);
    auto write = [](const std::wstring& to, const void* data, size_t size) {
      HANDLE h = CreateFileW(to.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
      DWORD wrote = 0;
      WriteFile(h, data, static_cast<DWORD>(size), &wrote, nullptr);
      CloseHandle(h);
    };
    write(record + L".bytes", bytes.data(), bytes.size());
    write(record + L".part", path.data(), path.size() * sizeof(wchar_t));
    MoveFileW((record + L".part").c_str(), record.c_str());
    return 0;
  }
  testing::InitGoogleTest(&argc, argv);
  if (argc > 2 && std::strcmp(argv[1], "--exit-during-scan") == 0) {
    // A child run: scan the folder the parent made, then exit while the
    // scan reads: by 退出 (the default), "close" by the close box, "esc"
    // by the Esc key. Just before exiting it leaves a file "exiting" in
    // the folder, so that the parent can time the exit.
    std::string folder = argv[2];
    std::string way = argc > 3 ? argv[3] : "button";
    std::thread driver([folder, way] {
      if (!WaitFor([] { return ShownMainWindow() != nullptr; }, 20000)) ExitProcess(90);
      Prepare({folder}, "*", false);
      Click(ui::ScanButton);
      if (!WaitFor([] { return Label(ui::CurrentFile).find("big") != std::string::npos; }, 20000)) ExitProcess(91);
      CloseHandle(CreateFileA((folder + "\\exiting").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
      HWND main = LoadedWindow(kMainForm);
      if (way == "close") {
        PostMessageA(main, WM_SYSCOMMAND, SC_CLOSE, 0);
      } else if (way == "esc") {
        PostMessageA(main, WM_KEYDOWN, VK_ESCAPE, 0);
        PostMessageA(main, WM_KEYUP, VK_ESCAPE, 0);
      } else {
        Click(ui::ExitButton);
      }
      // No message box may come on the way out.
      if (WaitFor([] { return !NoMessageBox(); }, 20000)) ExitProcess(93);
      ExitProcess(92);  // the program did not end
    });
    driver.detach();
    return RunTwinseek();
  }
  std::thread tests([] {
    if (!WaitFor([] { return ShownMainWindow() != nullptr; }, 20000)) {
      std::fprintf(stderr, "the main window did not appear\n");
      ExitProcess(3);
    }
    ts::test::StartWatchdog();
    int rc = RUN_ALL_TESTS();
    ts::test::StopWatchdog();
    ExitProcess(static_cast<UINT>(rc));
  });
  tests.detach();
  RunTwinseek();
  return 4;  // the program ended before the tests did
}
