// One scan, from the worker's first step to the end of scan or a stop.
//
// The worker reads the inputs, collects each listed folder's files, digests
// them and groups equal digests. Everything it shows goes through a
// ScanOutput, on the user-interface thread and only while this job is the
// current scan: through the job's gate when the worker shows something
// itself, or by the window's clock taking what waits. Stop retires the job on
// that same thread, so once Stop's own visible steps have run, a retired
// worker can change nothing any more (no label, bar, button, tree row or
// message box), even when a new scan starts at once.
#pragma once

#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

#include "app/scan/collect.h"
#include "app/scan/file_digest.h"
#include "app/scan/group_index.h"
#include "app/scan/path_store.h"
#include "app/scan/read_pool.h"

namespace ts::app {

// What the scan reads, at the moment it needs it (never cached).
class ScanInputs {
 public:
  virtual ~ScanInputs() = default;
  virtual uint32_t FolderCount() = 0;
  // The exact path of a listed folder; empty when the row names none.
  virtual std::wstring Folder(uint32_t row) = 0;
  virtual std::string Patterns() = 0;
  virtual bool IncludeSubfolders() = 0;
  // Runs waiting input of the worker's own thread when there is some.
  virtual void PumpIfInput() = 0;
};

// A file in the result tree: the text shown (see ShownText) and the number
// of its exact path in the scan's path store, which the tree item keeps.
struct ShownFile {
  std::string text;
  uint32_t path;
};

// What the scan shows. Called only on the UI thread: through the gate, or by
// the window's clock.
class ScanOutput {
 public:
  virtual ~ScanOutput() = default;
  // Disables 按钮_添加 and 按钮_删除; empties the digest list and the tree.
  // From here on the tree's path numbers are those of `paths`, which stays
  // valid while anyone holds it (the scan adds paths meanwhile).
  virtual void Begin(std::shared_ptr<const PathStore> paths) = 0;
  // Draws the notice on the main window when it is in front.
  virtual void Notice() = 0;
  // Progress bar: minimum 0, maximum n, position 0.
  virtual void ProgressRange(uint32_t n) = 0;
  // Repaints the main window (clears the notice).
  virtual void Repaint() = 0;
  // File k of n: progress position k, the percentage label, the current file.
  virtual void FileStep(uint32_t k, uint32_t n, const std::string& path) = 0;
  // A first file of its digest: a new digest-list row.
  virtual void DigestRow(uint32_t row, const std::string& path, const std::string& md5) = 0;
  // Second file of a digest: a root (the first file) appended at rootIndex,
  // its creation index written in the digest row, then the first child.
  virtual void NewGroup(uint32_t row, uint32_t rootIndex, const ShownFile& root, const ShownFile& child) = 0;
  // A later file: a child appended under the root standing at rootIndex now.
  virtual void JoinGroup(uint32_t rootIndex, const ShownFile& child) = 0;
  // End of scan: 按钮_添加/删除 enabled, elapsed time and group count,
  // 按钮_扫描 enabled and 按钮_停止 disabled.
  virtual void Finish() = 0;
};

// Runs a change on the UI thread, synchronously; the change is skipped when
// `current` returns false there. Returns whether it ran.
using UiRunner = std::function<bool(const std::function<bool()>& current, const std::function<void()>& change)>;

// How a scan reads files. A file is read only once another file of the same
// size has been seen in this scan: the first file of a size waits unread, and
// when a second arrives the waiting one is read first, then the new one.
// Among files of one size, a digest of the first block is compared before
// anything else is read; only files whose first blocks match another's are
// read to their end. The groups, their roots, the children's order and every
// label come out exactly as if every file were read whole in scan order: a
// group still forms when the second file of its content arrives, and its
// root is still the first file found with that content.
//
// Files are opened, read and digested by a pool of readers (see ReadPool)
// that work ahead of the scan, while the scan takes their results in scan
// order, so several readers show exactly what one would.
//
// What the scan has to show waits in the job: the latest file step and the
// result changes in order. The window takes them on its own clock
// (ShowWaiting), so the labels name the file being read however long its
// read takes, and the worker shows them itself at the end of every folder.
class ScanJob {
 public:
  ScanJob(ScanInputs& inputs, ScanOutput& output, UiRunner runOnUi);

  // The worker's body. Returns true when the scan ran to its end (the end-of
  // -scan message is then the caller's to show), false when it was stopped.
  bool Run();

  // UI thread: shows the latest file step and every result change waiting,
  // unless the job is retired. The window calls this on its clock.
  void ShowWaiting();
  // UI thread, for 按钮_停止: asks the worker to stop, shows every change
  // it made before this moment, then retires the job.
  void Stop() {
    stop_.store(true);
    ShowWaiting();
    Retire();
  }
  // UI thread: retires the job. From now on no change of this job runs.
  void Retire() {
    retired_.store(true);
    stop_.store(true);
  }
  bool Retired() const { return retired_.load(); }
  // True between the start of Run and the end of scan's visible steps.
  bool Running() const { return running_.load(); }

  // How often the window shows the worker's progress (default 50 ms: each
  // showing repaints labels, and under Wine 30 a second took a tenth of the
  // scan). 0: the worker shows every file step itself, before reading it.
  void SetUpdateInterval(uint32_t ms) { updateIntervalMs_ = ms; }
  uint32_t UpdateInterval() const { return updateIntervalMs_; }
  // Readers per folder; 0 (the default) decides by the machine and the
  // folder's volume (see ReadersFor).
  void SetReaders(uint32_t readers) { readers_ = readers; }

  uint32_t GroupCount() const { return groups_.GroupCount(); }
  // Files opened by this scan (for tests and measurements).
  uint32_t FilesOpened() const { return filesOpened_; }

  // Bytes compared before a whole file is read.
  static constexpr uint64_t kHeadBytes = 16 * 1024;

 private:
  static constexpr uint32_t kNoFile = PathStore::kNone;
  struct HeadRead;
  struct RestRead;
  // Files of one size, by size: the only file of this size so far, waiting
  // unread, or kOpen once a second arrived (files of the size are read).
  static constexpr uint32_t kOpen = UINT32_MAX - 1;
  // Files of one size whose first blocks have one digest.
  struct HeadKey {
    uint64_t size;
    Digest head;
    bool operator==(const HeadKey&) const = default;
  };
  struct HeadKeyHash {
    size_t operator()(const HeadKey& k) const noexcept { return DigestHash()(k.head) ^ static_cast<size_t>(k.size); }
  };
  struct HeadClass {
    uint32_t pending = kNoFile;  // read only as far as the head, full digest unknown
    uint64_t pendingIndex = 0;   // its index (see QuickIndex)
    bool whole = false;          // every later file of this head is read whole
    // Whole contents seen with this head: 0, 1, or 2 standing for more.
    // While there is one, later files are compared with its first file.
    uint8_t contents = 0;
    uint32_t content = kNoFile;
    Digest contentDigest{};
  };
  // A visible change waiting to be shown; paths by number.
  struct Change {
    GroupIndex::Kind kind;
    bool hasDigest;  // FirstOfDigest: false when the file was never read whole
    uint32_t row;
    uint32_t rootIndex;
    uint32_t path;
    uint32_t first;  // NewGroup: the root
    Digest md5;
  };
  // Changes waiting beyond this number are shown by the worker itself, so
  // that they never take much memory.
  static constexpr size_t kMostWaiting = 4096;
  // Head reads planned ahead of the scan's position when several readers
  // work (one reader reads each file when the scan comes to it).
  static constexpr size_t kReadAhead = 512;

  bool Show(const std::function<void()>& change);
  // Shows what waits now, from the worker, through the gate.
  bool ShowNow() { return Show([this] { ShowWaiting(); }); }
  void Publish(const Change& change);
  void PublishStep(uint32_t k, uint32_t n, uint32_t file);
  // At the end of the scan: a digest-list row for every file never read
  // whole. Each has a content of its own (its size, or its first block, is
  // unique), so it has its own row, as reading everything would give it;
  // its digest column stays empty since its digest was never computed.
  // False only when stopped.
  bool RowsForUnreadFiles();
  bool ScanFolder(uint32_t row);
  bool ReadFolder(const std::wstring& folder, const FoundFiles& files);
  // Plans the head reads the file at `at` brings: none for the first file of
  // its size, the waiting file's and its own for the second, its own after.
  void Plan(const FoundFiles& files, uint32_t at, std::deque<std::unique_ptr<HeadRead>>& ahead, ReadPool& pool);
  // Takes a head read's result in scan order; false only when stopped.
  bool TakeHead(HeadRead& head, ReadPool& pool);
  // Takes a whole or rest read's result; false only when stopped.
  bool TakeRest(HeadClass& hc, RestRead& read, ReadPool& pool);
  // Groups a file read whole, unless it is a file already in the result
  // tree reached through another path.
  void Group(const Digest& md5, uint32_t file, uint64_t quickIndex);
  // Whether two files of one content are one file reached through two
  // paths (nested listed folders, overlapping patterns, links, another
  // drive letter).
  bool SameFile(uint32_t a, uint64_t aIndex, uint32_t b, uint64_t bIndex);

  ScanInputs& inputs_;
  ScanOutput& output_;
  UiRunner runOnUi_;
  std::atomic<bool> stop_{false};
  std::atomic<bool> retired_{false};
  std::atomic<bool> running_{false};
  // Every file of the scan, numbered in scan order; shared with the window,
  // whose tree items keep the numbers after the scan has ended.
  std::shared_ptr<PathStore> paths_;
  FileCollector collector_;
  GroupIndex groups_;
  // The files in the result tree. A file is checked against them only when
  // its content is already known: the same file through a second path has
  // that content, so no other file needs its identity kept.
  IdentitySet grouped_;
  KeyedTable sizes_;
  std::unordered_map<HeadKey, HeadClass, HeadKeyHash> heads_;
  uint32_t updateIntervalMs_ = 50;
  uint32_t readers_ = 0;
  uint32_t filesOpened_ = 0;

  // Waiting to be shown; written by the worker, taken by the window. Their
  // paths are read from the path store on the window's thread.
  std::mutex shownLock_;
  std::vector<Change> waiting_;
  bool stepWaiting_ = false;
  uint32_t stepK_ = 0, stepN_ = 0, stepFile_ = 0;
};

// Text of the percentage label: ⌊k × 100 ÷ n⌋ followed by "%".
std::string PercentText(uint32_t k, uint32_t n);
// Progress bar values when n is above the bar's limit of 32767: the range and
// the position are scaled alike so that the bar and the label agree.
void ScaledProgress(uint32_t k, uint32_t n, int32_t* maximum, int32_t* position);

}  // namespace ts::app
