#include "app/scan/collect.h"

#include <windows.h>

#include <memory>
#include <string_view>

#include "app/scan/path_rules.h"

namespace app {
namespace {

// Walks one directory listing, handing each entry that passes the filter to
// `take` with its name and size: files only, or folders only. The platform's
// wildcard matching decides which names match. The listing is read directly
// (not through the runtime's find-file service, which gives names alone) so
// that sizes come with the names at no extra cost.
template <typename Take>
void ForEachEntry(const std::string& pattern, bool folders, const std::atomic<bool>* stop, Take take) {
  WIN32_FIND_DATAA data;
  HANDLE search = FindFirstFileExA(pattern.c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr,
                                   FIND_FIRST_EX_LARGE_FETCH);
  if (search == INVALID_HANDLE_VALUE && GetLastError() == ERROR_INVALID_PARAMETER) {
    // Windows Vista refuses the basic information and large fetches (they
    // came with Windows 7): the standard listing gives the same entries.
    search = FindFirstFileExA(pattern.c_str(), FindExInfoStandard, &data, FindExSearchNameMatch, nullptr, 0);
  }
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    const bool isFolder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    if (isFolder != folders) continue;
    take(std::string(data.cFileName), (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow);
    if (stop && stop->load(std::memory_order_relaxed)) break;
  } while (FindNextFileA(search, &data));
  FindClose(search);
}

// Patterns that match every name on the platform: a folder's files and its
// sub-folders then come from one listing instead of two.
bool MatchesEverything(const std::string& pattern) { return pattern == "*" || pattern == "*.*"; }

// A name as the ANSI file functions will take it: converted to the ANSI
// code page and back without a single character changed (no stand-ins, no
// look-alike substitutes), else false.
bool ToAnsiName(std::wstring_view wide, std::string* out) {
  bool ascii = true;
  for (wchar_t c : wide) ascii = ascii && c < 0x80;
  if (ascii) {
    out->assign(wide.size(), '\0');
    for (size_t i = 0; i < wide.size(); ++i) (*out)[i] = static_cast<char>(wide[i]);
    return true;
  }
  char narrow[1024];
  BOOL usedDefault = FALSE;
  const int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()), narrow,
                                    sizeof narrow, nullptr, &usedDefault);
  if (n <= 0 || usedDefault) return false;
  wchar_t back[512];
  const int m = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, narrow, n, back, 512);
  if (m != static_cast<int>(wide.size()) || wide.compare(0, wide.size(), back, static_cast<size_t>(m)) != 0) return false;
  out->assign(narrow, static_cast<size_t>(n));
  return true;
}

// Walks the listing of a folder open as `folder`, handing each entry but
// "." and ".." to `take` with its name, size and whether it is a folder.
// Names that the ANSI file functions could not reach are left out. false,
// with nothing handed out, when the platform refuses this kind of listing
// (Windows before 8 has no full-directory class; some file systems refuse
// it too): the caller then lists the folder by name.
template <typename Take>
bool ForEachEntryOf(HANDLE folder, const std::atomic<bool>* stop, Take take) {
  constexpr DWORD kBytes = 64 * 1024;
  thread_local std::unique_ptr<uint64_t[]> buffer(new uint64_t[kBytes / sizeof(uint64_t)]);
  FILE_INFO_BY_HANDLE_CLASS kind = FileFullDirectoryRestartInfo;
  std::string name;
  if (!GetFileInformationByHandleEx(folder, kind, buffer.get(), kBytes)) return GetLastError() == ERROR_NO_MORE_FILES;
  do {
    kind = FileFullDirectoryInfo;
    auto* at = reinterpret_cast<const uint8_t*>(buffer.get());
    for (;;) {
      const auto* e = reinterpret_cast<const FILE_FULL_DIR_INFO*>(at);
      std::wstring_view wide(e->FileName, e->FileNameLength / sizeof(wchar_t));
      if (wide != L"." && wide != L".." && ToAnsiName(wide, &name)) {
        take(name, static_cast<uint64_t>(e->EndOfFile.QuadPart), (e->FileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0);
      }
      if (stop && stop->load(std::memory_order_relaxed)) return true;
      if (e->NextEntryOffset == 0) break;
      at += e->NextEntryOffset;
    }
  } while (GetFileInformationByHandleEx(folder, kind, buffer.get(), kBytes));
  return true;
}

struct HandleCloser {
  void operator()(void* h) const { CloseHandle(h); }
};
using OwnedHandle = std::unique_ptr<void, HandleCloser>;

}  // namespace

FileCollector::FileCollector(const std::atomic<bool>* stop, std::function<void()> pump, PathStore& paths)
    : stop_(stop), pump_(std::move(pump)), paths_(paths) {}

void FileCollector::BeginScan() {
  entered_.clear();
  folders_.clear();
}

IdentitySet& FileCollector::EnteredFor(const std::string& pattern) {
  return entered_.try_emplace(pattern, [this](uint32_t k) { return folders_[k]; }).first->second;
}

bool FileCollector::Enter(const std::string& folder, const std::string& pattern) {
  IdentitySet& entered = EnteredFor(pattern);
  folders_.push_back(folder);
  return entered.InsertPath(static_cast<uint32_t>(folders_.size() - 1));
}

void FileCollector::Collect(const std::string& folder, const std::string& pattern, bool recursive,
                            std::vector<FoundFile>& out) {
  if (folder.empty() || !IsAbsoluteFolder(folder) || !PatternUsable(pattern) || pattern.empty()) return;
  if (recursive && MatchesEverything(pattern)) {
    CollectEverything(folder, pattern, out);
    return;
  }
  if (!Enter(folder, pattern)) return;
  if (recursive) {
    CollectRecursive(folder, pattern, out);
  } else {
    EnumerateFiles(folder, pattern, out);
  }
}

void FileCollector::CollectEverything(const std::string& folder, const std::string& pattern,
                                      std::vector<FoundFile>& out) {
  // One handle gives the folder's identity and its listing: files and
  // sub-folders together, with their sizes.
  OwnedHandle handle(CreateFileA(folder.c_str(), FILE_LIST_DIRECTORY,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                 FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (handle.get() == INVALID_HANDLE_VALUE) {
    handle.release();
    Enter(folder, pattern);  // nothing to list; the folder's path is taken
    return;
  }
  IdentitySet& entered = EnteredFor(pattern);
  folders_.push_back(folder);
  if (!entered.Insert(handle.get(), QuickIndex(handle.get()), static_cast<uint32_t>(folders_.size() - 1))) return;
  const std::string dir = WithBackslash(folder);
  std::vector<std::string> subfolders;
  auto take = [&](const std::string& name, uint64_t size, bool isFolder) {
    if (!isFolder) {
      if (EntryNameSafe(name)) out.push_back(FoundFile{paths_.Add(dir, name), size});
    } else if (name[0] != '.' && EntryNameSafe(name)) {
      subfolders.push_back(dir + name);
    }
    Pump();
  };
  if (!ForEachEntryOf(handle.get(), stop_, take)) {
    ForEachEntry(dir + pattern, false, stop_, [&](const std::string& name, uint64_t size) { take(name, size, false); });
    ForEachEntry(dir + "*", true, stop_, [&](const std::string& name, uint64_t size) { take(name, size, true); });
  }
  handle.reset();  // deep trees would otherwise hold a handle per level
  for (const std::string& sub : subfolders) {
    if (Stopped()) return;
    CollectEverything(sub, pattern, out);
  }
}

void FileCollector::CollectRecursive(const std::string& folder, const std::string& pattern,
                                     std::vector<FoundFile>& out) {
  std::vector<std::string> subfolders;
  EnumerateFiles(folder, pattern, out);
  EnumerateSubfolders(folder, subfolders);
  for (const std::string& sub : subfolders) {
    if (Stopped()) return;
    if (Enter(sub, pattern)) CollectRecursive(sub, pattern, out);
  }
}

void FileCollector::EnumerateFiles(const std::string& folder, const std::string& pattern,
                                   std::vector<FoundFile>& out) {
  const std::string dir = WithBackslash(folder);
  ForEachEntry(dir + pattern, false, stop_, [&](const std::string& name, uint64_t size) {
    if (EntryNameSafe(name)) out.push_back(FoundFile{paths_.Add(dir, name), size});
    Pump();
  });
}

void FileCollector::EnumerateSubfolders(const std::string& folder, std::vector<std::string>& out) {
  const std::string dir = WithBackslash(folder);
  ForEachEntry(dir + "*.*", true, stop_, [&](const std::string& name, uint64_t) {
    if (name[0] != '.' && EntryNameSafe(name)) out.push_back(dir + name);
    Pump();
  });
}

}  // namespace app
