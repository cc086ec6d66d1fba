#include "app/scan/scan_job.h"

#include <windows.h>

#include <algorithm>
#include <utility>

#include "libs/digest/md5.h"
#include "runtime/commands/commands.h"

namespace app {

std::string PercentText(uint32_t k, uint32_t n) {
  uint64_t percent = n ? static_cast<uint64_t>(k) * 100 / n : 0;
  return std::to_string(percent) + "%";
}

void ScaledProgress(uint32_t k, uint32_t n, int32_t* maximum, int32_t* position) {
  constexpr uint32_t kLimit = 32767;
  if (n <= kLimit) {
    *maximum = static_cast<int32_t>(n);
    *position = static_cast<int32_t>(k);
    return;
  }
  *maximum = kLimit;
  *position = static_cast<int32_t>(static_cast<uint64_t>(k) * kLimit / n);
}

ScanJob::ScanJob(ScanInputs& inputs, ScanOutput& output, UiRunner runOnUi)
    : inputs_(inputs),
      output_(output),
      runOnUi_(std::move(runOnUi)),
      collector_(&stop_, [this] { inputs_.PumpIfInput(); }, paths_),
      taken_([this](uint32_t file) { return paths_.Text(file); }) {}

bool ScanJob::Show(const std::function<void()>& change) {
  if (stop_.load()) return false;
  return runOnUi_([this] { return !retired_.load(); }, change);
}

// Shows every change gathered since the last time, and the latest file step,
// in one call on the UI thread.
bool ScanJob::Flush() {
  lastFlush_ = GetTickCount64();
  if (changes_.empty() && !stepWaiting_) return !stop_.load();
  bool shown = Show([this] {
    for (const Change& c : changes_) {
      switch (c.kind) {
        case GroupIndex::Kind::FirstOfDigest: {
          char hex[33] = "";
          if (c.hasDigest) ts::Md5Hex(c.md5.data(), hex);
          output_.DigestRow(c.row, paths_.Text(c.path), hex);
          break;
        }
        case GroupIndex::Kind::NewGroup:
          output_.NewGroup(c.row, c.rootIndex, paths_.Text(c.first), paths_.Text(c.path));
          break;
        case GroupIndex::Kind::JoinGroup:
          output_.JoinGroup(c.rootIndex, paths_.Text(c.path));
          break;
      }
    }
    if (stepWaiting_) output_.FileStep(stepK_, stepN_, paths_.Text(stepFile_));
  });
  changes_.clear();
  stepWaiting_ = false;
  return shown;
}

bool ScanJob::Run() {
  running_.store(true);
  struct Done {
    std::atomic<bool>& flag;
    ~Done() { flag.store(false); }
  } done{running_};

  collector_.BeginScan();
  if (!Show([this] { output_.Begin(); })) return false;
  const uint32_t folders = inputs_.FolderCount();
  for (uint32_t row = 0; row < folders; ++row) {
    if (!ScanFolder(row)) return false;
  }
  if (!RowsForUnreadFiles()) return false;
  // The end-of-scan steps run as one change: a Stop either comes before them
  // (and they never run) or finds the scan already finished.
  return Show([this] {
    output_.Finish();
    running_.store(false);
  });
}

bool ScanJob::ScanFolder(uint32_t row) {
  if (!Show([&] { output_.Notice(); })) return false;
  const std::string folder = inputs_.Folder(row);
  std::vector<FoundFile> files;
  // Split the pattern list at ";": an empty piece matches nothing, a trailing
  // ";" adds no piece. The list and the option are read again per folder.
  const std::string patterns = inputs_.Patterns();
  std::vector<std::string> pieces;
  size_t start = 0;
  while (start <= patterns.size()) {
    size_t end = patterns.find(';', start);
    if (end == std::string::npos) end = patterns.size();
    if (end == patterns.size() && start == end && !pieces.empty()) break;
    pieces.push_back(patterns.substr(start, end - start));
    start = end + 1;
  }
  for (const std::string& piece : pieces) {
    if (stop_.load()) return false;
    collector_.Collect(folder, piece, inputs_.IncludeSubfolders(), files);
  }
  if (stop_.load()) return false;
  const uint32_t n = static_cast<uint32_t>(files.size());
  if (!Show([&] { output_.ProgressRange(n); })) return false;
  if (!Show([&] { output_.Repaint(); })) return false;
  lastFlush_ = GetTickCount64();
  for (uint32_t k = 1; k <= n; ++k) {
    // The file step is shown at most once per interval, before the file is
    // read; the last file of the folder always shows, so the folder ends on
    // exactly its values.
    stepWaiting_ = true;
    stepK_ = k;
    stepN_ = n;
    stepFile_ = files[k - 1].path;
    if (GetTickCount64() - lastFlush_ >= updateIntervalMs_ && !Flush()) return false;
    if (!ScanFile(files[k - 1])) return false;
  }
  return Flush();
}

bool ScanJob::RowsForUnreadFiles() {
  // File numbers follow the scan order, so sorting them restores it.
  std::vector<uint32_t> unread;
  for (const auto& [size, cls] : sizes_) {
    if (cls.waiting != kNoFile) unread.push_back(cls.waiting);
  }
  for (const auto& [key, hc] : heads_) {
    if (!hc.whole && hc.pending != kNoFile) unread.push_back(hc.pending);
  }
  std::sort(unread.begin(), unread.end());
  // Nothing is read any more: the reading indexes go before the rows come,
  // so that the two never take memory at the same time.
  decltype(sizes_)().swap(sizes_);
  decltype(heads_)().swap(heads_);
  taken_.Clear();
  // Shown a few thousand at a time, so the waiting changes stay small.
  constexpr size_t kRowsPerCall = 4096;
  uint32_t row = groups_.RowCount();
  for (size_t i = 0; i < unread.size(); ++i) {
    changes_.push_back(Change{GroupIndex::Kind::FirstOfDigest, row++, 0, kNoFile, unread[i], false, Digest{}});
    if (changes_.size() >= kRowsPerCall && !Flush()) return false;
  }
  return Flush();
}

bool ScanJob::ScanFile(const FoundFile& file) {
  SizeClass& cls = sizes_[file.size];
  if (!cls.open) {
    if (cls.waiting == kNoFile) {
      // The first file of its size: it can only become a duplicate when a
      // second file of this size comes, so it waits unread.
      cls.waiting = file.path;
      return !stop_.load();
    }
    cls.open = true;
    const uint32_t waiting = std::exchange(cls.waiting, kNoFile);
    if (!Head(file.size, waiting)) return false;
  }
  return Head(file.size, file.path);
}

bool ScanJob::Head(uint64_t size, uint32_t file) {
  FileReader reader;
  ++filesOpened_;
  if (!reader.Open(paths_.Text(file), size)) return !stop_.load();
  // The same file through another path (overlapping patterns, nested listed
  // folders, links, another drive letter) is taken once only.
  if (!taken_.Insert(reader.handle(), reader.quickIndex(), file)) return !stop_.load();
  Digest head;
  ReadOutcome r = reader.ReadHead(kHeadBytes, &stop_, head.data());
  if (r == ReadOutcome::Stopped) return false;
  if (r != ReadOutcome::Done) return true;
  if (reader.complete()) {
    // The whole file fits in the head: its digest is the file's.
    Group(head, file);
    return !stop_.load();
  }
  HeadClass& hc = heads_[HeadKey{size, head}];
  if (!hc.whole && hc.pending == kNoFile) {
    // No other file of this size starts like this one: not read further.
    hc.pending = file;
    return !stop_.load();
  }
  if (!hc.whole) {
    // A second file starts the same: both are read whole, the earlier first.
    hc.whole = true;
    if (!Whole(hc, size, std::exchange(hc.pending, kNoFile))) return false;
  }
  return Rest(hc, reader, file);
}

bool ScanJob::Whole(HeadClass& hc, uint64_t size, uint32_t file) {
  FileReader reader;
  ++filesOpened_;
  if (!reader.Open(paths_.Text(file), size)) return !stop_.load();
  return WholeFrom(hc, reader, file);
}

bool ScanJob::Rest(HeadClass& hc, FileReader& reader, uint32_t file) {
  if (hc.contents == 1) {
    ++filesOpened_;
    switch (reader.CompareRest(paths_.Text(hc.content), &stop_)) {
      case FileReader::Compare::Stopped:
        return false;
      case FileReader::Compare::Equal:
        Group(hc.contentDigest, file);
        return !stop_.load();
      case FileReader::Compare::Differs:
        break;
    }
  }
  return WholeFrom(hc, reader, file);
}

bool ScanJob::WholeFrom(HeadClass& hc, FileReader& reader, uint32_t file) {
  Digest md5;
  ReadOutcome r = reader.ReadRest(&stop_, md5.data());
  if (r == ReadOutcome::Stopped) return false;
  if (r == ReadOutcome::Done) {
    Group(md5, file);
    if (hc.contents == 0) {
      hc.contents = 1;
      hc.content = file;
      hc.contentDigest = md5;
    } else if (md5 != hc.contentDigest) {
      hc.contents = 2;
    }
  }
  return !stop_.load();
}

void ScanJob::Group(const Digest& md5, uint32_t file) {
  GroupIndex::Step step = groups_.Add(md5, file);
  changes_.push_back(Change{step.kind, step.row, step.rootIndex, step.first, file,
                            step.kind == GroupIndex::Kind::FirstOfDigest, md5});
}

}  // namespace app
