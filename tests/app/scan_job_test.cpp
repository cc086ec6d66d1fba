// The scan from the worker's side, on real folders, with the window replaced
// by a recorder: which groups form, in which order, what is never grouped,
// and that a retired scan shows nothing more.
#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "app/scan/scan_job.h"

using namespace app;

namespace {

std::string TempRoot(const char* tag) {
  char base[MAX_PATH];
  GetTempPathA(MAX_PATH, base);
  std::string root = std::string(base) + tag + std::to_string(GetCurrentProcessId()) + "_" +
                     std::to_string(GetTickCount());
  CreateDirectoryA(root.c_str(), nullptr);
  return root;
}

void Put(const std::string& path, const std::string& content) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE) << path;
  DWORD wrote = 0;
  WriteFile(h, content.data(), static_cast<DWORD>(content.size()), &wrote, nullptr);
  CloseHandle(h);
}

struct FakeInputs : ScanInputs {
  std::vector<std::string> folders;
  std::string patterns = "*.*";
  bool recursive = false;
  uint32_t FolderCount() override { return static_cast<uint32_t>(folders.size()); }
  std::string Folder(uint32_t row) override { return folders[row]; }
  std::string Patterns() override { return patterns; }
  bool IncludeSubfolders() override { return recursive; }
  void PumpIfInput() override {}
};

// Builds the result tree the way the tree box would: roots with children,
// children inserted under the root found by its current tree index.
struct Recorder : ScanOutput {
  struct Group {
    std::string root;
    std::vector<std::string> children;
  };
  std::vector<Group> tree;
  std::map<uint32_t, std::string> rows;  // digest row → first path
  std::map<uint32_t, uint32_t> rowIndex;  // digest row → creation tree index
  std::vector<std::string> labels;
  int finished = 0;
  int calls = 0;
  std::function<void()> onFileStep;

  uint32_t IndexOf(size_t group) const {
    uint32_t at = 0;
    for (size_t g = 0; g < group; ++g) at += 1 + static_cast<uint32_t>(tree[g].children.size());
    return at;
  }
  void Begin() override { ++calls; tree.clear(); rows.clear(); }
  void Notice() override { ++calls; }
  void ProgressRange(uint32_t) override { ++calls; }
  void Repaint() override { ++calls; }
  void FileStep(uint32_t k, uint32_t n, const std::string&) override {
    ++calls;
    labels.push_back(PercentText(k, n));
    if (onFileStep) onFileStep();
  }
  void DigestRow(uint32_t row, const std::string& path, const std::string& md5) override {
    ++calls;
    EXPECT_EQ(md5.size(), 32u);
    rows[row] = path;
  }
  void NewGroup(uint32_t row, uint32_t rootIndex, const std::string& root, const std::string& child) override {
    ++calls;
    EXPECT_EQ(rootIndex, IndexOf(tree.size()));
    EXPECT_EQ(rows[row], root);
    rowIndex[row] = rootIndex;
    tree.push_back({root, {child}});
  }
  void JoinGroup(uint32_t rootIndex, const std::string& child) override {
    ++calls;
    for (size_t g = 0; g < tree.size(); ++g) {
      if (IndexOf(g) == rootIndex) {
        tree[g].children.push_back(child);
        return;
      }
    }
    ADD_FAILURE() << "no root at " << rootIndex;
  }
  void Finish() override {
    ++calls;
    ++finished;
  }
};

bool RunHere(const std::function<bool()>& current, const std::function<void()>& change) {
  if (!current()) return false;
  change();
  return true;
}

struct Scan {
  FakeInputs in;
  Recorder out;
  bool Run() {
    ScanJob job(in, out, RunHere);
    return job.Run();
  }
};

}  // namespace

TEST(ScanJob, ThreeCopiesMakeOneGroupAndAUniqueFileStaysHidden) {
  std::string d = TempRoot("sj1");
  Put(d + "\\a", "same");
  Put(d + "\\b", "same");
  Put(d + "\\c", "same");
  Put(d + "\\u", "unique");
  Scan s;
  s.in.folders = {d};
  s.in.patterns = "a;b;c;u";  // pieces give the order
  ASSERT_TRUE(s.Run());
  ASSERT_EQ(s.out.tree.size(), 1u);
  EXPECT_EQ(s.out.tree[0].root, d + "\\a");
  EXPECT_EQ(s.out.tree[0].children, (std::vector<std::string>{d + "\\b", d + "\\c"}));
  EXPECT_EQ(s.out.rows.size(), 2u);
  EXPECT_EQ(s.out.labels, (std::vector<std::string>{"25%", "50%", "75%", "100%"}));
  EXPECT_EQ(s.out.finished, 1);
}

TEST(ScanJob, InterleavedGroupsKeepTheirRootsAsIndexesShift) {
  std::string d = TempRoot("sj2");
  for (const char* n : {"a1", "a2", "a3"}) Put(d + "\\" + n, "content A");
  for (const char* n : {"b1", "b2", "b3"}) Put(d + "\\" + n, "content B");
  Put(d + "\\e1", "");
  Put(d + "\\e2", "");
  Scan s;
  s.in.folders = {d};
  s.in.patterns = "a1;b1;a2;b2;a3;b3;e1;e2";
  ASSERT_TRUE(s.Run());
  ASSERT_EQ(s.out.tree.size(), 3u);
  EXPECT_EQ(s.out.tree[0].children, (std::vector<std::string>{d + "\\a2", d + "\\a3"}));
  EXPECT_EQ(s.out.tree[1].root, d + "\\b1");
  EXPECT_EQ(s.out.tree[1].children, (std::vector<std::string>{d + "\\b2", d + "\\b3"}));
  EXPECT_EQ(s.out.tree[2].root, d + "\\e1");  // two empty files form a group
  // b's root was made at index 2; a3 then moved it to 3, the row keeps 2.
  EXPECT_EQ(s.out.rowIndex[1], 2u);
}

TEST(ScanJob, GroupsSpanListedFoldersAndDotFoldersAreSkipped) {
  std::string one = TempRoot("sj3a"), two = TempRoot("sj3b");
  CreateDirectoryA((one + "\\.cache").c_str(), nullptr);
  CreateDirectoryA((one + "\\sub").c_str(), nullptr);
  Put(one + "\\x", "shared");
  Put(one + "\\.cache\\hidden", "shared");
  Put(one + "\\sub\\y", "shared");
  Put(two + "\\z", "shared");
  Scan s;
  s.in.folders = {one, two};
  s.in.recursive = true;
  ASSERT_TRUE(s.Run());
  ASSERT_EQ(s.out.tree.size(), 1u);
  EXPECT_EQ(s.out.tree[0].root, one + "\\x");
  EXPECT_EQ(s.out.tree[0].children, (std::vector<std::string>{one + "\\sub\\y", two + "\\z"}));
}

TEST(ScanJob, NoFileIsEverGroupedWithItself) {
  std::string d = TempRoot("sj4");
  CreateDirectoryA((d + "\\inner").c_str(), nullptr);
  Put(d + "\\f.txt", "one copy only");
  Put(d + "\\inner\\g.txt", "another single");
  Scan s;
  // Overlapping patterns, and a listed folder inside another listed one.
  s.in.folders = {d, d + "\\inner", d + "\\.\\inner"};
  s.in.patterns = "*.*;f.txt;*.TXT";
  s.in.recursive = true;
  ASSERT_TRUE(s.Run());
  EXPECT_TRUE(s.out.tree.empty());
}

TEST(ScanJob, FilesThatCannotBeReadWholeAreNotGrouped) {
  std::string d = TempRoot("sj5");
  Put(d + "\\a", "");
  Put(d + "\\b", "locked content");
  Put(d + "\\c", "locked content");
  HANDLE writer = CreateFileA((d + "\\b").c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(writer, INVALID_HANDLE_VALUE);
  Scan s;
  s.in.folders = {d};
  s.in.patterns = "a;b;c";
  ASSERT_TRUE(s.Run());
  CloseHandle(writer);
  // The locked file is neither grouped with the empty file (as an empty read
  // would be) nor with its real copy.
  EXPECT_TRUE(s.out.tree.empty());
}

TEST(ScanJob, FoldersEndingInATrailByteBackslashAreJoinedLikeAnyOther) {
  std::string d = TempRoot("sj6");
  std::string shallow = d + "\\\x9C\x5C";  // 淺
  ASSERT_TRUE(CreateDirectoryA(shallow.c_str(), nullptr));
  Put(shallow + "\\p", "dup");
  Put(shallow + "\\q", "dup");
  Scan s;
  s.in.folders = {shallow};
  s.in.patterns = "p;q";
  ASSERT_TRUE(s.Run());
  ASSERT_EQ(s.out.tree.size(), 1u);
  EXPECT_EQ(s.out.tree[0].children[0], shallow + "\\q");
}

TEST(ScanJob, BadFoldersAndPatternsYieldNothing) {
  std::string d = TempRoot("sj7");
  Put(d + "\\a", "x");
  Put(d + "\\b", "x");
  Scan s;
  s.in.folders = {"", "relative", d};
  s.in.patterns = "..\\*;;b";
  ASSERT_TRUE(s.Run());
  EXPECT_TRUE(s.out.tree.empty());
  EXPECT_EQ(s.out.labels, (std::vector<std::string>{"100%"}));
}

TEST(ScanJob, ARetiredScanChangesNothingMore) {
  std::string d = TempRoot("sj8");
  for (int i = 0; i < 10; ++i) Put(d + "\\f" + std::to_string(i), "same");
  FakeInputs in;
  in.folders = {d};
  Recorder out;
  ScanJob job(in, out, RunHere);
  int steps = 0;
  out.onFileStep = [&] {
    if (++steps == 3) job.Retire();
  };
  EXPECT_FALSE(job.Run());
  int callsAtRetire = out.calls;
  EXPECT_EQ(steps, 3);
  EXPECT_EQ(out.finished, 0);
  EXPECT_EQ(out.calls, callsAtRetire);
  EXPECT_FALSE(job.Running());
}

TEST(ScanJob, LinkCyclesEnd) {
  std::string d = TempRoot("sj9");
  CreateDirectoryA((d + "\\sub").c_str(), nullptr);
  Put(d + "\\sub\\x", "k");
  if (!CreateSymbolicLinkA((d + "\\sub\\loop").c_str(), d.c_str(), SYMBOLIC_LINK_FLAG_DIRECTORY)) {
    GTEST_SKIP() << "symbolic links are not available here";
  }
  Scan s;
  s.in.folders = {d};
  s.in.recursive = true;
  ASSERT_TRUE(s.Run());
  EXPECT_TRUE(s.out.tree.empty());
}

TEST(ScanProgress, PercentAndScaledBar) {
  EXPECT_EQ(PercentText(1, 3), "33%");
  EXPECT_EQ(PercentText(2, 3), "66%");
  EXPECT_EQ(PercentText(3, 3), "100%");
  int32_t max = 0, pos = 0;
  ScaledProgress(50000, 100000, &max, &pos);
  EXPECT_EQ(max, 32767);
  EXPECT_EQ(pos, 16383);
  ScaledProgress(7, 100, &max, &pos);
  EXPECT_EQ(max, 100);
  EXPECT_EQ(pos, 7);
}
