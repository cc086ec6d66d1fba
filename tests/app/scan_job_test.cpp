// The scan from the worker's side, on real folders, with the window replaced
// by a recorder: which groups form, in which order, what is never grouped,
// and that a retired scan shows nothing more.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/scan/path_rules.h"
#include "app/scan/scan_job.h"
#include "libs/digest/md5.h"
#include "tests/support/temp_tree.h"
#include "tests/support/wait.h"

using namespace ts::app;
using ts::test::Body;
using ts::test::TempTree;

namespace {

// A listed folder: its exact path, given as one or as the text of one.
struct FolderRow {
  std::wstring exact;
  FolderRow(std::wstring path) : exact(std::move(path)) {}
  FolderRow(const std::string& text) : exact(WideFromText(text)) {}
  FolderRow(const char* text) : exact(WideFromText(text)) {}
};

struct FakeInputs : ScanInputs {
  std::vector<FolderRow> folders;
  std::string patterns = "*.*";
  bool recursive = false;
  uint32_t FolderCount() override { return static_cast<uint32_t>(folders.size()); }
  std::wstring Folder(uint32_t row) override { return folders[row].exact; }
  std::string Patterns() override { return patterns; }
  bool IncludeSubfolders() override { return recursive; }
  void PumpIfInput() override {
    if (onPump) onPump();
  }
  std::function<void()> onPump;  // runs every 256 entries listed
};

// Builds the result tree the way the tree box would: roots with children,
// children inserted under the root found by its current tree index; each
// item's text as shown and the exact path its number leads to.
struct Recorder : ScanOutput {
  struct Group {
    std::string root;
    std::vector<std::string> children;
    std::vector<std::wstring> exact;  // the root's, then the children's
  };
  std::shared_ptr<const PathStore> paths;
  std::vector<Group> tree;
  std::map<uint32_t, std::string> rows;  // digest row → first path
  std::map<uint32_t, std::string> digests;  // digest row → MD5 text
  std::map<uint32_t, uint32_t> rowIndex;  // digest row → creation tree index
  std::vector<std::string> labels;
  std::vector<std::string> steps;  // the files shown, in order
  int finished = 0;
  int calls = 0;
  std::function<void()> onFileStep;

  uint32_t IndexOf(size_t group) const {
    uint32_t at = 0;
    for (size_t g = 0; g < group; ++g) at += 1 + static_cast<uint32_t>(tree[g].children.size());
    return at;
  }
  void Begin(std::shared_ptr<const PathStore> store) override {
    ++calls;
    tree.clear();
    rows.clear();
    paths = std::move(store);
  }
  std::wstring ExactOf(const ShownFile& file) const {
    EXPECT_EQ(paths->Text(file.path), file.text);
    return paths->Exact(file.path);
  }
  void Notice() override { ++calls; }
  void ProgressRange(uint32_t) override { ++calls; }
  void Repaint() override { ++calls; }
  void FileStep(uint32_t k, uint32_t n, const std::string& path) override {
    ++calls;
    labels.push_back(PercentText(k, n));
    steps.push_back(path);
    if (onFileStep) onFileStep();
  }
  void DigestRow(uint32_t row, const std::string& path, const std::string& md5) override {
    ++calls;
    EXPECT_TRUE(md5.size() == 32u || md5.empty()) << md5;  // empty: never read whole
    rows[row] = path;
    digests[row] = md5;
  }
  void NewGroup(uint32_t row, uint32_t rootIndex, const ShownFile& root, const ShownFile& child) override {
    ++calls;
    EXPECT_EQ(rootIndex, IndexOf(tree.size()));
    EXPECT_EQ(rows[row], root.text);
    rowIndex[row] = rootIndex;
    tree.push_back({root.text, {child.text}, {ExactOf(root), ExactOf(child)}});
  }
  void JoinGroup(uint32_t rootIndex, const ShownFile& child) override {
    ++calls;
    for (size_t g = 0; g < tree.size(); ++g) {
      if (IndexOf(g) == rootIndex) {
        tree[g].children.push_back(child.text);
        tree[g].exact.push_back(ExactOf(child));
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

// A group's members, sorted: their texts, or their exact paths.
std::vector<std::string> Members(const Recorder::Group& g) {
  std::vector<std::string> all = g.children;
  all.push_back(g.root);
  std::sort(all.begin(), all.end());
  return all;
}

std::vector<std::wstring> ExactMembers(const Recorder::Group& g) {
  std::vector<std::wstring> all = g.exact;
  std::sort(all.begin(), all.end());
  return all;
}

// "<stem><n>": one name of many. (Built by appending: GCC 12 warns of an
// overlapping copy when a literal is put before a number's text.)
std::string Numbered(const std::string& stem, int n) { return std::string(stem).append(std::to_string(n)); }

bool RunHere(const std::function<bool()>& current, const std::function<void()>& change) {
  if (!current()) return false;
  change();
  return true;
}

struct Scan {
  FakeInputs in;
  Recorder out;
  uint32_t opened = 0;
  uint32_t readers = 0;  // 0: as the machine decides
  bool Run(uint32_t interval = 0) {
    ScanJob job(in, out, RunHere);
    job.SetUpdateInterval(interval);
    job.SetReaders(readers);
    bool ok = job.Run();
    opened = job.FilesOpened();
    return ok;
  }
};

// The result of reading every file whole in scan order, for comparison.
std::vector<Recorder::Group> ReferenceTree(const std::vector<std::string>& paths) {
  std::vector<Recorder::Group> tree;
  std::map<std::string, int> groupOf;   // digest → group
  std::map<std::string, std::string> first;
  for (const std::string& p : paths) {
    FileDigest d;
    if (DigestFile(WideFromText(p), nullptr, &d) != ReadOutcome::Done) continue;
    std::string key(reinterpret_cast<const char*>(d.md5), 16);
    if (!first.count(key)) {
      first[key] = p;
    } else if (!groupOf.count(key)) {
      groupOf[key] = static_cast<int>(tree.size());
      tree.push_back({first[key], {p}, {}});
    } else {
      tree[groupOf[key]].children.push_back(p);
    }
  }
  return tree;
}

}  // namespace

TEST(ScanJob, ThreeCopiesMakeOneGroupAndAUniqueFileStaysHidden) {
  TempTree dir("sj1");
  dir.File("a", "same");
  dir.File("b", "same");
  dir.File("c", "same");
  dir.File("u", "unique");
  Scan s;
  s.in.folders = {dir.root()};
  s.in.patterns = "a;b;c;u";  // pieces give the order
  ASSERT_TRUE(s.Run());
  ASSERT_EQ(s.out.tree.size(), 1u);
  EXPECT_EQ(s.out.tree[0].root, dir / "a");
  EXPECT_EQ(s.out.tree[0].children, (std::vector<std::string>{dir / "b", dir / "c"}));
  // One row per content; the unique file's size is unique, so it was never
  // opened and its row has no digest.
  ASSERT_EQ(s.out.rows.size(), 2u);
  EXPECT_EQ(s.out.digests[0].size(), 32u);
  EXPECT_EQ(s.out.rows[1], dir / "u");
  EXPECT_EQ(s.out.digests[1], "");
  EXPECT_EQ(s.out.labels, (std::vector<std::string>{"25%", "50%", "75%", "100%"}));
  EXPECT_EQ(s.out.finished, 1);
}

TEST(ScanJob, InterleavedGroupsKeepTheirRootsAsIndexesShift) {
  TempTree dir("sj2");
  for (const char* n : {"a1", "a2", "a3"}) dir.File(n, "content A");
  for (const char* n : {"b1", "b2", "b3"}) dir.File(n, "content B");
  dir.File("e1", "");
  dir.File("e2", "");
  Scan s;
  s.in.folders = {dir.root()};
  s.in.patterns = "a1;b1;a2;b2;a3;b3;e1;e2";
  ASSERT_TRUE(s.Run());
  ASSERT_EQ(s.out.tree.size(), 3u);
  EXPECT_EQ(s.out.tree[0].children, (std::vector<std::string>{dir / "a2", dir / "a3"}));
  EXPECT_EQ(s.out.tree[1].root, dir / "b1");
  EXPECT_EQ(s.out.tree[1].children, (std::vector<std::string>{dir / "b2", dir / "b3"}));
  EXPECT_EQ(s.out.tree[2].root, dir / "e1");  // two empty files form a group
  // b's root was made at index 2; a3 then moved it to 3, the row keeps 2.
  EXPECT_EQ(s.out.rowIndex[1], 2u);
}

TEST(ScanJob, GroupsSpanListedFoldersAndDotFoldersAreSkipped) {
  TempTree one("sj3a"), two("sj3b");
  one.File("x", "shared");
  one.File(".cache\\hidden", "shared");
  one.File("sub\\y", "shared");
  two.File("z", "shared");
  Scan s;
  s.in.folders = {one.root(), two.root()};
  s.in.recursive = true;
  ASSERT_TRUE(s.Run());
  ASSERT_EQ(s.out.tree.size(), 1u);
  EXPECT_EQ(s.out.tree[0].root, one / "x");
  EXPECT_EQ(s.out.tree[0].children, (std::vector<std::string>{one / "sub\\y", two / "z"}));
}

TEST(ScanJob, NoFileIsEverGroupedWithItself) {
  TempTree dir("sj4");
  dir.File("f.txt", "one copy only");
  dir.File("inner\\g.txt", "another single");
  Scan s;
  // Overlapping patterns, and a listed folder inside another listed one.
  s.in.folders = {dir.root(), dir / "inner", dir / ".\\inner"};
  s.in.patterns = "*.*;f.txt;*.TXT";
  s.in.recursive = true;
  ASSERT_TRUE(s.Run());
  EXPECT_TRUE(s.out.tree.empty());
}

TEST(ScanJob, NamesTheCodePageCannotSpellAreScannedByTheirExactPaths) {
  // A Thai letter has no place in code page 936. Files and folders named
  // with one are scanned like any other: shown with a "?" for it, and read
  // through their exact paths.
  const wchar_t* thai = L"\x0E01";
  BOOL usedDefault = FALSE;
  char probe[8];
  WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, thai, 1, probe, sizeof probe, nullptr, &usedDefault);
  if (!usedDefault) GTEST_SKIP() << "the ANSI code page holds the test character";
  TempTree dir("sj14");
  const std::wstring wd = WideFromText(dir.root());
  dir.File(L"a.txt", "same");
  dir.File(thai + std::wstring(L".txt"), "same");
  dir.File(L"\x4E2D.txt", "same");
  dir.File(thai + std::wstring(L"dir\\b.txt"), "same");
  for (const char* patterns : {"*.*", "*.txt"}) {
    Scan s;
    s.in.folders = {dir.root()};
    s.in.patterns = patterns;
    s.in.recursive = true;
    ASSERT_TRUE(s.Run());
    ASSERT_EQ(s.out.tree.size(), 1u) << patterns;
    EXPECT_EQ(Members(s.out.tree[0]), (std::vector<std::string>{dir / "?.txt", dir / "?dir\\b.txt", dir / "a.txt",
                                                                dir / "\xD6\xD0.txt"}))
        << patterns;
    EXPECT_EQ(ExactMembers(s.out.tree[0]),
              (std::vector<std::wstring>{wd + L"\\a.txt", wd + L"\\" + thai + L".txt",
                                         wd + L"\\" + thai + L"dir\\b.txt", wd + L"\\\x4E2D.txt"}))
        << patterns;
  }
}

TEST(ScanJob, FilesThatCannotBeReadWholeAreNotGrouped) {
  TempTree dir("sj5");
  dir.File("a", "");
  dir.File("b", "locked content");
  dir.File("c", "locked content");
  HANDLE writer = CreateFileA((dir / "b").c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(writer, INVALID_HANDLE_VALUE);
  Scan s;
  s.in.folders = {dir.root()};
  s.in.patterns = "a;b;c";
  ASSERT_TRUE(s.Run());
  CloseHandle(writer);
  // The locked file is neither grouped with the empty file (as an empty read
  // would be) nor with its real copy.
  EXPECT_TRUE(s.out.tree.empty());
}

TEST(ScanJob, FoldersEndingInATrailByteBackslashAreJoinedLikeAnyOther) {
  TempTree dir("sj6");
  const std::string shallow = dir.Dir("\x9C\x5C");  // 淺
  dir.File("\x9C\x5C\\p", "dup");
  dir.File("\x9C\x5C\\q", "dup");
  Scan s;
  s.in.folders = {shallow};
  s.in.patterns = "p;q";
  ASSERT_TRUE(s.Run());
  ASSERT_EQ(s.out.tree.size(), 1u);
  EXPECT_EQ(s.out.tree[0].children[0], shallow + "\\q");
}

TEST(ScanJob, BadFoldersAndPatternsYieldNothing) {
  TempTree dir("sj7");
  dir.File("a", "x");
  dir.File("b", "x");
  Scan s;
  s.in.folders = {"", "relative", dir.root()};
  s.in.patterns = "..\\*;;b";
  ASSERT_TRUE(s.Run());
  EXPECT_TRUE(s.out.tree.empty());
  EXPECT_EQ(s.out.labels, (std::vector<std::string>{"100%"}));
}

TEST(ScanJob, ARetiredScanChangesNothingMore) {
  TempTree dir("sj8");
  for (int i = 0; i < 10; ++i) dir.File(Numbered("f", i), "same");
  FakeInputs in;
  in.folders = {dir.root()};
  Recorder out;
  ScanJob job(in, out, RunHere);
  job.SetUpdateInterval(0);
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
  TempTree dir("sj9");
  dir.File("sub\\x", "k");
  if (!dir.SymLink("sub\\loop", dir.root(), true)) GTEST_SKIP() << "symbolic links are not available here";
  Scan s;
  s.in.folders = {dir.root()};
  s.in.recursive = true;
  ASSERT_TRUE(s.Run());
  EXPECT_TRUE(s.out.tree.empty());
}

TEST(ScanJob, FilesOfASizeSeenOnceAreNeverOpened) {
  TempTree dir("sj10");
  for (int i = 1; i <= 6; ++i) dir.File(Numbered("f", i), std::string(static_cast<size_t>(i) * 100, 'x'));
  Scan s;
  s.in.folders = {dir.root()};
  ASSERT_TRUE(s.Run());
  EXPECT_EQ(s.opened, 0u);
  EXPECT_TRUE(s.out.tree.empty());
}

TEST(ScanJob, UnreadFilesGetTheirRowsInScanOrderAcrossSeveralCalls) {
  // More never-read files than one end-of-scan call shows: every one still
  // gets its row, numbered in scan order, with no digest.
  TempTree dir("sj15");
  constexpr int kFiles = 4500;
  // Spread over sub-folders: creating a file in a folder of thousands is
  // slow under Wine (each new name is checked against every other).
  for (int i = 0; i < kFiles; ++i) {
    const std::string name = Numbered(Numbered("s", i / 100) + "\\u", i);
    dir.File(name, std::string(static_cast<size_t>(i), 'x'));  // every size once
  }
  Scan s;
  s.in.folders = {dir.root()};
  s.in.recursive = true;
  ASSERT_TRUE(s.Run());
  EXPECT_EQ(s.opened, 0u);
  ASSERT_EQ(s.out.steps.size(), static_cast<size_t>(kFiles));
  ASSERT_EQ(s.out.rows.size(), static_cast<size_t>(kFiles));
  for (int i = 0; i < kFiles; ++i) {
    ASSERT_EQ(s.out.rows[static_cast<uint32_t>(i)], s.out.steps[static_cast<size_t>(i)]) << i;
    ASSERT_EQ(s.out.digests[static_cast<uint32_t>(i)], "");
  }
  EXPECT_EQ(s.out.finished, 1);
}

TEST(ScanJob, FilesWhoseFirstBlocksDifferAreNotReadToTheirEnd) {
  TempTree dir("sj11");
  const Body big{200000, "", "", "", 'q'};
  Body headDiffers = big, tailDiffers = big;
  headDiffers.prefix = "H";
  tailDiffers.suffix = "T";
  dir.File("a", big);
  dir.File("b", headDiffers);
  Scan s;
  s.in.folders = {dir.root()};
  s.in.patterns = "a;b";
  ASSERT_TRUE(s.Run());
  EXPECT_EQ(s.opened, 2u) << "two heads read, nothing whole";
  ASSERT_EQ(s.out.rows.size(), 2u) << "a row per content";
  EXPECT_EQ(s.out.digests[0], "") << "no file was read whole, so no digest is known";
  EXPECT_EQ(s.out.digests[1], "");

  dir.File("c", tailDiffers);
  dir.File("e", big);
  Scan t;
  t.in.folders = {dir.root()};
  t.in.patterns = "a;b;c;e";
  ASSERT_TRUE(t.Run());
  ASSERT_EQ(t.out.tree.size(), 1u);
  EXPECT_EQ(t.out.tree[0].root, dir / "a");
  EXPECT_EQ(t.out.tree[0].children, (std::vector<std::string>{dir / "e"}));
  // Rows: a's content (read whole, with c and e) and c's; b's head is its own.
  ASSERT_EQ(t.out.rows.size(), 3u);
  EXPECT_EQ(t.out.rows[2], dir / "b");
  EXPECT_EQ(t.out.digests[2], "");
  EXPECT_EQ(t.out.digests[0].size(), 32u);
}

TEST(ScanJob, ReadingLazilyGivesTheSameGroupsAsReadingEverything) {
  // Many sizes (some just around the head), shared and unique heads and
  // tails, groups interleaved: the tree must be exactly that of reading
  // every file whole in order.
  TempTree dir("sj12");
  std::vector<std::string> order;
  uint32_t seed = 7;
  auto next = [&] { return (seed = seed * 1103515245u + 12345u) >> 16; };
  const std::vector<size_t> sizes = {0, 5, 5000, ts::test::kAroundHead[0], ts::test::kAroundHead[1],
                                     ts::test::kAroundHead[2], 20000, 40000};
  std::string pieces;
  for (int i = 0; i < 120; ++i) {
    const size_t size = sizes[next() % sizes.size()];
    // Alike, or differing in the first byte (in the head) or in the last
    // (past the head in longer files).
    const uint32_t variant = size > 0 ? next() % 3 : 0;
    const Body body{size, variant == 1 ? "b" : "", "", variant == 2 ? "c" : "", 'a'};
    const std::string name = Numbered("f", i);
    order.push_back(dir.File(name, body));
    if (i) pieces += ';';
    pieces += name;
  }
  Scan s;
  s.in.folders = {dir.root()};
  s.in.patterns = pieces;
  ASSERT_TRUE(s.Run());
  std::vector<Recorder::Group> expected = ReferenceTree(order);
  ASSERT_EQ(s.out.tree.size(), expected.size());
  for (size_t g = 0; g < expected.size(); ++g) {
    EXPECT_EQ(s.out.tree[g].root, expected[g].root) << "group " << g;
    EXPECT_EQ(s.out.tree[g].children, expected[g].children) << "group " << g;
  }
  // Copies whose bytes were compared instead of digested still show their
  // content's true digest.
  for (const auto& [row, md5] : s.out.digests) {
    if (md5.empty()) continue;
    FileDigest digest;
    ASSERT_EQ(DigestFile(WideFromText(s.out.rows[row]), nullptr, &digest), ReadOutcome::Done);
    char hex[33];
    ts::Md5Hex(digest.md5, hex);
    EXPECT_EQ(md5, hex) << s.out.rows[row];
  }
}

TEST(ScanJob, ThrottledStepsStillEndEachFolderOnItsLastFile) {
  TempTree dir("sj13");
  for (int i = 0; i < 50; ++i) dir.File(Numbered("g", i), "same");
  Scan s;
  s.in.folders = {dir.root()};
  ASSERT_TRUE(s.Run(60000));  // an interval longer than the whole scan
  ASSERT_FALSE(s.out.labels.empty());
  EXPECT_LE(s.out.labels.size(), 2u);
  EXPECT_EQ(s.out.labels.back(), "100%");
  ASSERT_EQ(s.out.tree.size(), 1u);
  EXPECT_EQ(s.out.tree[0].children.size(), 49u);
}

namespace {

// A character that code page 936 writes only as a look-alike lower-case
// ASCII letter (a best fit), with that letter; 0 when there is none.
wchar_t BestFitLookAlike(char* letter) {
  for (unsigned c = 0x80; c < 0x3000; ++c) {
    const wchar_t w = static_cast<wchar_t>(c);
    char bytes[8];
    BOOL usedDefault = FALSE;
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, &w, 1, bytes, sizeof bytes, nullptr, &usedDefault);
    if (!usedDefault) continue;
    const int n = WideCharToMultiByte(CP_ACP, 0, &w, 1, bytes, sizeof bytes, nullptr, &usedDefault);
    if (n == 1 && !usedDefault && bytes[0] >= 'a' && bytes[0] <= 'z') {
      *letter = bytes[0];
      return w;
    }
  }
  return 0;
}

// Makes `link` in `dir` a symbolic link to the file `target` there, through
// the platform or, under Wine (whose platform call makes no link), through
// the host's ln. False when neither can.
bool MakeFileLink(const TempTree& dir, const std::string& link, const std::string& target) {
  if (dir.SymLink(link, dir / target, false)) return true;
  using UnixName = char*(CDECL*)(const wchar_t*);
  auto unixName = reinterpret_cast<UnixName>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
  if (!unixName) return false;
  auto host = [&](const std::string& relative) {
    char* name = unixName(WideFromText(dir / relative).c_str());
    std::string out = name ? name : "";
    HeapFree(GetProcessHeap(), 0, name);
    return out;
  };
  std::string command = "start.exe /unix /bin/ln -s " + host(target) + " " + host(link);
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &si, &pi)) {
    return false;
  }
  WaitForSingleObject(pi.hProcess, 10000);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  // The host program runs on its own: wait for the link to appear.
  return ts::test::WaitFor([&] { return dir.Exists(link); }, 5000);
}

}  // namespace

TEST(ScanJob, ALookAlikeNameIsReadAsItselfWhateverThePattern) {
  // A name whose best fit in the code page is another existing name: were
  // it read through a text, it would be read as that other file.
  char letter = 0;
  const wchar_t lookAlike = BestFitLookAlike(&letter);
  if (!lookAlike) GTEST_SKIP() << "the ANSI code page writes no letter as a best fit";
  TempTree dir("sj16");
  const std::wstring wd = WideFromText(dir.root());
  dir.File(letter + std::string(".txt"), "plain");
  dir.File("c.txt", "plain");
  dir.File(lookAlike + std::wstring(L".txt"), "other");
  dir.File("d.txt", "other");
  for (const char* patterns : {"*.txt", "*.*", "?.txt"}) {
    for (bool recursive : {false, true}) {
      Scan s;
      s.in.folders = {dir.root()};
      s.in.patterns = patterns;
      s.in.recursive = recursive;
      ASSERT_TRUE(s.Run());
      ASSERT_EQ(s.out.tree.size(), 2u) << patterns << recursive;
      std::vector<std::vector<std::wstring>> groups = {ExactMembers(s.out.tree[0]), ExactMembers(s.out.tree[1])};
      std::sort(groups.begin(), groups.end());
      std::vector<std::wstring> plainGroup = {wd + L"\\" + static_cast<wchar_t>(letter) + L".txt", wd + L"\\c.txt"};
      std::sort(plainGroup.begin(), plainGroup.end());
      EXPECT_EQ(groups[0], plainGroup) << patterns << recursive;
      EXPECT_EQ(groups[1], (std::vector<std::wstring>{wd + L"\\d.txt", wd + L"\\" + lookAlike + L".txt"}))
          << patterns << recursive;
      EXPECT_EQ(s.out.steps.size(), 4u) << patterns << recursive;
    }
  }
}

TEST(ScanJob, AListedFolderIsTakenOnlyAsItIsNamed) {
  // A trailing dot would be stripped (listing "sub" under another name) and
  // a "?" would be a wildcard: such folders yield nothing.
  TempTree dir("sj17");
  dir.File("sub\\p", "pair");
  dir.File("sub\\q", "pair");
  Scan refused;
  refused.in.folders = {dir / "sub.", dir / "s?b", dir / "sub \\", dir / "sub\\..\\sub"};
  ASSERT_TRUE(refused.Run());
  EXPECT_TRUE(refused.out.tree.empty());
  EXPECT_TRUE(refused.out.steps.empty());
  Scan named;
  named.in.folders = {dir / "sub\\"};
  ASSERT_TRUE(named.Run());
  EXPECT_EQ(named.out.tree.size(), 1u);
}

TEST(ScanJob, AFileLinkIsReadThroughTheLinkAndNeverGroupedWithItsTarget) {
  TempTree dir("sj18");
  dir.File("t", "linked content");
  dir.File("c", "linked content");
  if (!MakeFileLink(dir, "l", "t")) GTEST_SKIP() << "no file links here";
  struct Case {
    const char* patterns;
    std::vector<std::string> members;  // of the one group, or none
  };
  for (const Case& c : {Case{"t;l", {}}, Case{"l;t", {}}, Case{"l;c", {"c", "l"}}, Case{"t;l;c", {"c", "t"}}}) {
    Scan s;
    s.in.folders = {dir.root()};
    s.in.patterns = c.patterns;
    ASSERT_TRUE(s.Run());
    if (c.members.empty()) {
      EXPECT_TRUE(s.out.tree.empty()) << c.patterns;
      continue;
    }
    ASSERT_EQ(s.out.tree.size(), 1u) << c.patterns;
    EXPECT_EQ(Members(s.out.tree[0]), (std::vector<std::string>{dir / c.members[0], dir / c.members[1]}))
        << c.patterns;
  }
}

TEST(ScanJob, AStopIsSeenAfterEveryListedEntryKeptOrNot) {
  // A folder of many files and no sub-folder: listing its sub-folders, or
  // its files for a pattern that matches none of them, skips every entry.
  // The pump runs every 256 entries listed; the first one stops the scan,
  // and no listing may go on to the next 256.
  TempTree dir("sj19");
  for (int i = 0; i < 1100; ++i) dir.File(Numbered("n", i), "x");
  for (const char* patterns : {"*.txt", "*.*", "n*"}) {
    for (bool recursive : {true, false}) {
      FakeInputs in;
      in.folders = {dir.root()};
      in.patterns = patterns;
      in.recursive = recursive;
      Recorder out;
      ScanJob job(in, out, RunHere);
      int pumps = 0;
      in.onPump = [&] {
        if (++pumps == 1) job.Retire();
      };
      job.Run();
      if (!recursive && std::string(patterns) == "*.txt") continue;  // nothing listed at all
      EXPECT_EQ(pumps, 1) << patterns << (recursive ? " with" : " without") << " sub-folders";
    }
  }
}

TEST(ScanJob, ALargeFileReachedTwiceIsNeitherReadWholeNorGroupedWithItself) {
  // Files longer than the first block compared, each found again by a
  // second pattern: the second path must not make one read to its end, and
  // a real copy still groups once.
  TempTree dir("sj21");
  const std::string big(40000, 'b');
  dir.File("big", big);
  Scan alone;
  alone.in.folders = {dir.root()};
  alone.in.patterns = "big;b*";
  ASSERT_TRUE(alone.Run());
  EXPECT_TRUE(alone.out.tree.empty());
  EXPECT_EQ(alone.opened, 2u) << "two first blocks read, nothing whole";
  dir.File("copy", big);
  Scan withCopy;
  withCopy.in.folders = {dir.root()};
  withCopy.in.patterns = "big;copy;*";
  ASSERT_TRUE(withCopy.Run());
  ASSERT_EQ(withCopy.out.tree.size(), 1u);
  EXPECT_EQ(withCopy.out.tree[0].root, dir / "big");
  EXPECT_EQ(withCopy.out.tree[0].children, (std::vector<std::string>{dir / "copy"}));
}

TEST(ScanJob, SeveralReadersShowExactlyWhatOneReaderShows) {
  // Many files of few sizes, contents equal, differing in the first block or
  // only past it, in several folders, so that readers working ahead finish
  // out of order and later copies are often read before earlier ones.
  TempTree dir("sj20");
  uint32_t seed = 11;
  auto next = [&] { return (seed = seed * 1103515245u + 12345u) >> 16; };
  const std::vector<size_t> sizes = {0, 1, 700, ts::test::kHeadBytes, ts::test::kHeadBytes + 1,
                                     40000, 300000, (size_t{1} << 20) + 17};
  for (int f = 0; f < 6; ++f) {
    for (int i = 0; i < 40; ++i) {
      const size_t size = sizes[next() % sizes.size()];
      std::string content(size, '\0');
      for (size_t b = 0; b < size; ++b) content[b] = static_cast<char>(b * 7 + size);
      const uint32_t variant = next() % 4;
      if (size > 0 && variant == 1) content[0] ^= 1;           // differs in the first block
      if (size > 0 && variant == 2) content[size - 1] ^= 2;    // differs past it
      if (size > 1 && variant == 3) content[size / 2] ^= static_cast<char>(next() | 1);
      dir.File(Numbered(Numbered("s", f) + "\\f", 39 - i), content);
    }
  }
  auto scan = [&](uint32_t readers) {
    auto s = std::make_unique<Scan>();
    s->in.folders = {dir / "s5", dir.root()};
    s->in.recursive = true;
    s->readers = readers;
    EXPECT_TRUE(s->Run());
    return s;
  };
  std::unique_ptr<Scan> one = scan(1);
  ASSERT_GT(one->out.tree.size(), 5u);
  std::vector<Recorder::Group> expected = ReferenceTree(one->out.steps);
  ASSERT_EQ(one->out.tree.size(), expected.size());
  for (size_t g = 0; g < expected.size(); ++g) {
    EXPECT_EQ(one->out.tree[g].root, expected[g].root);
    EXPECT_EQ(one->out.tree[g].children, expected[g].children);
  }
  for (uint32_t readers : {2u, 4u, 8u}) {
    std::unique_ptr<Scan> many = scan(readers);
    EXPECT_EQ(many->out.steps, one->out.steps) << readers;
    EXPECT_EQ(many->out.labels, one->out.labels) << readers;
    EXPECT_EQ(many->out.rows, one->out.rows) << readers;
    EXPECT_EQ(many->out.digests, one->out.digests) << readers;
    EXPECT_EQ(many->out.rowIndex, one->out.rowIndex) << readers;
    ASSERT_EQ(many->out.tree.size(), one->out.tree.size()) << readers;
    for (size_t g = 0; g < one->out.tree.size(); ++g) {
      EXPECT_EQ(many->out.tree[g].root, one->out.tree[g].root) << readers;
      EXPECT_EQ(many->out.tree[g].children, one->out.tree[g].children) << readers;
    }
  }
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
