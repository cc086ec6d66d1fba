#include "app/scan/scan_job.h"

#include <algorithm>
#include <utility>

#include "libs/digest/md5.h"

namespace ts::app {

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

// Reads a file's head: opens it, takes its index and digests its first
// block (the whole file when it is no longer than that). A file longer than
// its head stays open, so that its rest can be read from there.
struct ScanJob::HeadRead : ReadJob {
  HeadRead(uint32_t fileNumber, uint64_t fileSize, uint32_t step, std::wstring filePath, const std::atomic<bool>* stopFlag)
      : file(fileNumber), size(fileSize), at(step), path(std::move(filePath)), stop(stopFlag) {}
  void Run() override {
    reader = std::make_unique<FileReader>();
    if (!reader->Open(path, size)) {
      reader.reset();
      return;
    }
    quickIndex = reader->quickIndex();
    outcome = reader->ReadHead(kHeadBytes, stop, head.data());
    complete = outcome == ReadOutcome::Done && reader->complete();
    if (outcome != ReadOutcome::Done || complete) reader.reset();
  }

  const uint32_t file;
  const uint64_t size;
  const uint32_t at;  // the position in the folder's files of the step that reads it
  const std::wstring path;
  const std::atomic<bool>* const stop;
  uint64_t quickIndex = 0;
  ReadOutcome outcome = ReadOutcome::Failed;
  Digest head{};
  bool complete = false;
  std::unique_ptr<FileReader> reader;
};

// Reads a file to its end and digests it: from where its head read stopped,
// or from its start when no open reader is given. When a file of the same
// size and head is named, what is left is first compared with that file's
// bytes, and equal bytes end the read without digesting them.
struct ScanJob::RestRead : ReadJob {
  RestRead(uint32_t fileNumber, uint64_t fileSize, std::wstring filePath, std::unique_ptr<FileReader> openReader,
           uint32_t comparedFile, std::wstring comparedFilePath, const std::atomic<bool>* stopFlag)
      : file(fileNumber),
        size(fileSize),
        path(std::move(filePath)),
        compared(comparedFile),
        comparedPath(std::move(comparedFilePath)),
        stop(stopFlag),
        reader(std::move(openReader)) {}
  void Run() override {
    if (!reader) {
      reader = std::make_unique<FileReader>();
      if (!reader->Open(path, size)) {
        reader.reset();
        return;
      }
    }
    quickIndex = reader->quickIndex();
    if (compared != kNoFile) {
      switch (reader->CompareRest(comparedPath, stop)) {
        case FileReader::Compare::Stopped:
          outcome = ReadOutcome::Stopped;
          reader.reset();
          return;
        case FileReader::Compare::Equal:
          sameAsCompared = true;
          outcome = ReadOutcome::Done;
          reader.reset();
          return;
        case FileReader::Compare::Differs:
          break;
      }
    }
    outcome = reader->ReadRest(stop, md5.data());
    reader.reset();
  }

  const uint32_t file;
  const uint64_t size;
  const std::wstring path;
  const uint32_t compared;  // kNoFile: nothing to compare with
  const std::wstring comparedPath;
  const std::atomic<bool>* const stop;
  std::unique_ptr<FileReader> reader;
  ReadOutcome outcome = ReadOutcome::Failed;
  bool sameAsCompared = false;  // equal bytes: the digest is the compared file's
  uint64_t quickIndex = 0;
  Digest md5{};
};

ScanJob::ScanJob(ScanInputs& inputs, ScanOutput& output, UiRunner runOnUi)
    : inputs_(inputs),
      output_(output),
      runOnUi_(std::move(runOnUi)),
      paths_(std::make_shared<PathStore>()),
      collector_(&stop_, [this] { inputs_.PumpIfInput(); }, *paths_),
      grouped_([this](uint32_t file) { return paths_->Exact(file); }) {}

bool ScanJob::Show(const std::function<void()>& change) {
  if (stop_.load()) return false;
  return runOnUi_([this] { return !retired_.load(); }, change);
}

void ScanJob::Publish(const Change& change) {
  size_t waiting;
  {
    std::lock_guard<std::mutex> hold(shownLock_);
    waiting_.push_back(change);
    waiting = waiting_.size();
  }
  if (waiting >= kMostWaiting) ShowNow();
}

void ScanJob::PublishStep(uint32_t k, uint32_t n, uint32_t file) {
  std::lock_guard<std::mutex> hold(shownLock_);
  stepWaiting_ = true;
  stepK_ = k;
  stepN_ = n;
  stepFile_ = file;
}

void ScanJob::ShowWaiting() {
  std::vector<Change> changes;
  bool step;
  uint32_t k, n, file;
  {
    std::lock_guard<std::mutex> hold(shownLock_);
    changes.swap(waiting_);
    step = std::exchange(stepWaiting_, false);
    k = stepK_;
    n = stepN_;
    file = stepFile_;
  }
  if (retired_.load()) return;
  for (const Change& c : changes) {
    switch (c.kind) {
      case GroupIndex::Kind::FirstOfDigest: {
        char hex[33] = "";
        if (c.hasDigest) ts::Md5Hex(c.md5.data(), hex);
        output_.DigestRow(c.row, paths_->Text(c.path), hex);
        break;
      }
      case GroupIndex::Kind::NewGroup:
        output_.NewGroup(c.row, c.rootIndex, ShownFile{paths_->Text(c.first), c.first},
                         ShownFile{paths_->Text(c.path), c.path});
        break;
      case GroupIndex::Kind::JoinGroup:
        output_.JoinGroup(c.rootIndex, ShownFile{paths_->Text(c.path), c.path});
        break;
    }
  }
  if (step) output_.FileStep(k, n, paths_->Text(file));
}

bool ScanJob::Run() {
  running_.store(true);
  struct Done {
    std::atomic<bool>& flag;
    ~Done() { flag.store(false); }
  } done{running_};

  collector_.BeginScan();
  if (!Show([this] { output_.Begin(paths_); })) return false;
  const uint32_t folders = inputs_.FolderCount();
  for (uint32_t row = 0; row < folders; ++row) {
    if (!ScanFolder(row)) return false;
  }
  if (!RowsForUnreadFiles()) return false;
  // The end-of-scan steps run as one change: a Stop either comes before them
  // (and they never run) or finds the scan already finished.
  return Show([this] {
    ShowWaiting();
    output_.Finish();
    running_.store(false);
  });
}

bool ScanJob::ScanFolder(uint32_t row) {
  if (!Show([&] { output_.Notice(); })) return false;
  const std::wstring folder = inputs_.Folder(row);
  FoundFiles files;
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
  const uint32_t n = files.size();
  if (!Show([&] { output_.ProgressRange(n); })) return false;
  if (!Show([&] { output_.Repaint(); })) return false;
  // The folder ends on exactly its last file's values.
  return ReadFolder(folder, files) && ShowNow();
}

bool ScanJob::ReadFolder(const std::wstring& folder, const FoundFiles& files) {
  if (files.empty()) return true;
  // Declared before the pool, so that the pool's helpers are gone before
  // any read planned ahead is.
  std::deque<std::unique_ptr<HeadRead>> ahead;
  const uint32_t readers = readers_ ? readers_ : ReadersFor(folder);
  // Pieces of 256 KiB: large enough that reading costs no more than with
  // larger ones, and the buffers of every read in flight (two per reader)
  // stay within 4 MiB even with eight readers.
  constexpr uint32_t kPieceBytes = 256u << 10;
  ReadPool pool(readers, kPieceBytes);
  const size_t planAhead = pool.readers() > 1 ? kReadAhead : 0;
  const uint32_t n = files.size();
  uint32_t planned = 0;
  for (uint32_t k = 0; k < n; ++k) {
    PublishStep(k + 1, n, files.path(k));
    if (updateIntervalMs_ == 0 && !ShowNow()) return false;
    while (planned < n && (planned <= k || ahead.size() < planAhead)) {
      Plan(files, planned, ahead, pool);
      ++planned;
    }
    while (!ahead.empty() && ahead.front()->at == k) {
      std::unique_ptr<HeadRead> head = std::move(ahead.front());
      ahead.pop_front();
      if (!TakeHead(*head, pool)) return false;
    }
    if (stop_.load()) return false;
  }
  return true;
}

void ScanJob::Plan(const FoundFiles& files, uint32_t at, std::deque<std::unique_ptr<HeadRead>>& ahead,
                   ReadPool& pool) {
  const uint64_t size = files.fileSize(at);
  auto read = [&](uint32_t path) {
    ahead.push_back(std::make_unique<HeadRead>(path, size, at, paths_->Exact(path), &stop_));
    pool.Submit(ahead.back().get());
  };
  uint32_t* cls = sizes_.Find(size);
  if (!cls) {
    // The first file of its size: it can only become a duplicate when a
    // second file of this size comes, so it waits unread.
    sizes_.Insert(size, files.path(at));
    return;
  }
  if (*cls != kOpen) read(std::exchange(*cls, kOpen));
  read(files.path(at));
}

bool ScanJob::RowsForUnreadFiles() {
  // File numbers follow the scan order, so sorting them restores it.
  std::vector<uint32_t> unread;
  sizes_.ForEach([&](uint64_t, uint32_t cls) {
    if (cls != kOpen) unread.push_back(cls);
  });
  for (const auto& [key, hc] : heads_) {
    if (!hc.whole && hc.pending != kNoFile) unread.push_back(hc.pending);
  }
  std::sort(unread.begin(), unread.end());
  // Nothing is read any more: the reading indexes go before the rows come,
  // so that the two never take memory at the same time.
  sizes_.Clear();
  decltype(heads_)().swap(heads_);
  uint32_t row = groups_.RowCount();
  for (uint32_t file : unread) {
    if (stop_.load()) return false;
    Publish(Change{GroupIndex::Kind::FirstOfDigest, false, row++, 0, file, kNoFile, Digest{}});
  }
  return ShowNow();
}

bool ScanJob::TakeHead(HeadRead& head, ReadPool& pool) {
  ++filesOpened_;
  pool.Wait(&head);
  if (head.outcome == ReadOutcome::Stopped) return false;
  if (head.outcome != ReadOutcome::Done) return !stop_.load();
  if (head.complete) {
    // The whole file fits in the head: its digest is the file's.
    Group(head.head, head.file, head.quickIndex);
    return !stop_.load();
  }
  HeadClass& hc = heads_[HeadKey{head.size, head.head}];
  if (!hc.whole && hc.pending == kNoFile) {
    // No other file of this size starts like this one: not read further.
    hc.pending = head.file;
    hc.pendingIndex = head.quickIndex;
    head.reader.reset();
    return !stop_.load();
  }
  // The waiting file again through another path is not read twice.
  if (!hc.whole && SameFile(hc.pending, hc.pendingIndex, head.file, head.quickIndex)) return !stop_.load();
  if (hc.whole) {
    // Copies are the common case, and comparing costs a fraction of
    // digesting: while the files of this head hold one content, the rest
    // is compared with its first file.
    const uint32_t compared = hc.contents == 1 ? hc.content : kNoFile;
    if (compared != kNoFile) ++filesOpened_;
    RestRead rest(head.file, head.size, head.path, std::move(head.reader), compared,
                  compared != kNoFile ? paths_->Exact(compared) : std::wstring(), &stop_);
    pool.Submit(&rest, true);
    pool.Wait(&rest);
    return TakeRest(hc, rest, pool);
  }
  // A second file starts the same: both are read whole, the earlier first.
  // Both reads go at once: the new file's rest is compared with the earlier
  // file while that one is digested.
  hc.whole = true;
  const uint32_t earlier = std::exchange(hc.pending, kNoFile);
  const std::wstring earlierPath = paths_->Exact(earlier);
  filesOpened_ += 2;
  RestRead whole(earlier, head.size, earlierPath, nullptr, kNoFile, std::wstring(), &stop_);
  RestRead rest(head.file, head.size, head.path, std::move(head.reader), earlier, earlierPath, &stop_);
  pool.Submit(&whole, true);
  pool.Submit(&rest, true);
  pool.Wait(&whole);
  pool.Wait(&rest);
  return TakeRest(hc, whole, pool) && TakeRest(hc, rest, pool);
}

bool ScanJob::TakeRest(HeadClass& hc, RestRead& read, ReadPool& pool) {
  if (read.outcome == ReadOutcome::Stopped) return false;
  if (read.sameAsCompared) {
    if (hc.contents >= 1 && hc.content == read.compared) {
      Group(hc.contentDigest, read.file, read.quickIndex);
      return !stop_.load();
    }
    // Equal to a file whose own read then failed: its digest is unknown, so
    // this file is digested after all.
    ++filesOpened_;
    RestRead again(read.file, read.size, read.path, nullptr, kNoFile, std::wstring(), &stop_);
    pool.Submit(&again, true);
    pool.Wait(&again);
    return TakeRest(hc, again, pool);
  }
  if (read.outcome == ReadOutcome::Done) {
    Group(read.md5, read.file, read.quickIndex);
    if (hc.contents == 0) {
      hc.contents = 1;
      hc.content = read.file;
      hc.contentDigest = read.md5;
    } else if (read.md5 != hc.contentDigest) {
      hc.contents = 2;
    }
  }
  return !stop_.load();
}

bool ScanJob::SameFile(uint32_t a, uint64_t aIndex, uint32_t b, uint64_t bIndex) {
  if (aIndex != 0 && bIndex != 0 && aIndex != bIndex) return false;
  FileIdentity ia, ib;
  return PathIdentity(paths_->Exact(a), &ia) && PathIdentity(paths_->Exact(b), &ib) && ia == ib;
}

void ScanJob::Group(const Digest& md5, uint32_t file, uint64_t quickIndex) {
  const GroupIndex::Known known = groups_.Look(md5);
  if (known.first != kNoFile) {
    // A later file of a content: when it is the second, the first joins the
    // files in the tree.
    if (!known.grouped) grouped_.InsertPath(known.first);
    if (!grouped_.Insert(nullptr, quickIndex, file)) return;
  }
  GroupIndex::Step step = groups_.Add(md5, file);
  Publish(Change{step.kind, step.kind == GroupIndex::Kind::FirstOfDigest, step.row, step.rootIndex, file, step.first, md5});
}

}  // namespace ts::app
