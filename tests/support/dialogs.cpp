#include "tests/support/dialogs.h"

#include <commctrl.h>

#include <cstring>
#include <functional>

namespace ts::test {
namespace {

constexpr int kMessageText = 0xFFFF;
constexpr int kFolderTree = 0x3741;

struct Search {
  DWORD process;
  bool messageBox;
  int control;  // a control the dialog must have, 0 for any
  Dialog found;
};

BOOL CALLBACK FindOne(HWND hwnd, LPARAM lp) {
  auto* s = reinterpret_cast<Search*>(lp);
  DWORD pid = 0;
  const DWORD thread = GetWindowThreadProcessId(hwnd, &pid);
  if (pid != s->process || !IsWindowVisible(hwnd)) return TRUE;
  char cls[32] = {};
  GetClassNameA(hwnd, cls, sizeof cls);
  if (std::strcmp(cls, "#32770") != 0) return TRUE;
  const bool box = GetDlgItem(hwnd, kMessageText) != nullptr;
  if ((s->messageBox && !box) || (s->control != 0 && !GetDlgItem(hwnd, s->control))) return TRUE;
  s->found.hwnd = hwnd;
  s->found.thread = thread;
  s->found.messageBox = box;
  s->found.caption = WindowText(hwnd);
  if (box) s->found.text = WindowText(GetDlgItem(hwnd, kMessageText));
  return FALSE;
}

Dialog Find(DWORD process, bool messageBox, int control = 0) {
  Search s{process ? process : GetCurrentProcessId(), messageBox, control, {}};
  EnumWindows(FindOne, reinterpret_cast<LPARAM>(&s));
  return s.found;
}

std::wstring ItemText(HWND tree, HTREEITEM item) {
  wchar_t buf[MAX_PATH] = {};
  TVITEMW it{};
  it.mask = TVIF_TEXT;
  it.hItem = item;
  it.pszText = buf;
  it.cchTextMax = MAX_PATH;
  SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&it));
  return buf;
}

// Expands `parent` (the roots when null) and finds a child whose text
// matches, waiting while the dialog fills the branch.
HTREEITEM FindChild(HWND tree, HTREEITEM parent, const std::function<bool(const std::wstring&)>& match) {
  HTREEITEM result = nullptr;
  WaitFor([&] {
    HTREEITEM item;
    if (parent) {
      SendMessageA(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(parent));
      item = TreeView_GetChild(tree, parent);
    } else {
      item = TreeView_GetRoot(tree);
    }
    for (; item; item = TreeView_GetNextSibling(tree, item)) {
      if (match(ItemText(tree, item))) {
        result = item;
        return true;
      }
    }
    return false;
  }, 5000);
  return result;
}

// Presses a button of the folder dialog and waits until the dialog is gone.
void Close(HWND dialog, int button) {
  PressButton(dialog, button);
  WaitFor([dialog] { return !IsWindow(dialog); }, 5000);
}

}  // namespace

std::string WindowText(HWND hwnd) {
  char buf[2048] = {};
  GetWindowTextA(hwnd, buf, sizeof buf);
  return buf;
}

Dialog FindDialog(DWORD processId, bool messageBox) { return Find(processId, messageBox); }

Dialog WaitForDialog(DWORD ms, bool messageBox, DWORD processId) {
  Dialog d;
  WaitFor([&] {
    d = Find(processId, messageBox);
    return d.hwnd != nullptr;
  }, ms);
  return d;
}

bool NoMessageBox(DWORD processId) { return Find(processId, true).hwnd == nullptr; }

void PressButton(HWND dialog, int id) {
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

void Dismiss(const Dialog& box, DWORD ms) {
  PressButton(box.hwnd, IDOK);
  WaitFor([&] { return !IsWindow(box.hwnd); }, ms);
}

Dialog WaitForFolderDialog(DWORD ms) {
  Dialog dialog;
  WaitFor([&] {
    dialog = Find(0, false, kFolderTree);
    return dialog.hwnd != nullptr;
  }, ms);
  return dialog;
}

std::string AnswerFolderDialog(const std::wstring& folder, DWORD ms) {
  const Dialog dialog = WaitForFolderDialog(ms);
  if (!dialog.hwnd) return "no folder dialog";
  if (folder.empty()) {
    Close(dialog.hwnd, IDCANCEL);
    return "";
  }
  HWND tree = GetDlgItem(dialog.hwnd, kFolderTree);
  HTREEITEM item = FindChild(tree, nullptr, [](const std::wstring&) { return true; });
  item = item ? FindChild(tree, item, [](const std::wstring& t) { return t == L"\x6211\x7684\x7535\x8111"; })  // 我的电脑
              : nullptr;
  item = item ? FindChild(tree, item, [](const std::wstring& t) { return t.find(L"(Z:)") != std::wstring::npos; })
              : nullptr;
  // Then each folder name after "Z:\".
  for (size_t at = 3; item && at < folder.size();) {
    size_t end = folder.find(L'\\', at);
    if (end == std::wstring::npos) end = folder.size();
    const std::wstring name = folder.substr(at, end - at);
    item = FindChild(tree, item, [&](const std::wstring& t) { return t == name; });
    at = end + 1;
  }
  if (!item) {
    Close(dialog.hwnd, IDCANCEL);
    std::string shown(folder.size() * 2 + 1, '\0');
    const int n = WideCharToMultiByte(CP_ACP, 0, folder.c_str(), -1, shown.data(), static_cast<int>(shown.size()),
                                      nullptr, nullptr);
    shown.resize(n > 0 ? static_cast<size_t>(n - 1) : 0);
    return "folder not found in the dialog's tree: " + shown;
  }
  SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
  Close(dialog.hwnd, IDOK);
  return "";
}

std::string AnswerFolderDialog(const std::string& folder, DWORD ms) {
  std::wstring wide(folder.size() + 1, L'\0');
  const int n = MultiByteToWideChar(CP_ACP, 0, folder.c_str(), -1, wide.data(), static_cast<int>(wide.size()));
  wide.resize(n > 0 ? static_cast<size_t>(n - 1) : 0);
  return AnswerFolderDialog(wide, ms);
}

}  // namespace ts::test
