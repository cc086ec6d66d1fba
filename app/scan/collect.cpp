#include "app/scan/collect.h"

#include <windows.h>

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
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    const bool isFolder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    if (isFolder != folders) continue;
    take(std::string(data.cFileName), (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow);
    if (stop && stop->load(std::memory_order_relaxed)) break;
  } while (FindNextFileA(search, &data));
  FindClose(search);
}

std::string IdentityKey(const std::string& folder) {
  FileIdentity id;
  if (!FolderIdentity(folder, &id)) {
    id = FileIdentity{};
    id.pathKey = folder;
  }
  if (!id.pathKey.empty()) return "p:" + id.pathKey;
  return "i:" + std::to_string(id.volume) + ":" + std::to_string(id.index);
}

}  // namespace

FileCollector::FileCollector(const std::atomic<bool>* stop, std::function<void()> pump)
    : stop_(stop), pump_(std::move(pump)) {}

void FileCollector::BeginScan() { entered_.clear(); }

bool FileCollector::Enter(const std::string& folder, const std::string& pattern) {
  return entered_.emplace(IdentityKey(folder), pattern).second;
}

void FileCollector::Collect(const std::string& folder, const std::string& pattern, bool recursive,
                            std::vector<FoundFile>& out) {
  if (folder.empty() || !IsAbsoluteFolder(folder) || !PatternUsable(pattern) || pattern.empty()) return;
  if (!Enter(folder, pattern)) return;
  if (recursive) {
    CollectRecursive(folder, pattern, out);
  } else {
    EnumerateFiles(folder, pattern, out);
  }
}

void FileCollector::CollectRecursive(const std::string& folder, const std::string& pattern,
                                     std::vector<FoundFile>& out) {
  EnumerateFiles(folder, pattern, out);
  std::vector<std::string> subfolders;
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
    if (EntryNameSafe(name)) out.push_back(FoundFile{dir + name, size});
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
