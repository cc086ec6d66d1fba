#include "app/scan/scan_job.h"

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
  std::vector<std::string> files;
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
  for (uint32_t k = 1; k <= n; ++k) {
    if (!ScanFile(k, n, files[k - 1])) return false;
  }
  return true;
}

bool ScanJob::ScanFile(uint32_t k, uint32_t n, const std::string& path) {
  if (!Show([&] { output_.FileStep(k, n, path); })) return false;
  FileDigest digest;
  ReadOutcome outcome = DigestFile(path, &stop_, &digest);
  if (outcome == ReadOutcome::Stopped) return false;
  // A file that could not be read whole, or that this scan already took
  // through another path, is never grouped.
  if (outcome != ReadOutcome::Done || !taken_.insert(digest.identity).second) return !stop_.load();
  Digest d;
  std::copy(std::begin(digest.md5), std::end(digest.md5), d.begin());
  GroupIndex::Step step = groups_.Add(d, path);
  switch (step.kind) {
    case GroupIndex::Kind::FirstOfDigest: {
      char hex[33];
      ts::Md5Hex(digest.md5, hex);
      std::string md5(hex);
      return Show([&] { output_.DigestRow(step.row, path, md5); });
    }
    case GroupIndex::Kind::NewGroup:
      return Show([&] { output_.NewGroup(step.row, step.rootIndex, *step.firstPath, path); });
    case GroupIndex::Kind::JoinGroup:
      return Show([&] { output_.JoinGroup(step.rootIndex, path); });
  }
  return true;
}

}  // namespace app
