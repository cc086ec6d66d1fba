#include "app/scan/collect.h"

#include "app/scan/path_rules.h"
#include "runtime/services.h"

namespace app {
namespace {

// Walks one FindFile search, handing each name to `take`; the search is
// closed whatever happens.
template <typename Take>
void ForEachEntry(const std::string& pattern, uint32_t mask, bool noMask, const std::atomic<bool>* stop, Take take) {
  void* search = nullptr;
  char* name = ts::svc::FindFile(pattern.c_str(), mask, noMask, &search);
  while (name) {
    std::string entry(name);
    ts::svc::Free(name);
    take(entry);
    if (stop && stop->load(std::memory_order_relaxed)) break;
    name = ts::svc::FindFile(nullptr, mask, noMask, &search);
  }
  ts::svc::CloseFind(search);
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
                            std::vector<std::string>& out) {
  if (folder.empty() || !IsAbsoluteFolder(folder) || !PatternUsable(pattern) || pattern.empty()) return;
  if (!Enter(folder, pattern)) return;
  if (recursive) {
    CollectRecursive(folder, pattern, out);
  } else {
    EnumerateFiles(folder, pattern, out);
  }
}

void FileCollector::CollectRecursive(const std::string& folder, const std::string& pattern,
                                     std::vector<std::string>& out) {
  EnumerateFiles(folder, pattern, out);
  std::vector<std::string> subfolders;
  EnumerateSubfolders(folder, subfolders);
  for (const std::string& sub : subfolders) {
    if (Stopped()) return;
    if (Enter(sub, pattern)) CollectRecursive(sub, pattern, out);
  }
}

void FileCollector::EnumerateFiles(const std::string& folder, const std::string& pattern,
                                   std::vector<std::string>& out) {
  const std::string dir = WithBackslash(folder);
  ForEachEntry(dir + pattern, 0, true, stop_, [&](const std::string& name) {
    if (EntryNameSafe(name)) out.push_back(dir + name);
    if (pump_) pump_();
  });
}

void FileCollector::EnumerateSubfolders(const std::string& folder, std::vector<std::string>& out) {
  const std::string dir = WithBackslash(folder);
  ForEachEntry(dir + "*.*", 16, false, stop_, [&](const std::string& name) {
    if (name[0] != '.' && EntryNameSafe(name)) out.push_back(dir + name);
    if (pump_) pump_();
  });
}

}  // namespace app
