// Shell operation and the folder dialog.
#include "libs/shell/shell_library.h"

#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <vector>

#include "runtime/notify.h"

namespace ts {
namespace {

NotifyFn g_runtime = nullptr;

constexpr int32_t kWindowCount = 2032;
constexpr int32_t kWindowAt = 2033;
constexpr UINT kEditBox = 0x10;           // BIF_EDITBOX
constexpr UINT kEditBoxAndFiles = 0x4010;  // BIF_EDITBOX | BIF_BROWSEINCLUDEFILES

bool Given(int argc, const ArgRecord* args, int i) { return i < argc && args[i].type != tag::None; }
const char* TextAt(int argc, const ArgRecord* args, int i) {
  return Given(argc, args, i) && args[i].type == tag::Text ? ArgText(args[i]) : nullptr;
}

// A top-level window of the runtime and whether it was enabled before the
// dialog took over.
struct Remembered {
  HWND hwnd;
  bool enabled;
};

// While alive, every top-level window of the runtime is disabled; on
// destruction each gets back exactly its earlier state, then the foreground
// and active windows are restored where they still exist.
class ModalScope {
 public:
  ModalScope() : active_(GetActiveWindow()), foreground_(GetForegroundWindow()) {
    if (!g_runtime) return;
    const NotifyWord count = g_runtime(kWindowCount, 0, 0);
    for (NotifyWord i = 0; i < count; ++i) {
      HWND hwnd = reinterpret_cast<HWND>(g_runtime(kWindowAt, i, 0));
      if (!hwnd || !IsWindow(hwnd) || GetParent(hwnd)) continue;
      windows_.push_back({hwnd, IsWindowEnabled(hwnd) != FALSE});
      EnableWindow(hwnd, FALSE);
    }
  }
  ~ModalScope() {
    for (const Remembered& w : windows_) {
      if (IsWindow(w.hwnd)) EnableWindow(w.hwnd, w.enabled ? TRUE : FALSE);
    }
    if (foreground_ && IsWindow(foreground_)) SetForegroundWindow(foreground_);
    if (active_ && IsWindow(active_)) SetActiveWindow(active_);
  }
  ModalScope(const ModalScope&) = delete;
  ModalScope& operator=(const ModalScope&) = delete;

  HWND Owner() const { return active_ && IsWindow(active_) ? active_ : nullptr; }

 private:
  HWND active_;
  HWND foreground_;
  std::vector<Remembered> windows_;
};

// A text as the platform's ANSI functions read it; empty for null.
std::wstring Wide(const char* text) {
  if (!text || !*text) return std::wstring();
  const int n = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
  if (n <= 1) return std::wstring();
  std::wstring wide(static_cast<size_t>(n - 1), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text, -1, wide.data(), n);
  return wide;
}

// Frees an item list through the shell's allocator.
void FreeItem(LPITEMIDLIST item) {
  IMalloc* shellMalloc = nullptr;
  if (SUCCEEDED(SHGetMalloc(&shellMalloc)) && shellMalloc) {
    shellMalloc->Free(item);
    shellMalloc->Release();
  }
}

}  // namespace

const char* ShellVerb(int32_t operation) {
  static const char* const kVerbs[] = {"edit", "explore", "find", "open", "print"};
  return operation >= 1 && operation <= 5 ? kVerbs[operation - 1] : nullptr;
}

int ShellShowCommand(int32_t mode) {
  // 6 is SW_MINIMIZE (minimised, another window activated).
  static const int kShow[] = {SW_HIDE, SW_SHOWNORMAL, SW_SHOWMINIMIZED, SW_SHOWMAXIMIZED, SW_SHOWNA, SW_MINIMIZE};
  return mode >= 1 && mode <= 6 ? kShow[mode - 1] : SW_SHOWNORMAL;
}

void ShellOperationExact(int32_t operation, const std::wstring& file, const wchar_t* parameters,
                         const wchar_t* directory, int show) {
  const std::wstring verb = Wide(ShellVerb(operation));
  ShellExecuteW(nullptr, verb.empty() ? nullptr : verb.c_str(), file.c_str(), parameters, directory ? directory : L"",
                show);
}

void ShellOperation(ResultRecord*, int argc, ArgRecord* args) {
  const int32_t operation = Given(argc, args, 0) ? args[0].v.i32 : 0;
  const std::wstring file = Wide(argc >= 2 ? ArgText(args[1]) : EmptyTextArg());
  const char* parameters = TextAt(argc, args, 2);
  const char* directory = TextAt(argc, args, 3);
  const std::wstring wideParameters = Wide(parameters);
  const std::wstring wideDirectory = Wide(directory);
  const int show = argc >= 5 && Given(argc, args, 4) ? ShellShowCommand(args[4].v.i32) : SW_SHOWNORMAL;
  ShellOperationExact(operation, file, parameters ? wideParameters.c_str() : nullptr,
                      directory ? wideDirectory.c_str() : nullptr, show);
}

std::wstring BrowseForFolderExact(const char* title, bool includeFiles) {
  wchar_t displayName[MAX_PATH + 1] = {};
  wchar_t path[MAX_PATH + 1] = {};
  const std::wstring wideTitle = Wide(title);
  BROWSEINFOW info{};
  info.lpszTitle = wideTitle.c_str();
  info.ulFlags = includeFiles ? kEditBoxAndFiles : kEditBox;
  info.pszDisplayName = displayName;

  LPITEMIDLIST item = nullptr;
  {
    ModalScope modal;
    info.hwndOwner = modal.Owner();
    item = SHBrowseForFolderW(&info);
  }
  if (!item) return std::wstring();
  const bool isPath = SHGetPathFromIDListW(item, path) != FALSE;
  FreeItem(item);
  return isPath ? std::wstring(path) : std::wstring();
}

void BrowseForFolder(ResultRecord* result, int argc, ArgRecord* args) {
  result->type = tag::Text;
  const char* title = argc >= 1 && args[0].type == tag::Text ? ArgText(args[0]) : "";
  const std::wstring path = BrowseForFolderExact(title, Given(argc, args, 1) && args[1].v.i32);
  if (path.empty()) return;
  // As the platform's ANSI form of the dialog answers: its own conversion.
  char text[MAX_PATH * 2 + 1] = {};
  const int n = WideCharToMultiByte(CP_ACP, 0, path.c_str(), -1, text, sizeof text, nullptr, nullptr);
  if (n > 1) SetResultPointer(result, MakeText(text));
}

NotifyWord ShellLibraryNotify(int32_t code, NotifyWord p1, NotifyWord) {
  if (code == 1) {
    g_runtime = reinterpret_cast<NotifyFn>(p1);
    return 0;
  }
  return code == 6 ? 0 : static_cast<NotifyWord>(-1);
}

}  // namespace ts

namespace ts {
namespace {
const void* const kShellCommands[] = {reinterpret_cast<const void*>(&BrowseForFolder),
                                      reinterpret_cast<const void*>(&ShellOperation)};
const LibraryRecord kShellRecord = {
    20000101, "52F260023059454187AF826A3C07AF2A", 3, 0, 0, 0, 0, 0, 0, "操作系统界面功能支持库", 1, nullptr, 0,
    {},       0,  nullptr, {}, 2, nullptr, kShellCommands, {}, &ShellLibraryNotify, {}};
}  // namespace

const LibraryRecord& ShellLibraryRecord() { return kShellRecord; }
}  // namespace ts
