#include "app/scan/path_rules.h"

#include <windows.h>

#include <cstdint>
#include <vector>

#include "runtime/values.h"

namespace ts::app {
namespace {

// Calls f(position, length) for each character of a GBK text.
template <typename F>
void ForEachChar(std::string_view text, F f) {
  size_t i = 0;
  while (i < text.size()) {
    size_t n = (ts::IsLeadByte(static_cast<uint8_t>(text[i])) && i + 1 < text.size()) ? 2 : 1;
    f(i, n);
    i += n;
  }
}

bool IsSingle(std::string_view text, size_t at, size_t n, char c) { return n == 1 && text[at] == c; }

bool IsAscii(std::wstring_view wide) {
  for (wchar_t c : wide) {
    if (c >= 0x80) return false;
  }
  return true;
}

bool IsDriveLetter(wchar_t d) { return (d >= L'A' && d <= L'Z') || (d >= L'a' && d <= L'z'); }

// Where the components after the root begin: after "X:\" or after "\\";
// 0 for a path that is neither.
size_t RootLength(std::wstring_view path) {
  if (path.size() >= 3 && IsDriveLetter(path[0]) && path[1] == L':' && path[2] == L'\\') return 3;
  if (path.size() > 2 && path[0] == L'\\' && path[1] == L'\\' && path[2] != L'\\' && path[2] != L'?' &&
      path[2] != L'.') {
    return 2;
  }
  return 0;
}

// Calls f(component) for each component after the root.
template <typename F>
void ForEachComponent(std::wstring_view path, size_t root, F f) {
  size_t start = root;
  for (size_t i = root; i <= path.size(); ++i) {
    if (i == path.size() || path[i] == L'\\') {
      if (i > start) f(path.substr(start, i - start));
      start = i + 1;
    }
  }
}

}  // namespace

bool IsAbsoluteFolder(std::string_view folder) {
  if (folder.size() >= 3 && folder[1] == ':' && folder[2] == '\\') return IsDriveLetter(static_cast<wchar_t>(folder[0]));
  // \\server\share: two backslashes and a non-empty server name.
  return folder.size() > 2 && folder[0] == '\\' && folder[1] == '\\' && folder[2] != '\\' &&
         folder[2] != '?' && folder[2] != '.';
}

bool PatternUsable(std::string_view piece) {
  bool usable = true;
  ForEachChar(piece, [&](size_t at, size_t n) {
    if (IsSingle(piece, at, n, '\\') || IsSingle(piece, at, n, '/') || IsSingle(piece, at, n, ':')) usable = false;
  });
  return usable;
}

bool EntryNameSafe(std::string_view name) {
  if (name.empty()) return false;
  char last = name.back();
  if (last == '.' || last == ' ') return false;
  // A "?" or "*" cannot be part of a real name: it is the platform's
  // stand-in for a character that the code page cannot hold.
  if (name.find('?') != std::string_view::npos || name.find('*') != std::string_view::npos) return false;
  std::wstring wide = WideFromText(name);
  std::string again;
  return !wide.empty() && SpelledExactly(wide, &again) && again == name;
}

bool PathTextSafe(std::string_view path) {
  if (!IsAbsoluteFolder(path)) return false;
  const size_t root = path[0] == '\\' ? 2 : 3;  // after "\\" or "X:\"
  bool safe = true;
  size_t start = root;
  auto component = [&](size_t end) {
    if (end > start && !EntryNameSafe(path.substr(start, end - start))) safe = false;
  };
  ForEachChar(path, [&](size_t at, size_t n) {
    if (at >= root && IsSingle(path, at, n, '\\')) {
      component(at);
      start = at + 1;
    }
  });
  component(path.size());
  return safe;
}

std::wstring WideFromText(std::string_view text) {
  if (text.empty()) return std::wstring();
  const int size = static_cast<int>(text.size());
  const int n = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text.data(), size, nullptr, 0);
  if (n <= 0) return std::wstring();
  std::wstring wide(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text.data(), size, wide.data(), n);
  return wide;
}

std::wstring ExactFromText(std::string_view text) { return PathTextSafe(text) ? WideFromText(text) : std::wstring(); }

bool SpelledExactly(std::wstring_view wide, std::string* out) {
  // Plain ASCII maps to itself both ways; only names with other characters
  // need the round trip (a listing is mostly ASCII names).
  if (IsAscii(wide)) {
    out->assign(wide.size(), '\0');
    for (size_t i = 0; i < wide.size(); ++i) (*out)[i] = static_cast<char>(wide[i]);
    return true;
  }
  // The window's texts are in the ANSI code page, which the program takes
  // to be 936.
  const int size = static_cast<int>(wide.size());
  BOOL usedDefault = FALSE;
  const int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), size, nullptr, 0, nullptr, &usedDefault);
  if (n <= 0 || usedDefault) return false;
  out->assign(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), size, out->data(), n, nullptr, &usedDefault);
  return !usedDefault && WideFromText(*out) == wide;
}

std::string ShownText(std::wstring_view wide) {
  std::string text;
  if (SpelledExactly(wide, &text)) return text;
  // Character by character: a pair of surrogates is one character, and one
  // "?" stands for it.
  text.clear();
  for (size_t i = 0; i < wide.size();) {
    const size_t n =
        (wide[i] >= 0xD800 && wide[i] < 0xDC00 && i + 1 < wide.size() && wide[i + 1] >= 0xDC00 && wide[i + 1] < 0xE000)
            ? 2
            : 1;
    std::string one;
    text += SpelledExactly(wide.substr(i, n), &one) ? one : std::string("?");
    i += n;
  }
  return text;
}

std::wstring WithBackslash(std::wstring_view folder) {
  std::wstring out(folder);
  if (out.empty() || out.back() != L'\\') out += L'\\';
  return out;
}

bool ExactFolderUsable(std::wstring_view folder) {
  const size_t root = RootLength(folder);
  if (root == 0) return false;
  bool usable = true;
  ForEachComponent(folder, root, [&](std::wstring_view c) {
    if (c == L"." || c == L"..") usable = false;
    for (wchar_t ch : c) {
      if (ch < 0x20 || std::wstring_view(L"<>:\"/|?*").find(ch) != std::wstring_view::npos) usable = false;
    }
  });
  return usable;
}

std::wstring VerbatimPath(std::wstring_view path) {
  const size_t root = RootLength(path);
  if (root == 3) return L"\\\\?\\" + std::wstring(path);
  if (root == 2) return L"\\\\?\\UNC\\" + std::wstring(path.substr(2));
  return std::wstring(path);
}

bool ShellWouldRewrite(std::wstring_view path) {
  if (path.size() >= MAX_PATH) return true;
  bool rewrites = false;
  ForEachComponent(path, RootLength(path), [&](std::wstring_view c) {
    if (c.back() == L'.' || c.back() == L' ') rewrites = true;
  });
  return rewrites;
}

}  // namespace ts::app
