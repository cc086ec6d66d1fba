#include "app/actions.h"

#include <windows.h>
#include <shellapi.h>

#include <vector>

#include "app/calls.h"
#include "app/program.h"
#include "app/item_paths.h"
#include "app/scan/file_digest.h"
#include "app/scan/path_rules.h"
#include "app/ui.h"
#include "libs/shell/shell_library.h"
#include "runtime/commands/commands.h"
#include "runtime/services.h"

namespace ts::app {
namespace {


void SetChildChecks(int32_t state) {
  const int32_t n = TreeItemCount(ui::ResultTree);
  for (int32_t i = 0; i < n; ++i) {
    if (TreeParent(ui::ResultTree, i) != -1) TreeSetCheckState(ui::ResultTree, i, state);
  }
}

struct Member {
  std::wstring path;  // empty: the item names no file
  bool checked = false;
  bool gone = false;  // removed by this clean
};

// Lets the windows of this thread repaint while a comparison of large
// copies runs on it: only paint messages are taken from the queue (and
// calls other threads send are carried out, as by any peek), so input waits
// for the clean to end. A window that leaves its area invalid would come
// back at once: a few paints a piece at most.
void RepaintWindows() {
  MSG message;
  for (int i = 0; i < 16 && PeekMessageA(&message, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE); ++i) {
    DispatchMessageA(&message);
  }
}

// Whether `path` may go: another member of its group that is still there,
// is a different file, and holds the same bytes right now. Unchecked
// members are tried first, since they are the copies being kept.
bool HasOtherCopy(const std::vector<Member>& group, size_t self) {
  for (int pass = 0; pass < 2; ++pass) {
    for (size_t j = 0; j < group.size(); ++j) {
      const Member& m = group[j];
      if (j == self || m.gone || m.checked != (pass == 1)) continue;
      if (ts::app::IsDistinctCopy(group[self].path, m.path, RepaintWindows)) return true;
    }
  }
  return false;
}

bool RemoveFile(const std::wstring& path, bool toRecycleBin) {
  if (toRecycleBin) return RecycleFile(path, 1);
  const std::wstring verbatim = ts::app::VerbatimPath(path);
  return static_cast<uint32_t>(CallDll(DllCommand::DeleteFileW, verbatim.c_str())) != 0;
}

// The exact path of the tree's current item, when the shell can be given
// it as it is; empty otherwise.
std::wstring CurrentItemPathForShell() {
  int32_t item = GetIntProperty(ui::ResultTree, prop::CurrentItem);
  if (item < 0) return std::wstring();
  std::wstring path = ResultItemPath(item);
  return ts::app::ShellWouldRewrite(path) ? std::wstring() : path;
}

}  // namespace

void AutoSelect() { SetChildChecks(1); }

void CancelSelection() { SetChildChecks(0); }

void Clean() {
  const int32_t n = TreeItemCount(ui::ResultTree);
  if (n == 0) {
    ShowMessage("微言微语：目前你尚未有可清理的文件项目，请稍后再试！", 16, text::BlogCaption);
    return;
  }
  // One linear walk gathers the groups: a root opens a group, its children
  // follow it in tree order.
  std::vector<std::vector<Member>> groups;
  std::vector<std::pair<size_t, size_t>> order;  // (group, member) of each item, in tree order
  for (int32_t i = 0; i < n; ++i) {
    Member m;
    m.path = ResultPath(TreeItemText(ui::ResultTree, i), TreeItemData(ui::ResultTree, i));
    m.checked = TreeCheckState(ui::ResultTree, i) == 1;
    if (TreeParent(ui::ResultTree, i) == -1 || groups.empty()) groups.emplace_back();
    groups.back().push_back(m);
    order.emplace_back(groups.size() - 1, groups.back().size() - 1);
  }
  for (const auto& [g, k] : order) {
    std::vector<Member>& group = groups[g];
    if (!group[k].checked || group[k].path.empty()) continue;
    // A checked file goes only while a different file of its group still
    // holds the same bytes: no group loses its last copy, a file changed
    // since the scan stays, and a digest collision removes nothing.
    if (!HasOtherCopy(group, k)) continue;
    bool toRecycleBin = GetIntProperty(ui::Recycle, prop::Checked) != 0;
    if (RemoveFile(group[k].path, toRecycleBin)) group[k].gone = true;
  }
}

bool RecycleFile(const std::wstring& path, int options) {
  if (path.empty() || ts::app::ShellWouldRewrite(path) || path.find_first_of(L"?*") != std::wstring::npos) return false;
  std::vector<wchar_t> from(path.begin(), path.end());
  from.push_back(L'\0');
  from.push_back(L'\0');
  SHFILEOPSTRUCTW op{};
  op.hwnd = nullptr;
  op.wFunc = FO_DELETE;
  op.pFrom = from.data();
  op.fFlags = FOF_ALLOWUNDO | FOF_WANTNUKEWARNING;
  if (options & 1) op.fFlags |= FOF_NOCONFIRMATION;
  if (options & 2) op.fFlags |= FOF_NOERRORUI;
  if (options & 4) op.fFlags |= FOF_SILENT;
  uint32_t rc = static_cast<uint32_t>(CallDll(DllCommand::SHFileOperationW, &op));
  return rc == 0 && !op.fAnyOperationsAborted;
}

void OpenCurrentFile() {
  const std::wstring path = CurrentItemPathForShell();
  if (path.empty()) return;
  constexpr int32_t kOpen = 4;  // the shell operation's number for "open"
  ts::ShellOperationExact(kOpen, path, nullptr, nullptr, SW_SHOWNORMAL);
}

std::wstring ExplorerPath(const std::wstring& path) {
  // A network path keeps its leading "\\"; in the rest every "\\" becomes
  // "\", pair by pair from the left.
  const size_t keep = path.rfind(L"\\\\", 0) == 0 ? 2 : 0;
  std::wstring out = path.substr(0, keep);
  for (size_t i = keep; i < path.size(); ++i) {
    out += path[i];
    if (path[i] == L'\\' && i + 1 < path.size() && path[i + 1] == L'\\') ++i;
  }
  return out;
}

void LocateInExplorer(const std::wstring& path) {
  wchar_t windows[MAX_PATH + 1] = {};
  UINT n = GetWindowsDirectoryW(windows, MAX_PATH);
  std::wstring explorer = (n > 0 && n < MAX_PATH) ? std::wstring(windows) + L"\\explorer.exe" : L"explorer";
  constexpr int32_t kNormalWindow = 2;
  ts::StartProgram(L"\"" + explorer + L"\" /n,/select,\"" + ExplorerPath(path) + L"\"", false, kNormalWindow);
}

void LocateCurrentFile() {
  const std::wstring path = CurrentItemPathForShell();
  if (path.empty()) return;
  LocateInExplorer(path);
}

}  // namespace ts::app
