#include "tests/app/e2e_support.h"

#include <commctrl.h>

#include <cstring>

#include "app/calls.h"
#include "app/scan/path_rules.h"
#include "forms/engine/unit.h"
#include "runtime/forms_link.h"

namespace e2e {

using namespace ts::app;

bool WaitFor(const std::function<bool()>& done, int ms) {
  for (int waited = 0; waited <= ms; waited += 20) {
    if (done()) return true;
    Sleep(20);
  }
  return done();
}

HWND MainWindow() {
  const ts::FormsHooks& forms = ts::Forms();
  if (!forms.windowCount || !forms.windowAt) return nullptr;
  for (uint32_t i = 0, n = forms.windowCount(); i < n; ++i) {
    ts::WindowEntry e{};
    if (forms.windowAt(i, &e) && e.formId == kMainForm) return e.hwnd;
  }
  return nullptr;
}

namespace {

struct UnitSearch {
  uint32_t unitId;
  HWND found;
};

BOOL CALLBACK FindUnit(HWND hwnd, LPARAM lp) {
  auto* s = reinterpret_cast<UnitSearch*>(lp);
  ts::forms::UnitObject* unit = ts::forms::UnitObject::FromHandle(hwnd);
  if (unit && unit->unitId() == s->unitId) {
    s->found = hwnd;
    return FALSE;
  }
  return TRUE;
}

struct BoxSearch {
  Box box;
};

BOOL CALLBACK FindBoxWindow(HWND hwnd, LPARAM lp) {
  DWORD pid = 0;
  DWORD thread = GetWindowThreadProcessId(hwnd, &pid);
  if (pid != GetCurrentProcessId() || !IsWindowVisible(hwnd)) return TRUE;
  char cls[32] = {};
  GetClassNameA(hwnd, cls, sizeof cls);
  if (std::strcmp(cls, "#32770") != 0 || !GetDlgItem(hwnd, 0xFFFF)) return TRUE;
  auto* s = reinterpret_cast<BoxSearch*>(lp);
  char text[2048] = {}, caption[256] = {};
  GetDlgItemTextA(hwnd, 0xFFFF, text, sizeof text);
  GetWindowTextA(hwnd, caption, sizeof caption);
  s->box.hwnd = hwnd;
  s->box.text = text;
  s->box.caption = caption;
  s->box.ownedByMainThread = thread == GetWindowThreadProcessId(MainWindow(), nullptr);
  return FALSE;
}

struct DialogSearch {
  HWND found;
};

BOOL CALLBACK FindFolderDialog(HWND hwnd, LPARAM lp) {
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  if (pid != GetCurrentProcessId() || !IsWindowVisible(hwnd)) return TRUE;
  char cls[32] = {};
  GetClassNameA(hwnd, cls, sizeof cls);
  if (std::strcmp(cls, "#32770") != 0 || !GetDlgItem(hwnd, 0x3741)) return TRUE;
  reinterpret_cast<DialogSearch*>(lp)->found = hwnd;
  return FALSE;
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

// Expands `parent` (null: the roots) and finds a child whose text matches.
HTREEITEM FindChild(HWND tree, HTREEITEM parent, const std::function<bool(const std::wstring&)>& match) {
  HTREEITEM result = nullptr;
  WaitFor([&] {
    HTREEITEM item;
    if (parent) {
      SendMessageA(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(parent));
      item = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(parent)));
    } else {
      item = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
    }
    for (; item; item = reinterpret_cast<HTREEITEM>(
                     SendMessageA(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item)))) {
      if (match(ItemText(tree, item))) {
        result = item;
        return true;
      }
    }
    return false;
  }, 5000);
  return result;
}

// Removes a folder with everything in it, whatever the names: paths are
// exact and given verbatim.
void RemoveTree(const std::wstring& dir) {
  WIN32_FIND_DATAW fd;
  HANDLE h = FindFirstFileW(ts::app::VerbatimPath(dir + L"\\*").c_str(), &fd);
  if (h != INVALID_HANDLE_VALUE) {
    do {
      std::wstring n = fd.cFileName;
      if (n == L"." || n == L"..") continue;
      std::wstring p = dir + L"\\" + n;
      if ((fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !(fd.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        RemoveTree(p);
      } else if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveDirectoryW(ts::app::VerbatimPath(p).c_str());
      } else {
        SetFileAttributesW(ts::app::VerbatimPath(p).c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(ts::app::VerbatimPath(p).c_str());
      }
    } while (FindNextFileW(h, &fd));
    FindClose(h);
  }
  RemoveDirectoryW(ts::app::VerbatimPath(dir).c_str());
}

}  // namespace

HWND UnitWindow(const UnitRef& unit, HWND window) {
  HWND main = window ? window : MainWindow();
  if (!main) return nullptr;
  UnitSearch s{unit.unit, nullptr};
  EnumChildWindows(main, FindUnit, reinterpret_cast<LPARAM>(&s));
  return s.found;
}

void Click(const UnitRef& button) { PostMessageA(UnitWindow(button), BM_CLICK, 0, 0); }

bool Enabled(const UnitRef& unit) { return IsWindowEnabled(UnitWindow(unit)) != FALSE; }

bool WaitForBox(Box* box, int ms) {
  BoxSearch s;
  bool ok = WaitFor([&] {
    s = BoxSearch{};
    EnumWindows(FindBoxWindow, reinterpret_cast<LPARAM>(&s));
    return s.box.hwnd != nullptr;
  }, ms);
  *box = s.box;
  return ok;
}

void Dismiss(const Box& box) {
  PostMessageA(box.hwnd, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  WaitFor([&] { return !IsWindow(box.hwnd); }, 5000);
}

bool NoBox() {
  BoxSearch s;
  EnumWindows(FindBoxWindow, reinterpret_cast<LPARAM>(&s));
  return s.box.hwnd == nullptr;
}

std::string AnswerFolderDialog(const std::string& folder) { return AnswerFolderDialog(ts::app::WideFromText(folder)); }

std::string AnswerFolderDialog(const std::wstring& folder) {
  DialogSearch s{nullptr};
  if (!WaitFor([&] {
        EnumWindows(FindFolderDialog, reinterpret_cast<LPARAM>(&s));
        return s.found != nullptr;
      })) {
    return "no folder dialog";
  }
  HWND dialog = s.found;
  // The answer is complete once the dialog is gone: a dialog asked for next
  // is then never taken for this one.
  auto close = [dialog](int button) {
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
    WaitFor([dialog] { return !IsWindow(dialog); }, 5000);
  };
  if (folder.empty()) {
    close(IDCANCEL);
    return "";
  }
  HWND tree = GetDlgItem(dialog, 0x3741);
  HTREEITEM item = FindChild(tree, nullptr, [](const std::wstring&) { return true; });
  item = item ? FindChild(tree, item, [](const std::wstring& t) { return t == L"\x6211\x7684\x7535\x8111"; }) : nullptr;  // 我的电脑
  item = item ? FindChild(tree, item, [](const std::wstring& t) { return t.find(L"(Z:)") != std::wstring::npos; })
              : nullptr;
  // Walk the folder names after "Z:\".
  size_t at = 3;
  while (item && at < folder.size()) {
    size_t end = folder.find(L'\\', at);
    if (end == std::wstring::npos) end = folder.size();
    std::wstring name = folder.substr(at, end - at);
    item = FindChild(tree, item, [&](const std::wstring& t) { return t == name; });
    at = end + 1;
  }
  if (!item) {
    close(IDCANCEL);
    return "folder not found in the dialog's tree: " + ts::app::ShownText(folder);
  }
  SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
  close(IDOK);
  return "";
}

Fixture::Fixture(const std::string& tag) {
  root_ = "Z:\\tmp\\ts_e2e_" + tag + "_" + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(GetTickCount());
  CreateDirectoryA(root_.c_str(), nullptr);
}

Fixture::~Fixture() {
  if (!keep_) RemoveTree(ts::app::WideFromText(root_));
}

void Fixture::Sparse(const std::string& relative, int64_t size) const {
  HANDLE h = CreateFileA(Path(relative).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  LARGE_INTEGER at;
  at.QuadPart = size;
  SetFilePointerEx(h, at, nullptr, FILE_BEGIN);
  SetEndOfFile(h);
  CloseHandle(h);
}

std::string Fixture::Path(const std::string& relative) const { return relative.empty() ? root_ : root_ + "\\" + relative; }

void Fixture::Dir(const std::string& relative) const { CreateDirectoryA(Path(relative).c_str(), nullptr); }

void Fixture::File(const std::string& relative, const std::string& content) const {
  File(ts::app::WideFromText(relative), content);
}

std::wstring Fixture::Path(const std::wstring& relative) const {
  return relative.empty() ? ts::app::WideFromText(root_) : ts::app::WideFromText(root_) + L"\\" + relative;
}

void Fixture::Dir(const std::wstring& relative) const {
  CreateDirectoryW(ts::app::VerbatimPath(Path(relative)).c_str(), nullptr);
}

void Fixture::File(const std::wstring& relative, const std::string& content) const {
  HANDLE h = CreateFileW(ts::app::VerbatimPath(Path(relative)).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0,
                         nullptr);
  DWORD wrote = 0;
  WriteFile(h, content.data(), static_cast<DWORD>(content.size()), &wrote, nullptr);
  CloseHandle(h);
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool Exists(const std::wstring& path) {
  return GetFileAttributesW(ts::app::VerbatimPath(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string ReadAll(const std::string& path) { return ReadAll(ts::app::WideFromText(path)); }

std::string ReadAll(const std::wstring& path) {
  HANDLE h = CreateFileW(ts::app::VerbatimPath(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                         nullptr);
  if (h == INVALID_HANDLE_VALUE) return "";
  std::string out(GetFileSize(h, nullptr), '\0');
  DWORD got = 0;
  ReadFile(h, out.data(), static_cast<DWORD>(out.size()), &got, nullptr);
  CloseHandle(h);
  return out;
}

std::vector<std::string> ListColumn(const UnitRef& list, int column) {
  std::vector<std::string> out;
  for (int32_t r = 0, n = ListRowCount(list); r < n; ++r) out.push_back(ListCellText(list, r, column));
  return out;
}

std::vector<TreeNode> Tree() {
  std::vector<TreeNode> out;
  for (int32_t i = 0, n = TreeItemCount(ui::ResultTree); i < n; ++i) {
    std::string text = TreeItemText(ui::ResultTree, i);
    if (TreeParent(ui::ResultTree, i) == -1) {
      out.push_back({text, {}});
    } else if (!out.empty()) {
      out.back().children.push_back(text);
    }
  }
  return out;
}

std::string Label(const UnitRef& label) { return GetTextProperty(label, prop::LabelCaption); }

}  // namespace e2e
