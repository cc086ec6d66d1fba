#include "app/scan/collect.h"

#include <windows.h>

#include <optional>

#include "app/scan/path_rules.h"

namespace app {
namespace {

// Walks one directory listing, handing each entry that passes the filter to
// `take` with its name, size and whether it is a folder: files only, folders
// only, or (no filter) both. The platform's
// wildcard matching decides which names match. The listing is read directly
// (not through the runtime's find-file service, which gives names alone) so
// that sizes come with the names at no extra cost.
template <typename Take>
void ForEachEntry(const std::string& pattern, std::optional<bool> folders, const std::atomic<bool>* stop, Take take) {
  WIN32_FIND_DATAA data;
  HANDLE search = FindFirstFileExA(pattern.c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr,
                                   FIND_FIRST_EX_LARGE_FETCH);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    const bool isFolder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    if (folders && isFolder != *folders) continue;
    take(std::string(data.cFileName), (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow, isFolder);
    if (stop && stop->load(std::memory_order_relaxed)) break;
  } while (FindNextFileA(search, &data));
  FindClose(search);
}

// Patterns that match every name on the platform: a folder's files and its
// sub-folders then come from one listing instead of two.
bool MatchesEverything(const std::string& pattern) { return pattern == "*" || pattern == "*.*"; }

}  // namespace

FileCollector::FileCollector(const std::atomic<bool>* stop, std::function<void()> pump, PathStore& paths)
    : stop_(stop), pump_(std::move(pump)), paths_(paths) {}

void FileCollector::BeginScan() {
  entered_.clear();
  folders_.clear();
}

bool FileCollector::Enter(const std::string& folder, const std::string& pattern) {
  auto it = entered_.try_emplace(pattern, [this](uint32_t k) { return folders_[k]; }).first;
  folders_.push_back(folder);
  return it->second.InsertPath(static_cast<uint32_t>(folders_.size() - 1));
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
  std::vector<std::string> subfolders;
  if (MatchesEverything(pattern)) {
    const std::string dir = WithBackslash(folder);
    ForEachEntry(dir + "*", std::nullopt, stop_, [&](const std::string& name, uint64_t size, bool isFolder) {
      if (!isFolder) {
        if (EntryNameSafe(name)) out.push_back(FoundFile{paths_.Add(dir + name), size});
      } else if (name[0] != '.' && EntryNameSafe(name)) {
        subfolders.push_back(dir + name);
      }
      Pump();
    });
  } else {
    EnumerateFiles(folder, pattern, out);
    EnumerateSubfolders(folder, subfolders);
  }
  for (const std::string& sub : subfolders) {
    if (Stopped()) return;
    if (Enter(sub, pattern)) CollectRecursive(sub, pattern, out);
  }
}

void FileCollector::EnumerateFiles(const std::string& folder, const std::string& pattern,
                                   std::vector<FoundFile>& out) {
  const std::string dir = WithBackslash(folder);
  ForEachEntry(dir + pattern, false, stop_, [&](const std::string& name, uint64_t size, bool) {
    if (EntryNameSafe(name)) out.push_back(FoundFile{paths_.Add(dir + name), size});
    Pump();
  });
}

void FileCollector::EnumerateSubfolders(const std::string& folder, std::vector<std::string>& out) {
  const std::string dir = WithBackslash(folder);
  ForEachEntry(dir + "*.*", true, stop_, [&](const std::string& name, uint64_t, bool) {
    if (name[0] != '.' && EntryNameSafe(name)) out.push_back(dir + name);
    Pump();
  });
}

}  // namespace app
