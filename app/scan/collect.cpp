#include "app/scan/collect.h"

#include <windows.h>

#include <memory>
#include <string_view>

#include "app/scan/path_rules.h"

namespace ts::app {
namespace {

// One entry of a directory listing, its name exactly as listed.
struct Entry {
  std::wstring_view name;
  uint64_t size;
  DWORD attributes;
  bool folder() const { return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }
};

HANDLE FindFirst(const std::wstring& pattern, WIN32_FIND_DATAW* data) {
  HANDLE search = FindFirstFileExW(pattern.c_str(), FindExInfoBasic, data, FindExSearchNameMatch, nullptr,
                                   FIND_FIRST_EX_LARGE_FETCH);
  if (search != INVALID_HANDLE_VALUE) return search;
  const DWORD error = GetLastError();
  if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND || error == ERROR_NO_MORE_FILES) return search;
  // Systems before Windows 7 refuse the basic information level and the
  // large fetch: the standard search lists the same entries.
  return FindFirstFileExW(pattern.c_str(), FindExInfoStandard, data, FindExSearchNameMatch, nullptr, 0);
}

// Walks the listing of `dir` (ending with its separator) for `pattern`,
// matched by the platform, handing every entry but "." and ".." to `take`. After every entry, kept or not, `listed`
// runs and the stop request is tested, so that a stop never waits for a
// long listing.
template <typename Take, typename Listed>
void ForEachEntry(const std::wstring& dir, const std::wstring& pattern, const std::atomic<bool>* stop, Take take,
                  Listed listed) {
  WIN32_FIND_DATAW data;
  HANDLE search = FindFirst(VerbatimPath(dir + pattern), &data);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    const std::wstring_view found(data.cFileName);
    if (found != L"." && found != L"..") {
      take(Entry{found, (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow, data.dwFileAttributes});
    }
    listed();
    if (stop && stop->load(std::memory_order_relaxed)) break;
  } while (FindNextFileW(search, &data));
  FindClose(search);
}

// The same for a folder open as `folder`, read through its handle (no path
// lookup per call). False when the platform cannot list this way (an older
// system or another file system): the caller then lists by path.
template <typename Take, typename Listed>
bool ForEachEntryOf(HANDLE folder, const std::atomic<bool>* stop, Take take, Listed listed) {
  constexpr DWORD kBytes = 64 * 1024;
  thread_local std::unique_ptr<uint64_t[]> buffer(new uint64_t[kBytes / sizeof(uint64_t)]);
  FILE_INFO_BY_HANDLE_CLASS kind = FileFullDirectoryRestartInfo;
  while (GetFileInformationByHandleEx(folder, kind, buffer.get(), kBytes)) {
    kind = FileFullDirectoryInfo;
    auto* at = reinterpret_cast<const uint8_t*>(buffer.get());
    for (;;) {
      const auto* e = reinterpret_cast<const FILE_FULL_DIR_INFO*>(at);
      const std::wstring_view found(e->FileName, e->FileNameLength / sizeof(wchar_t));
      if (found != L"." && found != L"..") {
        take(Entry{found, static_cast<uint64_t>(e->EndOfFile.QuadPart), e->FileAttributes});
      }
      listed();
      if (stop && stop->load(std::memory_order_relaxed)) return true;
      if (e->NextEntryOffset == 0) break;
      at += e->NextEntryOffset;
    }
  }
  // A first call that fails for any reason but an empty listing means this
  // way of listing is not available here.
  return kind == FileFullDirectoryInfo || GetLastError() == ERROR_NO_MORE_FILES;
}

struct HandleCloser {
  void operator()(void* h) const { CloseHandle(h); }
};
using OwnedHandle = std::unique_ptr<void, HandleCloser>;

// The size of the file a link points to, as the opened file gives it: the
// listing gives the link's own size. False when the link leads nowhere.
bool SizeThroughLink(const std::wstring& path, uint64_t* size) {
  OwnedHandle file(CreateFileW(VerbatimPath(path).c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                               nullptr, OPEN_EXISTING, 0, nullptr));
  if (file.get() == INVALID_HANDLE_VALUE) {
    file.release();
    return false;
  }
  LARGE_INTEGER li;
  if (!GetFileSizeEx(file.get(), &li)) return false;
  *size = static_cast<uint64_t>(li.QuadPart);
  return true;
}

// Patterns that match every name on the platform: a folder's files and its
// sub-folders then come from one listing instead of two.
bool MatchesEverything(const std::wstring& pattern) { return pattern == L"*" || pattern == L"*.*"; }

}  // namespace

FileCollector::FileCollector(const std::atomic<bool>* stop, std::function<void()> pump, PathStore& paths)
    : stop_(stop), pump_(std::move(pump)), paths_(paths) {}

void FileCollector::BeginScan() {
  entered_.clear();
  folders_.Clear();
}

IdentitySet& FileCollector::EnteredFor(const std::wstring& pattern) {
  return entered_.try_emplace(pattern, [this](uint32_t k) { return folders_.Exact(k); }).first->second;
}

bool FileCollector::Enter(const std::wstring& folder, const std::wstring& pattern) {
  IdentitySet& entered = EnteredFor(pattern);
  return entered.InsertPath(Offer(folder));
}

void FileCollector::Collect(const std::wstring& folder, const std::string& pattern, bool recursive,
                            FoundFiles& out) {
  if (!ExactFolderUsable(folder) || !PatternUsable(pattern)) return;
  const std::wstring piece = WideFromText(pattern);
  if (piece.empty()) return;
  if (recursive && MatchesEverything(piece)) {
    CollectEverything(folder, piece, out);
    return;
  }
  if (!Enter(folder, piece)) return;
  if (recursive) {
    CollectRecursive(folder, piece, out);
  } else {
    EnumerateFiles(folder, piece, out);
  }
}

void FileCollector::AddFile(const std::wstring& dir, std::wstring_view name, uint64_t size, uint32_t attributes,
                            FoundFiles& out) {
  if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
    // A file link is read through the link, so its size is the file's at
    // the other end; a link that leads nowhere is left out.
    if (!SizeThroughLink(dir + std::wstring(name), &size)) return;
  }
  out.Add(paths_.Add(dir, name), size);
}

void FileCollector::CollectEverything(const std::wstring& folder, const std::wstring& pattern,
                                      FoundFiles& out) {
  // One handle gives the folder's identity and its listing: files and
  // sub-folders together, with their sizes.
  OwnedHandle handle(CreateFileW(VerbatimPath(folder).c_str(), FILE_LIST_DIRECTORY,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                 FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (handle.get() == INVALID_HANDLE_VALUE) {
    handle.release();
    Enter(folder, pattern);  // nothing to list; the folder's path is taken
    return;
  }
  IdentitySet& entered = EnteredFor(pattern);
  if (!entered.Insert(handle.get(), QuickIndex(handle.get()), Offer(folder))) return;
  const std::wstring dir = WithBackslash(folder);
  std::vector<std::wstring> subfolders;
  auto take = [&](const Entry& e) {
    if (!e.folder()) {
      AddFile(dir, e.name, e.size, e.attributes, out);
    } else if (e.name[0] != L'.') {
      subfolders.push_back(dir + std::wstring(e.name));
    }
  };
  const size_t before = out.size();
  const bool listed = ForEachEntryOf(handle.get(), stop_, take, [this] { Pump(); });
  handle.reset();  // deep trees would otherwise hold a handle per level
  if (!listed && out.size() == before && subfolders.empty()) ForEachEntry(dir, L"*", stop_, take, [this] { Pump(); });
  for (const std::wstring& sub : subfolders) {
    if (Stopped()) return;
    CollectEverything(sub, pattern, out);
  }
}

void FileCollector::CollectRecursive(const std::wstring& folder, const std::wstring& pattern,
                                     FoundFiles& out) {
  std::vector<std::wstring> subfolders;
  EnumerateFiles(folder, pattern, out);
  if (Stopped()) return;
  EnumerateSubfolders(folder, subfolders);
  for (const std::wstring& sub : subfolders) {
    if (Stopped()) return;
    if (Enter(sub, pattern)) CollectRecursive(sub, pattern, out);
  }
}

void FileCollector::EnumerateFiles(const std::wstring& folder, const std::wstring& pattern,
                                   FoundFiles& out) {
  const std::wstring dir = WithBackslash(folder);
  ForEachEntry(
      dir, pattern, stop_, [&](const Entry& e) { if (!e.folder()) AddFile(dir, e.name, e.size, e.attributes, out); },
      [this] { Pump(); });
}

void FileCollector::EnumerateSubfolders(const std::wstring& folder, std::vector<std::wstring>& out) {
  const std::wstring dir = WithBackslash(folder);
  ForEachEntry(
      dir, L"*", stop_,
      [&](const Entry& e) { if (e.folder() && e.name[0] != L'.') out.push_back(dir + std::wstring(e.name)); },
      [this] { Pump(); });
}

}  // namespace ts::app
