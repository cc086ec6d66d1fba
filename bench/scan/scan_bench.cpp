// Twinseek's real scan and result walks, timed inside the real program.
// The program runs on the main thread with its real main window; a driver
// thread works it like a user would.
//
//   bench_scan.exe scan <folder>   lists the folder (several, in order: joined
//                                  by "|") with sub-folders on,
//                                  clicks 扫描, waits for the end-of-scan
//                                  message and prints
//                                  "scan seconds <s> groups <n> peak_ws_mb <m>";
//                                  a third argument --list-drawing-off keeps
//                                  the digest list from drawing, and
//                                  --list-drawing-off,minimized also keeps
//                                  the main window minimized (diagnostics)
//   bench_scan.exe tree [groups]   fills the result tree with groups of two
//                                  (50,000 by default) and prints the time of
//                                  CountGroups, auto select and cancel
//                                  selection, each run on the UI thread.
//   bench_scan.exe headless <folder> [readers]  the scan engine alone, no
//                                  window (readers as the machine decides,
//                                  or as given)
//   bench_scan.exe collect <folder>  the listing alone, no window
//   bench_scan.exe steps [n]       what one shown file step costs the UI thread
//   bench_scan.exe memory [rows]   the working set after many changes of each kind
//   bench_scan.exe changes [rows]  what a digest-list row and a tree item
//                                  cost the UI thread (4,000 by default).
//
// Exit code 0 on success; any failure prints a line and exits non-zero.
#include <windows.h>
#include <commctrl.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <thread>

#include "app/actions.h"
#include "bench/clock.h"
#include "app/scan/path_rules.h"
#include "app/scan/scan_job.h"
#include "app/calls.h"
#include "app/scan_ui.h"
#include "app/startup.h"
#include "app/ui.h"
#include "tests/app/e2e_support.h"
#include "tests/support/stage.h"
#include "tests/support/wait.h"

using namespace ts::app;

namespace {

const char* const kDone = "恭喜你，当前目录重复文件已扫描成功，请重新进行扫描！";
constexpr UINT kBenchCall = WM_APP + 0x77;
HWND g_benchWindow = nullptr;

// Runs `work` on the main (UI) thread: the bench's own message window is
// made there before the program starts, and the program's message loop
// delivers calls sent to it.
LRESULT CALLBACK BenchWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == kBenchCall) {
    (*reinterpret_cast<const std::function<void()>*>(lp))();
    return 1;
  }
  return DefWindowProcA(hwnd, msg, wp, lp);
}

void CreateBenchWindow() {
  WNDCLASSA wc{};
  wc.lpfnWndProc = BenchWindowProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "TwinseekBenchCalls";
  RegisterClassA(&wc);
  g_benchWindow = CreateWindowExA(0, wc.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
}

void OnUiThread(const std::function<void()>& work) {
  SendMessageA(g_benchWindow, kBenchCall, 0, reinterpret_cast<LPARAM>(&work));
}

using bench::Now;

[[noreturn]] void Fail(const std::string& why) {
  std::printf("error %s\n", why.c_str());
  std::fflush(stdout);
  ExitProcess(2);
}

// A message box of this process, found without enumerating every window:
// the scan runs on the same CPU as this poll, so the poll must stay cheap.
HWND FindOwnBox() {
  HWND w = nullptr;
  while ((w = FindWindowExA(nullptr, w, "#32770", nullptr)) != nullptr) {
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    if (pid == GetCurrentProcessId() && IsWindowVisible(w) && GetDlgItem(w, 0xFFFF)) return w;
  }
  return nullptr;
}

double PeakWorkingSetMb() {
  PROCESS_MEMORY_COUNTERS pmc{};
  pmc.cb = sizeof pmc;
  if (!GetProcessMemoryInfo(GetCurrentProcess(), &pmc, sizeof pmc)) return -1;
  return static_cast<double>(pmc.PeakWorkingSetSize) / (1024.0 * 1024.0);
}

// `listDrawingOff`: a diagnostic run with the digest list's drawing switched
// off for the whole scan, to show what its per-row painting costs.
// `minimized` (diagnostic too): the main window minimized during the scan,
// so that nothing of it is painted.
void RunScan(const std::string& folder, bool listDrawingOff, bool minimized) {
  HWND main = ts::test::LoadedWindow(kMainForm);
  if (listDrawingOff) SendMessageA(ts::test::UnitWindowOf(main, ui::DigestList.unit), WM_SETREDRAW, FALSE, 0);
  ListDeleteAll(ui::FolderList);
  for (size_t at = 0; at <= folder.size();) {
    size_t end = folder.find('|', at);
    if (end == std::string::npos) end = folder.size();
    ListSetCellText(ui::FolderList, ListAppendRow(ui::FolderList), 0, folder.substr(at, end - at));
    at = end + 1;
  }
  SetTextProperty(ui::Patterns, prop::EditContent, "*");
  SetIntProperty(ui::Subfolders, prop::Checked, 1);
  SetIntProperty(ui::Recycle, prop::Checked, 0);
  if (!ts::test::WaitFor([] { return e2e::Enabled(ui::ScanButton); })) Fail("the scan button stays disabled");
  double workingSetBefore = PeakWorkingSetMb();

  if (minimized) {
    ShowWindow(main, SW_MINIMIZE);
    ts::test::WaitFor([&] { return IsIconic(main) != FALSE; }, 5000);
  }
  const std::string idle = e2e::Label(ui::CurrentFile);
  const double start = Now();
  e2e::Click(ui::ScanButton);
  HWND box = nullptr;
  // The listing is over when the current-file label first changes (the
  // first file step is shown right after it); read only until then.
  double listed = -1;
  // Up to an hour; polled every 25 ms.
  for (int waited = 0; waited < 3600 * 1000 && !(box = FindOwnBox()); waited += 25) {
    if (listed < 0 && e2e::Label(ui::CurrentFile) != idle) listed = Now() - start;
    Sleep(25);
  }
  const double seconds = Now() - start;
  if (!box) Fail("the scan did not end within an hour");

  char text[1024] = {};
  GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
  if (std::strcmp(text, kDone) != 0) Fail(std::string("unexpected message: ") + text);
  int32_t groups = 0;
  OnUiThread([&] { groups = CountGroups(); });
  const double peak = PeakWorkingSetMb();
  PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  ts::test::WaitFor([&] { return !IsWindow(box); }, 5000);
  std::printf("scan seconds %.3f list_seconds %.3f groups %d peak_ws_mb %.1f start_ws_mb %.1f\n", seconds, listed,
              groups, peak, workingSetBefore);
}

void RunTreeWalks(int groups) {
  double fill = 0, count = 0, select = 0, cancel = 0;
  int32_t counted = 0, items = 0, checkedAfterSelect = 0, checkedAfterCancel = 0;
  OnUiThread([&] {
    double t0 = Now();
    TreeDeleteAll(ui::ResultTree);
    char path[96];
    for (int g = 0; g < groups; ++g) {
      std::snprintf(path, sizeof path, "Z:\\bench\\folder%03d\\file%06d.dat", g % 500, g);
      int32_t root = TreeAppend(ui::ResultTree, -1, path);
      std::snprintf(path, sizeof path, "Z:\\bench\\copies%03d\\file%06d.dat", g % 500, g);
      TreeAppend(ui::ResultTree, root, path);
    }
    double t1 = Now();
    counted = CountGroups();
    double t2 = Now();
    AutoSelect();
    double t3 = Now();
    checkedAfterSelect = TreeCheckState(ui::ResultTree, 1) + TreeCheckState(ui::ResultTree, 2 * groups - 1) +
                         TreeCheckState(ui::ResultTree, 0);
    double t4 = Now();
    CancelSelection();
    double t5 = Now();
    checkedAfterCancel = TreeCheckState(ui::ResultTree, 1) + TreeCheckState(ui::ResultTree, 2 * groups - 1);
    items = TreeItemCount(ui::ResultTree);
    fill = t1 - t0;
    count = t2 - t1;
    select = t3 - t2;
    cancel = t5 - t4;
  });
  if (items != 2 * groups) Fail("the tree holds " + std::to_string(items) + " items");
  if (counted != groups) Fail("CountGroups gave " + std::to_string(counted));
  // After auto select both sampled children are checked and the root is not.
  if (checkedAfterSelect != 2) Fail("auto select left the checks wrong");
  if (checkedAfterCancel != 0) Fail("cancel selection left checks");
  std::printf("tree items %d fill %.3f count_groups %.3f auto_select %.3f cancel_selection %.3f peak_ws_mb %.1f\n",
              items, fill, count, select, cancel, PeakWorkingSetMb());
}

// What one scan change costs the UI thread: rows appended to the hidden
// digest list (path and MD5, as for each file digested) and groups of two
// added to the result tree, each batch in one call like the scan's flushes.
void RunChangeCosts(int rows) {
  double appendSeconds = 0, cellSeconds = 0, treeSeconds = 0, noRedrawSeconds = 0;
  HWND list = ts::test::UnitWindowOf(ts::test::LoadedWindow(kMainForm), ui::DigestList.unit);
  const bool listVisible = IsWindowVisible(list) != FALSE;
  RECT rc{};
  GetWindowRect(list, &rc);
  std::printf("digest list style %08lx exstyle %08lx lvex %08lx size %ldx%ld\n",
              static_cast<unsigned long>(GetWindowLongA(list, GWL_STYLE)),
              static_cast<unsigned long>(GetWindowLongA(list, GWL_EXSTYLE)),
              static_cast<unsigned long>(SendMessageA(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0)),
              static_cast<long>(rc.right - rc.left), static_cast<long>(rc.bottom - rc.top));
  OnUiThread([&] {
    ListDeleteAll(ui::DigestList);
    TreeDeleteAll(ui::ResultTree);
    char path[96];
    double t0 = Now();
    for (int r = 0; r < rows; ++r) {
      std::snprintf(path, sizeof path, "Z:\\bench\\folder%03d\\file%06d.dat", r % 500, r);
      ListAppendRow(ui::DigestList, path);
    }
    double t1 = Now();
    for (int r = 0; r < rows; ++r) ListSetCellText(ui::DigestList, r, 1, "d41d8cd98f00b204e9800998ecf8427e");
    double t2 = Now();
    for (int g = 0; g < rows / 2; ++g) {
      std::snprintf(path, sizeof path, "Z:\\bench\\folder%03d\\file%06d.dat", g % 500, g);
      int32_t root = TreeAppend(ui::ResultTree, -1, path);
      TreeAppend(ui::ResultTree, root, path);
    }
    double t3 = Now();
    // The same appends with the list's drawing switched off meanwhile.
    ListDeleteAll(ui::DigestList);
    TreeDeleteAll(ui::ResultTree);
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    double t4 = Now();
    for (int r = 0; r < rows; ++r) {
      std::snprintf(path, sizeof path, "Z:\\bench\\folder%03d\\file%06d.dat", r % 500, r);
      ListAppendRow(ui::DigestList, path);
    }
    double t5 = Now();
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    noRedrawSeconds = t5 - t4;
    appendSeconds = t1 - t0;
    cellSeconds = t2 - t1;
    treeSeconds = t3 - t2;
    ListDeleteAll(ui::DigestList);
    TreeDeleteAll(ui::ResultTree);
  });
  std::printf(
      "changes rows %d list_append_ms %.3f list_append_noredraw_ms %.3f list_cell_ms %.3f tree_item_ms %.3f "
      "digest_list_visible %d\n",
      rows, 1000 * appendSeconds / rows, 1000 * noRedrawSeconds / rows, 1000 * cellSeconds / rows,
      1000 * treeSeconds / (rows / 2 * 2), listVisible ? 1 : 0);
}


// What one shown file step costs the UI thread, painting included: the
// progress bar, the percentage label and the current-file label, then each
// alone. Every step is painted at once (UpdateWindow), as the worker's
// flushes are between its reads.
void RunStepCosts(int steps) {
  HWND main = ts::test::LoadedWindow(kMainForm);
  double all = 0, bar = 0, percent = 0, current = 0;
  OnUiThread([&] {
    SetIntProperty(ui::Progress, prop::Maximum, steps);
    auto time = [&](const std::function<void(int)>& step) {
      double t0 = Now();
      for (int k = 1; k <= steps; ++k) {
        step(k);
        UpdateWindow(main);
        RedrawWindow(main, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
      }
      return 1000 * (Now() - t0) / steps;
    };
    const std::string path = "Z:\\work\\main\\.deps\\bench-corpus\\full\\real_usr_share\\doc\\file";
    all = time([&](int k) {
      SetIntProperty(ui::Progress, prop::Position, k);
      SetTextProperty(ui::ProgressLabel, prop::LabelCaption, std::to_string(k % 100) + "%");
      SetTextProperty(ui::CurrentFile, prop::LabelCaption, " 当前文件：" + path + std::to_string(k));
    });
    bar = time([&](int k) { SetIntProperty(ui::Progress, prop::Position, k); });
    percent = time([&](int k) { SetTextProperty(ui::ProgressLabel, prop::LabelCaption, std::to_string(k % 100) + "%"); });
    current = time([&](int k) { SetTextProperty(ui::CurrentFile, prop::LabelCaption, " 当前文件：" + path + std::to_string(k)); });
  });
  // A repaint of the result tree holding 2,000 groups of long paths (with
  // both scroll bars), as the scan's tree looks midway.
  double treePaint = 0;
  OnUiThread([&] {
    TreeDeleteAll(ui::ResultTree);
    for (int g = 0; g < 2000; ++g) {
      const std::string root = "Z:\\work\\main\\.deps\\bench-corpus\\full\\real_usr_share\\doc\\package" +
                               std::to_string(g) + "\\changelog.Debian.gz";
      int32_t r = TreeAppend(ui::ResultTree, -1, root);
      TreeAppend(ui::ResultTree, r, root + ".copy");
    }
    HWND tree = ts::test::UnitWindowOf(main, ui::ResultTree.unit);
    RedrawWindow(tree, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN);
    const double t0 = Now();
    for (int i = 0; i < 20; ++i) {
      RedrawWindow(tree, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN);
    }
    treePaint = 1000 * (Now() - t0) / 20;
    TreeDeleteAll(ui::ResultTree);
  });
  std::printf("steps n %d step_ms %.3f bar_ms %.3f percent_ms %.3f current_ms %.3f tree_paint_ms %.3f\n", steps, all,
              bar, percent, current, treePaint);
}

double WorkingSetMb() {
  PROCESS_MEMORY_COUNTERS pmc{};
  pmc.cb = sizeof pmc;
  if (!GetProcessMemoryInfo(GetCurrentProcess(), &pmc, sizeof pmc)) return -1;
  return static_cast<double>(pmc.WorkingSetSize) / (1024.0 * 1024.0);
}

// Where the scan's memory goes: the working set after each kind of change
// the scan makes, many times over (diagnostic).
void RunMemory(int rows) {
  HWND list = ts::test::UnitWindowOf(ts::test::LoadedWindow(kMainForm), ui::DigestList.unit);
  double start = 0, afterRows = 0, afterCells = 0, afterLabels = 0, afterTree = 0;
  OnUiThread([&] {
    start = WorkingSetMb();
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    char path[128];
    for (int r = 0; r < rows; ++r) {
      std::snprintf(path, sizeof path, "Z:\\work\\main\\.deps\\bench-corpus\\full\\folder%03d\\file%06d.dat", r % 500, r);
      ListAppendRow(ui::DigestList, path);
    }
    afterRows = WorkingSetMb();
    for (int r = 0; r < rows; ++r) ListSetCellText(ui::DigestList, r, 1, "d41d8cd98f00b204e9800998ecf8427e");
    afterCells = WorkingSetMb();
    for (int r = 0; r < rows; ++r) {
      std::snprintf(path, sizeof path, " 当前文件：Z:\\work\\folder%03d\\file%06d.dat", r % 500, r);
      SetTextProperty(ui::CurrentFile, prop::LabelCaption, path);
    }
    afterLabels = WorkingSetMb();
    for (int g = 0; g < rows / 10; ++g) {
      int32_t root = TreeAppend(ui::ResultTree, -1, "Z:\\bench\\root");
      TreeAppend(ui::ResultTree, root, "Z:\\bench\\child");
    }
    afterTree = WorkingSetMb();
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
  });
  std::printf("memory rows %d start %.1f rows %.1f cells %.1f labels %.1f tree %.1f\n", rows, start, afterRows,
              afterCells, afterLabels, afterTree);
}

// The scan engine alone, with no window: the same job the program runs,
// its visible changes dropped. Shows how much of the scan's time is the
// engine's and how much the window's (diagnostic).
void RunHeadless(const std::string& folder, uint32_t readers) {
  struct Inputs : ts::app::ScanInputs {
    std::wstring folder;
    uint32_t FolderCount() override { return 1; }
    std::wstring Folder(uint32_t) override { return folder; }
    std::string Patterns() override { return "*.*"; }
    bool IncludeSubfolders() override { return true; }
    void PumpIfInput() override {}
  } inputs;
  inputs.folder = ts::app::WideFromText(folder);
  struct Output : ts::app::ScanOutput {
    void Begin(std::shared_ptr<const ts::app::PathStore>) override {}
    void Notice() override {}
    void ProgressRange(uint32_t) override {}
    void Repaint() override {}
    void FileStep(uint32_t, uint32_t, const std::string&) override {}
    void DigestRow(uint32_t, const std::string&, const std::string&) override {}
    void NewGroup(uint32_t, uint32_t, const ts::app::ShownFile&, const ts::app::ShownFile&) override {}
    void JoinGroup(uint32_t, const ts::app::ShownFile&) override {}
    void Finish() override {}
  } output;
  ts::app::ScanJob job(inputs, output, [](const std::function<bool()>& current, const std::function<void()>& change) {
    if (!current()) return false;
    change();
    return true;
  });
  job.SetReaders(readers);
  const double startWs = WorkingSetMb();
  const double start = Now();
  if (!job.Run()) Fail("the headless scan stopped");
  std::printf("headless seconds %.3f groups %u files_opened %u peak_ws_mb %.1f start_ws_mb %.1f\n", Now() - start,
              job.GroupCount(), job.FilesOpened(), PeakWorkingSetMb(), startWs);
}

// The listing alone: the working set before and after collecting every
// file of the folder (diagnostic).
void RunCollect(const std::string& folder) {
  std::atomic<bool> stop{false};
  ts::app::PathStore paths;
  ts::app::FileCollector collector(&stop, nullptr, paths);
  ts::app::FoundFiles files;
  const double startWs = WorkingSetMb();
  const double start = Now();
  collector.BeginScan();
  collector.Collect(ts::app::WideFromText(folder), "*", true, files);
  std::printf("collect seconds %.3f files %u start_ws_mb %.1f ws_mb %.1f peak_ws_mb %.1f\n", Now() - start,
              static_cast<unsigned>(files.size()), startWs, WorkingSetMb(), PeakWorkingSetMb());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || (std::strcmp(argv[1], "scan") == 0 && argc < 3)) {
    std::fprintf(stderr, "usage: bench_scan scan <folder> | tree [groups] | changes [rows]\n");
    return 1;
  }
  const std::string mode = argv[1];
  const std::string arg = argc > 2 ? argv[2] : "";
  const std::string extra = argc > 3 ? argv[3] : "";
  if (mode == "headless") {
    RunHeadless(arg, extra.empty() ? 0 : static_cast<uint32_t>(std::atoi(extra.c_str())));
    return 0;
  }
  if (mode == "collect") {
    RunCollect(arg);
    return 0;
  }
  CreateBenchWindow();
  std::thread driver([mode, arg, extra] {
    if (!ts::test::WaitFor([] {
          HWND main = ts::test::LoadedWindow(kMainForm);
          return main != nullptr && IsWindowVisible(main);
        }, 30000)) {
      Fail("the main window did not appear");
    }
    if (mode == "scan") {
      RunScan(arg, extra.find("list-drawing-off") != std::string::npos, extra.find("minimized") != std::string::npos);
    } else if (mode == "memory") {
      RunMemory(arg.empty() ? 60000 : std::atoi(arg.c_str()));
    } else if (mode == "steps") {
      RunStepCosts(arg.empty() ? 500 : std::atoi(arg.c_str()));
    } else if (mode == "changes") {
      RunChangeCosts(arg.empty() ? 4000 : std::atoi(arg.c_str()));
    } else {
      RunTreeWalks(arg.empty() ? 50000 : std::atoi(arg.c_str()));
    }
    std::fflush(stdout);
    ExitProcess(0);
  });
  driver.detach();
  RunTwinseek();
  return 3;  // the program ended before the driver did
}
