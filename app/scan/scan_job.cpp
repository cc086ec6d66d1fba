#include "app/scan/scan_job.h"

#include <windows.h>

#include <algorithm>

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
      collector_(&stop_, [this] { inputs_.PumpIfInput(); }) {}

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
        case GroupIndex::Kind::FirstOfDigest: output_.DigestRow(c.row, c.path, c.md5); break;
        case GroupIndex::Kind::NewGroup: output_.NewGroup(c.row, c.rootIndex, c.first, c.path); break;
        case GroupIndex::Kind::JoinGroup: output_.JoinGroup(c.rootIndex, c.path); break;
      }
    }
    if (stepWaiting_) output_.FileStep(stepK_, stepN_, stepPath_);
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
  RowsForUnreadFiles();
  if (!Flush()) return false;
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
    stepPath_ = files[k - 1].path;
    if (GetTickCount64() - lastFlush_ >= updateIntervalMs_ && !Flush()) return false;
    if (!ScanFile(files[k - 1])) return false;
  }
  return Flush();
}

void ScanJob::RowsForUnreadFiles() {
  std::vector<std::pair<uint64_t, const std::string*>> unread;
  for (const auto& [size, cls] : sizes_) {
    if (cls.hasWaiting) unread.emplace_back(cls.waitingSeq, &cls.waiting);
    for (const auto& [head, hc] : cls.heads) {
      if (!hc.whole && !hc.pendingPath.empty()) unread.emplace_back(hc.pendingSeq, &hc.pendingPath);
    }
  }
  std::sort(unread.begin(), unread.end());
  uint32_t row = groups_.RowCount();
  for (const auto& [seq, path] : unread) {
    changes_.push_back(Change{GroupIndex::Kind::FirstOfDigest, row++, 0, std::string(), *path, std::string()});
  }
}

bool ScanJob::ScanFile(const FoundFile& file) {
  SizeClass& cls = sizes_[file.size];
  ++seq_;
  if (!cls.open) {
    if (!cls.hasWaiting) {
      // The first file of its size: it can only become a duplicate when a
      // second file of this size comes, so it waits unread.
      cls.waiting = file.path;
      cls.waitingSeq = seq_;
      cls.hasWaiting = true;
      return !stop_.load();
    }
    cls.open = true;
    cls.hasWaiting = false;
    std::string waiting = std::move(cls.waiting);
    if (!Head(cls, file.size, waiting, cls.waitingSeq)) return false;
  }
  return Head(cls, file.size, file.path, seq_);
}

bool ScanJob::Head(SizeClass& cls, uint64_t size, const std::string& path, uint64_t seq) {
  FileReader reader;
  ++filesOpened_;
  if (!reader.Open(path) || reader.size() != size) return !stop_.load();
  // The same file through another path (overlapping patterns, nested listed
  // folders, links, another drive letter) is taken once only.
  if (!taken_.Insert(reader.handle(), reader.quickIndex(), path)) return !stop_.load();
  uint8_t head[16];
  ReadOutcome r = reader.ReadHead(kHeadBytes, &stop_, head);
  if (r == ReadOutcome::Stopped) return false;
  if (r != ReadOutcome::Done) return true;
  if (reader.complete()) {
    // The whole file fits in the head: its digest is the file's.
    Group(head, path);
    return !stop_.load();
  }
  Digest key;
  std::copy(std::begin(head), std::end(head), key.begin());
  HeadClass& hc = cls.heads[key];
  if (!hc.whole && hc.pendingPath.empty()) {
    // No other file of this size starts like this one: not read further.
    hc.pendingPath = path;
    hc.pendingSeq = seq;
    return !stop_.load();
  }
  if (!hc.whole) {
    // A second file starts the same: both are read whole, the earlier first.
    hc.whole = true;
    std::string earlier = std::move(hc.pendingPath);
    hc.pendingPath.clear();
    if (!Whole(hc, size, earlier)) return false;
  }
  return Rest(hc, reader, path);
}

bool ScanJob::Whole(HeadClass& hc, uint64_t size, const std::string& path) {
  FileReader reader;
  ++filesOpened_;
  if (!reader.Open(path) || reader.size() != size) return !stop_.load();
  return WholeFrom(hc, reader, path);
}

bool ScanJob::Rest(HeadClass& hc, FileReader& reader, const std::string& path) {
  if (hc.contents.size() == 1) {
    ++filesOpened_;
    switch (reader.CompareRest(hc.contents.front().path, &stop_)) {
      case FileReader::Compare::Stopped:
        return false;
      case FileReader::Compare::Equal:
        Group(hc.contents.front().md5.data(), path);
        return !stop_.load();
      case FileReader::Compare::Differs:
        break;
    }
  }
  return WholeFrom(hc, reader, path);
}

bool ScanJob::WholeFrom(HeadClass& hc, FileReader& reader, const std::string& path) {
  uint8_t md5[16];
  ReadOutcome r = reader.ReadRest(&stop_, md5);
  if (r == ReadOutcome::Stopped) return false;
  if (r == ReadOutcome::Done) {
    Group(md5, path);
    Digest d;
    std::copy(md5, md5 + 16, d.begin());
    bool known = false;
    for (const Content& c : hc.contents) known = known || c.md5 == d;
    if (!known) hc.contents.push_back(Content{path, d});
  }
  return !stop_.load();
}

void ScanJob::Group(const uint8_t md5[16], const std::string& path) {
  Digest d;
  std::copy(md5, md5 + 16, d.begin());
  GroupIndex::Step step = groups_.Add(d, path);
  Change c{step.kind, step.row, step.rootIndex, std::string(), path, std::string()};
  if (step.kind == GroupIndex::Kind::FirstOfDigest) {
    char hex[33];
    ts::Md5Hex(md5, hex);
    c.md5 = hex;
  } else if (step.kind == GroupIndex::Kind::NewGroup) {
    c.first = *step.firstPath;
  }
  changes_.push_back(std::move(c));
}

}  // namespace app
