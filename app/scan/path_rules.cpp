#include "app/scan/path_rules.h"

#include <cstdint>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

#include "runtime/values.h"

namespace app {
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

}  // namespace

bool EndsWithBackslash(std::string_view text) {
  bool last = false;
  ForEachChar(text, [&](size_t at, size_t n) { last = IsSingle(text, at, n, '\\'); });
  return last;
}

std::string WithBackslash(std::string_view folder) {
  std::string out(folder);
  if (!EndsWithBackslash(folder)) out += '\\';
  return out;
}

bool IsAbsoluteFolder(std::string_view folder) {
  if (folder.size() >= 3 && folder[1] == ':' && folder[2] == '\\') {
    char d = folder[0];
    return (d >= 'A' && d <= 'Z') || (d >= 'a' && d <= 'z');
  }
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
  // stand-in for a character that code page 936 cannot hold.
  if (name.find('?') != std::string_view::npos || name.find('*') != std::string_view::npos) return false;
  // Plain ASCII maps to itself both ways; only names with other bytes need
  // the round trip (a listing is mostly ASCII names, and the conversions
  // cost more than the rest of the entry's handling).
  bool ascii = true;
  for (char c : name) ascii = ascii && static_cast<uint8_t>(c) < 0x80;
  if (ascii) return true;
#ifdef _WIN32
  int wide = MultiByteToWideChar(936, MB_ERR_INVALID_CHARS, name.data(), static_cast<int>(name.size()), nullptr, 0);
  if (wide <= 0) return false;
  std::vector<wchar_t> w(static_cast<size_t>(wide));
  MultiByteToWideChar(936, MB_ERR_INVALID_CHARS, name.data(), static_cast<int>(name.size()), w.data(), wide);
  BOOL usedDefault = FALSE;
  int back = WideCharToMultiByte(936, 0, w.data(), wide, nullptr, 0, nullptr, &usedDefault);
  if (back <= 0 || usedDefault) return false;
  std::string again(static_cast<size_t>(back), '\0');
  WideCharToMultiByte(936, 0, w.data(), wide, again.data(), back, nullptr, &usedDefault);
  if (usedDefault || again != name) return false;
#endif
  return true;
}

bool FolderComponentsSafe(std::string_view folder) {
  if (!IsAbsoluteFolder(folder)) return false;
  const size_t root = folder[0] == '\\' ? 2 : 3;  // after "\\" or "X:\"
  bool safe = true;
  size_t start = root;
  auto component = [&](size_t end) {
    if (end > start && !EntryNameSafe(folder.substr(start, end - start))) safe = false;
  };
  ForEachChar(folder, [&](size_t at, size_t n) {
    if (at >= root && IsSingle(folder, at, n, '\\')) {
      component(at);
      start = at + 1;
    }
  });
  component(folder.size());
  return safe;
}

bool NameFromWide(std::wstring_view wide, std::string* out) {
  bool ascii = true;
  for (wchar_t c : wide) ascii = ascii && c < 0x80;
  if (ascii) {
    out->assign(wide.size(), '\0');
    for (size_t i = 0; i < wide.size(); ++i) (*out)[i] = static_cast<char>(wide[i]);
    return EntryNameSafe(*out);
  }
#ifdef _WIN32
  // The file functions the scan calls take names in the ANSI code page.
  char narrow[1024];
  BOOL usedDefault = FALSE;
  const int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()), narrow,
                                    sizeof narrow, nullptr, &usedDefault);
  if (n <= 0 || usedDefault) return false;
  wchar_t back[512];
  const int m = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, narrow, n, back, 512);
  if (m != static_cast<int>(wide.size()) || wide.compare(0, wide.size(), back, static_cast<size_t>(m)) != 0) return false;
  out->assign(narrow, static_cast<size_t>(n));
  return EntryNameSafe(*out);
#else
  return false;
#endif
}

}  // namespace app
