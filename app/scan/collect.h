// Collecting the files of one listed folder for a scan, in scan order:
// for each pattern piece, the folder's own matching files, then (when
// sub-folders are included) each sub-folder depth-first in the order the
// platform lists them. Listings are read in UTF-16 whatever the pattern and
// every name is kept exactly as listed, whatever code page 936 can spell of
// it; folders are listed and files named verbatim (see VerbatimPath), so no
// name is ever rewritten into another. Listed folders that are not absolute
// or have a component no file name can be, pattern pieces that reach
// outside the folder, folders whose name starts with "." and folders
// already entered for the same pattern in this scan (junction and link
// cycles, nested listed folders) are left out. The stop request is tested
// after every entry listed and between listings.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "app/scan/file_digest.h"
#include "app/scan/path_store.h"

namespace ts::app {

// The files a collection found, in scan order, as the directory listing
// gives them: their paths, which the collection adds to the scan's path
// store one after another (so the i-th file's path is number first + i),
// and their sizes (for a file link, the size of the file it leads to).
class FoundFiles {
 public:
  uint32_t size() const { return static_cast<uint32_t>(sizes_.size()); }
  bool empty() const { return sizes_.empty(); }
  uint32_t path(uint32_t i) const { return first_ + i; }
  uint64_t fileSize(uint32_t i) const { return sizes_[i]; }
  void Add(uint32_t path, uint64_t size) {
    if (sizes_.empty()) first_ = path;
    sizes_.push_back(size);
  }

 private:
  uint32_t first_ = 0;
  std::vector<uint64_t> sizes_;
};

class FileCollector {
 public:
  // `pump` runs every 256 entries listed, kept or not (the scan keeps the
  // window responsive while it lists large folders); `stop` ends the
  // listing early. File
  // paths go into `paths`.
  FileCollector(const std::atomic<bool>* stop, std::function<void()> pump, PathStore& paths);

  // Forgets the folders entered: called when a scan starts.
  void BeginScan();

  // Appends the files of the exact `folder` that match `pattern` (a text,
  // recursively when asked) to `out`, their exact paths to the path store.
  // A folder the scan may not use (see ExactFolderUsable), or a pattern
  // piece with "\", "/" or ":", yields nothing.
  void Collect(const std::wstring& folder, const std::string& pattern, bool recursive, FoundFiles& out);

  // The matching files of one folder (no recursion), appended with the
  // sizes the listing gives.
  void EnumerateFiles(const std::wstring& folder, const std::wstring& pattern, FoundFiles& out);
  // The sub-folders of one folder whose names do not begin with ".".
  void EnumerateSubfolders(const std::wstring& folder, std::vector<std::wstring>& out);

 private:
  bool Stopped() const { return stop_ && stop_->load(std::memory_order_relaxed); }
  // True the first time a folder is entered for a pattern in this scan.
  bool Enter(const std::wstring& folder, const std::wstring& pattern);
  IdentitySet& EnteredFor(const std::wstring& pattern);
  // Offers a folder for entering: its number among the folders offered.
  uint32_t Offer(const std::wstring& folder) { return folders_.Add(std::wstring_view(), folder); }
  void AddFile(const std::wstring& dir, std::wstring_view name, uint64_t size, uint32_t attributes, FoundFiles& out);
  // Recursive collection for a pattern that matches every name: each
  // folder is opened once, for its identity and its listing.
  void CollectEverything(const std::wstring& folder, const std::wstring& pattern, FoundFiles& out);
  void CollectRecursive(const std::wstring& folder, const std::wstring& pattern, FoundFiles& out);

  const std::atomic<bool>* stop_;
  // Runs the pump every 256 entries listed: asking for waiting input is a round
  // trip to the window server under Wine, too dear for every entry of a
  // large listing, and the worker has no window of its own to keep alive.
  void Pump() {
    if (pump_ && (++entries_ & 255) == 0) pump_();
  }

  std::function<void()> pump_;
  PathStore& paths_;
  uint32_t entries_ = 0;
  PathStore folders_;                            // every folder offered for entering
  std::map<std::wstring, IdentitySet> entered_;  // the folders entered, per pattern
};

}  // namespace ts::app
