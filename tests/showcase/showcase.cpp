// Twinseek as the README shows it: the real program runs on the main thread;
// a helper thread fills two folders with copies, scans them, closes the
// end-of-scan message and marks every copy but the first. Then it creates
// the file named on the command line and holds the window on screen until
// that file is gone (scripts/screenshot takes its picture meanwhile).
// Usage: twinseek_showcase <ready file>
#include <windows.h>

#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "app/calls.h"
#include "app/startup.h"
#include "app/ui.h"
#include "tests/support/dialogs.h"
#include "tests/support/pump.h"
#include "tests/support/stage.h"
#include "tests/support/temp_tree.h"

using namespace ts::app;

namespace {

bool Click(HWND main, const UnitRef& button) {
  HWND hwnd = ts::test::UnitWindowOf(main, button.unit);
  return hwnd != nullptr && PostMessageA(hwnd, BM_CLICK, 0, 0);
}

// The lines of text the screen shows in a window's client area: bands of
// rows with dark pixels.
int TextLinesOnScreen(HWND hwnd) {
  const ts::test::Pixels shown = ts::test::OnScreen(hwnd);
  int lines = 0;
  bool inLine = false;
  for (int y = 0; y < shown.height; ++y) {
    bool dark = false;
    for (int x = 0; x < shown.width && !dark; ++x) dark = (shown.at(x, y) & 0x808080) == 0;
    lines += dark && !inLine;
    inLine = dark;
  }
  return lines;
}

UINT Fail(const char* step) {
  std::fprintf(stderr, "showcase: %s\n", step);
  return 1;
}

// Two folders with three groups of copies and two files without one.
void FillFolders(const ts::test::TempTree& tree) {
  const std::string photo(3000, 'j'), report(7000, 'd'), plan(900, 'x');
  tree.File("照片\\海边.jpg", photo);
  tree.File("照片\\备份\\海边.jpg", photo);
  tree.File("照片\\备份\\海边 (2).jpg", photo);
  tree.File("照片\\山.jpg", std::string(5000, 'm'));
  tree.File("文档\\报告.doc", report);
  tree.File("文档\\报告 - 副本.doc", report);
  tree.File("文档\\计划.xls", plan);
  tree.File("照片\\备份\\计划.xls", plan);
  tree.File("文档\\说明.txt", "unique");
}

// Scans the two folders of `tree` and marks the copies; 0 when the window
// shows the result.
UINT ScanAndMark(HWND main, const ts::test::TempTree& tree) {
  ListDeleteAll(ui::FolderList);
  for (const char* folder : {"照片", "文档"}) {
    ListSetCellText(ui::FolderList, ListAppendRow(ui::FolderList), 0, tree.Path(folder));
  }
  SetTextProperty(ui::Patterns, prop::EditContent, "*.*");
  SetIntProperty(ui::Subfolders, prop::Checked, 1);
  HWND scan = ts::test::UnitWindowOf(main, ui::ScanButton.unit);
  if (!ts::test::WaitFor([&] { return scan != nullptr && IsWindowEnabled(scan); }, 10000)) {
    return Fail("the scan button is not there");
  }
  Click(main, ui::ScanButton);
  const ts::test::Dialog done = ts::test::WaitForMessageBox(60000);
  if (!done.hwnd) return Fail("the scan did not end");
  if (done.text.find("扫描成功") == std::string::npos) return Fail("the scan ended with another message");
  ts::test::Dismiss(done);
  if (!Click(main, ui::AutoSelectButton) || !ts::test::QueuePassed(main)) return Fail("the copies were not marked");
  // The tree box draws its items a moment after they arrive: wait until
  // every group shows.
  int groups = 0;
  for (int32_t i = 0, n = TreeItemCount(ui::ResultTree); i < n; ++i) groups += TreeParent(ui::ResultTree, i) == -1;
  if (groups != 3) return Fail("the scan did not find the three groups");
  HWND results = ts::test::UnitWindowOf(main, ui::ResultTree.unit);
  if (!ts::test::WaitFor([&] { return TextLinesOnScreen(results) == groups; }, 10000)) {
    return Fail("the result tree does not show its groups");
  }
  return 0;
}

UINT Show(const std::string& readyFile) {
  HWND main = nullptr;
  if (!ts::test::WaitFor([&] {
        main = ts::test::LoadedWindow(kMainForm);
        return main != nullptr && IsWindowVisible(main);
      }, 20000)) {
    return Fail("the main window did not appear");
  }
  ts::test::TempTree tree("showcase", "Z:\\tmp");
  FillFolders(tree);
  if (const UINT failed = ScanAndMark(main, tree)) return failed;
  HANDLE ready = CreateFileA(readyFile.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (ready == INVALID_HANDLE_VALUE) return Fail("cannot create the ready file");
  CloseHandle(ready);
  if (!ts::test::WaitFor([&] { return !ts::test::PathExists(readyFile); }, 120000)) return Fail("no picture was taken");
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: twinseek_showcase <ready file>\n");
    return 2;
  }
  const std::string readyFile = argv[1];
  std::thread driver([readyFile] { ExitProcess(Show(readyFile)); });
  driver.detach();
  RunTwinseek();
  return 3;  // the program ended before the picture was taken
}
