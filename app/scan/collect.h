// Collecting the files of one listed folder for a scan, in scan order:
// for each pattern piece, the folder's own matching files, then (when
// sub-folders are included) each sub-folder depth-first in the order the
// platform lists them. Listings are read in UTF-16 whatever the pattern, and
// a name is kept only when code page 936 writes it exactly (no look-alike
// that could name another file, nothing the platform would rewrite); the
// listed folder's own components must pass the same rule. Pattern pieces
// that reach outside the folder, folders whose name starts with "." and
// folders already entered for the same pattern in this scan (junction and
// link cycles, nested listed folders) are left out. The stop request is
// tested after every entry listed and between listings.
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

namespace app {

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

  // Appends the files of `folder` that match `pattern` (recursively when
  // asked) to `out`, their full paths to the path store. A folder text that
  // is not an absolute path or has a component the scan may not touch, or a
  // pattern piece with "\", "/" or ":", yields nothing.
  void Collect(const std::string& folder, const std::string& pattern, bool recursive, FoundFiles& out);

  // The matching files of one folder (no recursion), appended with the
  // sizes the listing gives.
  void EnumerateFiles(const std::string& folder, const std::string& pattern, FoundFiles& out);
  // The sub-folders of one folder whose names do not begin with ".".
  void EnumerateSubfolders(const std::string& folder, std::vector<std::string>& out);

 private:
  bool Stopped() const { return stop_ && stop_->load(std::memory_order_relaxed); }
  // True the first time a folder is entered for a pattern in this scan.
  bool Enter(const std::string& folder, const std::string& pattern);
  IdentitySet& EnteredFor(const std::string& pattern);
  void AddFile(const std::string& dir, const std::string& name, uint64_t size, uint32_t attributes,
               FoundFiles& out);
  // Recursive collection for a pattern that matches every name: each
  // folder is opened once, for its identity and its listing.
  void CollectEverything(const std::string& folder, const std::string& pattern, FoundFiles& out);
  void CollectRecursive(const std::string& folder, const std::string& pattern, FoundFiles& out);

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
  std::vector<std::string> folders_;            // every folder offered for entering
  std::map<std::string, IdentitySet> entered_;  // the folders entered, per pattern
};

}  // namespace app
