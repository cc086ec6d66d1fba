#include "app/scan_ui.h"

#include <windows.h>

#include <atomic>
#include <cstring>
#include <exception>
#include <memory>
#include <vector>

#include "app/calls.h"
#include "app/program.h"
#include "app/item_paths.h"
#include "app/scan/scan_job.h"
#include "app/ui.h"
#include "app/ui_thread.h"
#include "runtime/forms_link.h"
#include "runtime/services.h"

namespace ts::app {
namespace {

HWND MainWindowHandle() {
  const ts::FormsHooks& forms = ts::Forms();
  if (!forms.windowCount || !forms.windowAt) return nullptr;
  for (uint32_t i = 0, n = forms.windowCount(); i < n; ++i) {
    ts::WindowEntry e{};
    if (forms.windowAt(i, &e) && e.formId == kMainForm) return e.hwnd;
  }
  return nullptr;
}

// Draws a text straight onto a window's client area; it stays until the area
// is repainted.
void DrawNotice(HWND window, const char* text, const char* face, int height, COLORREF colour, int x, int y) {
  using enum DllCommand;
  uint32_t dc = static_cast<uint32_t>(CallDll(GetDC, window));
  if (!dc) return;
  LOGFONTA lf{};
  lf.lfHeight = height;
  lf.lfCharSet = 134;  // GB2312
  std::strncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
  uint32_t font = static_cast<uint32_t>(CallDll(CreateFontIndirectA, &lf));
  uint32_t oldFont = static_cast<uint32_t>(CallDll(SelectObject, dc, font));
  uint32_t oldMode = static_cast<uint32_t>(CallDll(SetBkMode, dc, 1));
  uint32_t oldColour = static_cast<uint32_t>(CallDll(SetTextColor, dc, colour));
  CallDll(TextOutA, dc, x, y, text, std::strlen(text));
  CallDll(SetBkMode, dc, oldMode);
  CallDll(SetTextColor, dc, oldColour);
  CallDll(SelectObject, dc, oldFont);
  CallDll(DeleteObject, font);
  CallDll(ReleaseDC, window, dc);
}

// Elapsed time of the running scan, from a monotonic clock.
std::atomic<uint64_t> g_scanStartTick{0};
double g_scanStartTime = 0;  // the scan start time as a date-time value

std::string ElapsedText() {
  double seconds = static_cast<double>(GetTickCount64() - g_scanStartTick.load()) / 1000.0;
  return "共用时：" + FormatElapsed(seconds);
}

std::string TotalsText() { return "扫描共发现 " + ToText(CountGroups()) + " 组重复文件，"; }

// The digest list is an index, not something to look at: while a scan adds
// rows it does not repaint (a repaint per row costs milliseconds under Wine,
// more than reading the file). Drawing comes back when the scan ends or stops.
void SetDigestListDrawing(bool on) { ListSetDrawing(ui::DigestList, on); }

class MainInputs : public ts::app::ScanInputs {
 public:
  uint32_t FolderCount() override {
    int32_t n = ListRowCount(ui::FolderList);
    return n > 0 ? static_cast<uint32_t>(n) : 0;
  }
  std::wstring Folder(uint32_t row) override { return FolderRowPath(static_cast<int32_t>(row)); }
  std::string Patterns() override { return GetTextProperty(ui::Patterns, prop::EditContent); }
  bool IncludeSubfolders() override { return GetIntProperty(ui::Subfolders, prop::Checked) != 0; }
  void PumpIfInput() override {
    if (static_cast<uint32_t>(CallDll(DllCommand::GetInputState)) != 0) ProcessEvents();
  }
};

class MainOutput : public ts::app::ScanOutput {
 public:
  void Begin(std::shared_ptr<const ts::app::PathStore> paths) override {
    SetDisabled(ui::AddButton, true);
    SetDisabled(ui::RemoveButton, true);
    SetDigestListDrawing(false);
    ListDeleteAll(ui::DigestList);
    TreeDeleteAll(ui::ResultTree);
    ShowResultsOf(std::move(paths));
  }
  void Notice() override {
    // Only on the main window, and only when it is in front: never on
    // another program's window.
    HWND main = MainWindowHandle();
    HWND front = reinterpret_cast<HWND>(static_cast<uintptr_t>(CallDll(DllCommand::GetForegroundWindow)));
    if (main && front == main) {
      DrawNotice(main, "正在检查系统配置，请勿操作！", "黑体", 18, RGB(0, 0, 255), 195, 202);
    }
  }
  void ProgressRange(uint32_t n) override {
    int32_t maximum = 0, position = 0;
    ts::app::ScaledProgress(0, n, &maximum, &position);
    SetIntProperty(ui::Progress, prop::Minimum, 0);
    SetIntProperty(ui::Progress, prop::Maximum, maximum);
    SetIntProperty(ui::Progress, prop::Position, 0);
    barPercent_ = 0;
    barTick_ = 0;
  }
  void Repaint() override { RepaintUnit(ui::MainWindow); }
  void FileStep(uint32_t k, uint32_t n, const std::string& path) override {
    // The bar moves when its percentage has changed, at most twice a
    // second, and always on the folder's last file. Under Wine's default
    // theme one repaint of the bar costs about 6 ms, far more than the
    // labels, and a finer bar shows nothing more.
    const uint64_t percent = n ? static_cast<uint64_t>(k) * 100 / n : 0;
    const uint64_t now = GetTickCount64();
    if (k == n || (percent != barPercent_ && now - barTick_ >= kBarIntervalMs)) {
      int32_t maximum = 0, position = 0;
      ts::app::ScaledProgress(k, n, &maximum, &position);
      SetIntProperty(ui::Progress, prop::Position, position);
      barPercent_ = percent;
      barTick_ = now;
    }
    SetTextProperty(ui::ProgressLabel, prop::LabelCaption, ts::app::PercentText(k, n));
    SetTextProperty(ui::CurrentFile, prop::LabelCaption, " 当前文件：" + path);
  }
  void DigestRow(uint32_t, const std::string& path, const std::string& md5) override {
    int32_t row = ListAppendRow(ui::DigestList, path);
    if (!md5.empty()) ListSetCellText(ui::DigestList, row, 1, md5);
  }
  void NewGroup(uint32_t row, uint32_t, const ts::app::ShownFile& root, const ts::app::ShownFile& child) override {
    int32_t g = AddResultItem(-1, root);
    ListSetCellText(ui::DigestList, static_cast<int32_t>(row), 2, ToText(g));
    AddResultItem(g, child);
  }
  void JoinGroup(uint32_t rootIndex, const ts::app::ShownFile& child) override {
    AddResultItem(static_cast<int32_t>(rootIndex), child);
  }
  void Finish() override {
    SetDigestListDrawing(true);
    SetDisabled(ui::AddButton, false);
    SetDisabled(ui::RemoveButton, false);
    SetTextProperty(ui::Elapsed, prop::LabelCaption, ElapsedText());
    SetTextProperty(ui::Totals, prop::LabelCaption, TotalsText());
    SetDisabled(ui::ScanButton, false);
    SetDisabled(ui::StopButton, true);
  }

 private:
  static constexpr uint64_t kBarIntervalMs = 500;
  uint64_t barPercent_ = 0;
  uint64_t barTick_ = 0;
};

struct ActiveScan {
  MainInputs inputs;
  MainOutput output;
  ts::app::ScanJob job{inputs, output, RunOnUiThread};
  HANDLE thread = nullptr;
  ~ActiveScan() {
    if (thread) CloseHandle(thread);
  }
};

// The current scan; touched on the UI thread only. Workers hold their own
// reference, so a retired scan lives until its worker is gone.
std::shared_ptr<ActiveScan> g_current;
// Every scan whose worker may still run (a stopped worker can still be
// listing or reading, a finished one can still show its end-of-scan
// message); the program waits for each before it ends. UI thread only.
std::vector<std::shared_ptr<ActiveScan>> g_workers;
std::atomic<bool> g_exiting{false};
std::atomic<int32_t> g_runningWorkers{0};

// Counts a worker out when its body ends, whichever way it ends.
struct CountedOut {
  ~CountedOut() { g_runningWorkers.fetch_sub(1); }
};

// The worker thread's body: the parameter is a heap copy of the scan's
// reference, which the worker releases when it ends.
extern "C" void ScanWorker(uint32_t parameter) {
  const CountedOut countedOut;
  std::unique_ptr<std::shared_ptr<ActiveScan>> scan(
      reinterpret_cast<std::shared_ptr<ActiveScan>*>(static_cast<uintptr_t>(parameter)));
  ActiveScan& s = **scan;
  bool finished = false;
  try {
    finished = s.job.Run();
  } catch (const std::exception&) {
    // Out of memory (a scan of millions of files in a 32-bit process):
    // the scan ends as a Stop would end it, keeping what it found.
    RunOnUiThread([&] { return g_current.get() == &s && !s.job.Retired(); }, [] { StopScan(); });
    return;
  }
  if (!finished || g_exiting.load()) return;
  ShowMessage("恭喜你，当前目录重复文件已扫描成功，请重新进行扫描！", 64, text::BlogCaption);
}

// The window's clock: the running scan's latest step and waiting changes.
void ShowScanProgress() {
  if (g_current && g_current->job.Running()) {
    g_current->job.ShowWaiting();
  } else {
    StopUiClock();
  }
}

bool Ended(const ActiveScan& scan) { return !scan.thread || WaitForSingleObject(scan.thread, 0) == WAIT_OBJECT_0; }

// Closes the end-of-scan message a worker may be showing, as its OK button
// would.
BOOL CALLBACK CloseMessageBox(HWND hwnd, LPARAM) {
  char cls[16] = {};
  GetClassNameA(hwnd, cls, sizeof cls);
  if (std::strcmp(cls, "#32770") == 0) PostMessageA(hwnd, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  return TRUE;
}

}  // namespace

std::string FormatElapsed(double seconds) {
  int64_t t = static_cast<int64_t>(seconds);  // truncation toward zero
  int64_t days = t / 86400;
  t -= days * 86400;
  int64_t hours = t / 3600;
  t -= hours * 3600;
  int64_t minutes = t / 60;
  int64_t secs = t - minutes * 60;
  std::string out;
  if (days != 0) out += std::to_string(days) + " 天 ";
  if (hours != 0) out += std::to_string(hours) + " 小时 ";
  if (minutes != 0) out += std::to_string(minutes) + " 分钟 ";
  if (secs != 0) out += std::to_string(secs) + " 秒";
  return out;
}

int32_t CountGroups() {
  int32_t n = TreeItemCount(ui::ResultTree);
  int32_t roots = 0;
  for (int32_t i = 0; i < n; ++i) {
    if (TreeParent(ui::ResultTree, i) == -1) ++roots;
  }
  return roots;
}

void StartScan() {
  if (ListRowCount(ui::FolderList) == 0) {
    ShowMessage("微言微语：扫描路径或目录文件不能为空，请稍后再试！", 16, text::BlogCaption);
    return;
  }
  InitUiThreadCalls();
  g_scanStartTime = CurrentTime();
  g_scanStartTick.store(GetTickCount64());
  if (g_current) g_current->job.Retire();
  std::erase_if(g_workers, [](const std::shared_ptr<ActiveScan>& w) { return Ended(*w); });
  auto scan = std::make_shared<ActiveScan>();
  auto* handoff = new std::shared_ptr<ActiveScan>(scan);
  int32_t handle = 0;
  g_runningWorkers.fetch_add(1);
  if (!StartThread(ScanWorker, static_cast<uint32_t>(reinterpret_cast<uintptr_t>(handoff)), &handle)) {
    // No worker: the buttons stay as they are, idle.
    g_runningWorkers.fetch_sub(1);
    delete handoff;
    scan->job.Retire();
    return;
  }
  scan->thread = reinterpret_cast<HANDLE>(static_cast<uintptr_t>(static_cast<uint32_t>(handle)));
  g_current = scan;
  g_workers.push_back(scan);
  StartUiClock(scan->job.UpdateInterval(), ShowScanProgress);
  SetDisabled(ui::ScanButton, true);
  SetDisabled(ui::StopButton, false);
}

void StopScan() {
  // The changes the worker made before this moment are shown, then the job
  // is retired: from here on the old worker can change nothing, so the
  // steps below are the last word even if the worker is mid-file.
  if (g_current) g_current->job.Stop();
  StopUiClock();
  SetDigestListDrawing(true);
  SetDisabled(ui::ScanButton, false);
  SetDisabled(ui::StopButton, true);
  SetDisabled(ui::AddButton, false);
  SetDisabled(ui::RemoveButton, false);
  SetIntProperty(ui::Progress, prop::Position, 0);
  SetTextProperty(ui::Elapsed, prop::LabelCaption, ElapsedText());
  SetTextProperty(ui::Totals, prop::LabelCaption, TotalsText());
}

int32_t RunningScanWorkers() { return g_runningWorkers.load(); }

void StopScanForExit() {
  g_exiting.store(true);
  StopUiClock();
  for (const auto& scan : g_workers) scan->job.Retire();
  // Workers see the stop between read pieces and list entries, and calls
  // they are sending to this thread are refused meanwhile, so each ends
  // within a fraction of a second; a finished one is let go from its
  // end-of-scan message. A worker caught in a system call that never
  // returns (a network share that stopped answering) is not waited for
  // beyond the bound: the process then ends without it.
  constexpr DWORD kBoundMs = 10000;
  const DWORD start = GetTickCount();
  for (const auto& scan : g_workers) {
    while (!Ended(*scan) && GetTickCount() - start < kBoundMs) {
      EnumThreadWindows(GetThreadId(scan->thread), CloseMessageBox, 0);
      WaitPumpingCalls(scan->thread, 50);
    }
  }
  g_workers.clear();
}

}  // namespace ts::app
