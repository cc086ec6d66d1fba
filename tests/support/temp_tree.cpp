#include "tests/support/temp_tree.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>

namespace ts::test {
namespace {

std::atomic<unsigned> g_trees{0};

std::string TempFolder() {
  char base[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, base);
  std::string s = base;
  if (!s.empty() && s.back() == '\\') s.pop_back();
  return s;
}

std::wstring Widen(const std::string& s) {
  std::wstring w(s.size() + 1, L'\0');
  const int n = MultiByteToWideChar(CP_ACP, 0, s.c_str(), -1, w.data(), static_cast<int>(w.size()));
  w.resize(n > 0 ? static_cast<size_t>(n - 1) : 0);
  return w;
}

// A full path as the file functions take it without rewriting it (no
// trailing dot or space stripped, any length); other paths as they are.
std::wstring Verbatim(const std::wstring& path) {
  if (path.size() > 2 && path[1] == L':' && path[2] == L'\\') return L"\\\\?\\" + path;
  if (path.size() > 2 && path[0] == L'\\' && path[1] == L'\\' && path[2] != L'?') {
    return L"\\\\?\\UNC\\" + path.substr(2);
  }
  return path;
}

void RemoveExact(const std::wstring& folder) {
  WIN32_FIND_DATAW fd;
  HANDLE h = FindFirstFileW(Verbatim(folder + L"\\*").c_str(), &fd);
  if (h != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = fd.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::wstring path = folder + L"\\" + name;
      const std::wstring exact = Verbatim(path);
      const bool isFolder = (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
      const bool isLink = (fd.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
      if (!isLink && (fd.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0) {
        SetFileAttributesW(exact.c_str(), FILE_ATTRIBUTE_NORMAL);
      }
      if (isFolder && !isLink) {
        RemoveExact(path);
      } else if (isFolder) {
        RemoveDirectoryW(exact.c_str());
      } else {
        DeleteFileW(exact.c_str());
      }
    } while (FindNextFileW(h, &fd));
    FindClose(h);
  }
  SetFileAttributesW(Verbatim(folder).c_str(), FILE_ATTRIBUTE_NORMAL);
  RemoveDirectoryW(Verbatim(folder).c_str());
}

// What an open file holds, from its start; closes it.
std::string ReadAndClose(HANDLE h) {
  if (h == INVALID_HANDLE_VALUE) return "";
  std::string out(GetFileSize(h, nullptr), '\0');
  DWORD got = 0;
  if (!out.empty()) ReadFile(h, out.data(), static_cast<DWORD>(out.size()), &got, nullptr);
  CloseHandle(h);
  out.resize(got);
  return out;
}

bool Write(HANDLE h, const std::string& content) {
  if (h == INVALID_HANDLE_VALUE) return false;
  DWORD wrote = 0;
  const bool ok = content.empty() ||
                  (WriteFile(h, content.data(), static_cast<DWORD>(content.size()), &wrote, nullptr) &&
                   wrote == content.size());
  CloseHandle(h);
  return ok;
}

}  // namespace

std::string Body::Bytes() const {
  std::string out(size, fill);
  auto put = [&](size_t at, const std::string& part) {
    for (size_t i = 0; i < part.size() && at + i < size; ++i) out[at + i] = part[i];
  };
  put(0, prefix);
  put(size > middle.size() ? (size - middle.size()) / 2 : 0, middle);
  put(size > suffix.size() ? size - suffix.size() : 0, suffix);
  return out;
}

TempTree::TempTree(const std::string& tag, const std::string& base) {
  root_ = (base.empty() ? TempFolder() : base) + "\\ts_" + tag + "_" + std::to_string(GetCurrentProcessId()) + "_" +
          std::to_string(++g_trees);
  RemoveTree(root_);  // a left-over of an earlier run with the same process id
  if (!CreateDirectoryA(root_.c_str(), nullptr)) ADD_FAILURE() << "cannot create " << root_;
}

TempTree::~TempTree() {
  if (!keep_) RemoveTree(root_);
}

std::string TempTree::Path(const std::string& relative) const {
  return relative.empty() ? root_ : root_ + "\\" + relative;
}

void TempTree::MakeParents(const std::string& relative) const {
  for (size_t at = relative.find('\\'); at != std::string::npos; at = relative.find('\\', at + 1)) {
    CreateDirectoryA(Path(relative.substr(0, at)).c_str(), nullptr);
  }
}

std::string TempTree::Dir(const std::string& relative) const {
  MakeParents(relative);
  const std::string path = Path(relative);
  if (!CreateDirectoryA(path.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
    ADD_FAILURE() << "cannot create " << path;
  }
  return path;
}

std::string TempTree::File(const std::string& relative, const std::string& content) const {
  const std::string path = Path(relative);
  auto create = [&] { return CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr); };
  // Parents are made only when missing: a test may make thousands of files.
  HANDLE h = create();
  if (h == INVALID_HANDLE_VALUE && GetLastError() == ERROR_PATH_NOT_FOUND) {
    MakeParents(relative);
    h = create();
  }
  if (!Write(h, content)) {
    ADD_FAILURE() << "cannot write " << path;
  }
  return path;
}

std::wstring TempTree::Path(const std::wstring& relative) const {
  return relative.empty() ? Widen(root_) : Widen(root_) + L"\\" + relative;
}

void TempTree::MakeParents(const std::wstring& relative) const {
  for (size_t at = relative.find(L'\\'); at != std::wstring::npos; at = relative.find(L'\\', at + 1)) {
    CreateDirectoryW(Verbatim(Path(relative.substr(0, at))).c_str(), nullptr);
  }
}

std::wstring TempTree::Dir(const std::wstring& relative) const {
  MakeParents(relative);
  const std::wstring path = Path(relative);
  if (!CreateDirectoryW(Verbatim(path).c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
    ADD_FAILURE() << "cannot create a folder with a UTF-16 name under " << root_;
  }
  return path;
}

std::wstring TempTree::File(const std::wstring& relative, const std::string& content) const {
  const std::wstring path = Path(relative);
  auto create = [&] {
    return CreateFileW(Verbatim(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  };
  HANDLE h = create();
  if (h == INVALID_HANDLE_VALUE && GetLastError() == ERROR_PATH_NOT_FOUND) {
    MakeParents(relative);
    h = create();
  }
  if (!Write(h, content)) {
    ADD_FAILURE() << "cannot write a file with a UTF-16 name under " << root_;
  }
  return path;
}

std::string TempTree::Sparse(const std::string& relative, int64_t size) const {
  MakeParents(relative);
  const std::string path = Path(relative);
  HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  LARGE_INTEGER at;
  at.QuadPart = size;
  if (h == INVALID_HANDLE_VALUE || !SetFilePointerEx(h, at, nullptr, FILE_BEGIN) || !SetEndOfFile(h)) {
    ADD_FAILURE() << "cannot make " << path;
  }
  if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
  return path;
}

bool TempTree::HardLink(const std::string& relative, const std::string& existing) const {
  MakeParents(relative);
  return CreateHardLinkA(Path(relative).c_str(), existing.c_str(), nullptr) != FALSE;
}

bool TempTree::SymLink(const std::string& relative, const std::string& target, bool folder) const {
  MakeParents(relative);
  // Wine answers TRUE and makes nothing: only a link that is there counts.
  return CreateSymbolicLinkA(Path(relative).c_str(), target.c_str(), folder ? SYMBOLIC_LINK_FLAG_DIRECTORY : 0) &&
         Exists(relative);
}

bool TempTree::Exists(const std::string& relative) const { return PathExists(Path(relative)); }

std::string TempTree::Read(const std::string& relative) const { return ReadWhole(Path(relative)); }

bool PathExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string ReadWhole(const std::string& path) {
  return ReadAndClose(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, 0, nullptr));
}

bool PathExists(const std::wstring& path) {
  return GetFileAttributesW(Verbatim(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string ReadWhole(const std::wstring& path) {
  return ReadAndClose(CreateFileW(Verbatim(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, 0, nullptr));
}

void RemoveTree(const std::string& folder) { RemoveExact(Widen(folder)); }

}  // namespace ts::test
