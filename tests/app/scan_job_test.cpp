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

using namespace ts::app;

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

// Writes a file named by its exact path.
void PutExact(const std::wstring& path, const std::string& content) {
  HANDLE h = CreateFileW(VerbatimPath(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE) << ShownText(path);
  DWORD wrote = 0;
  WriteFile(h, content.data(), static_cast<DWORD>(content.size()), &wrote, nullptr);
  CloseHandle(h);
}

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
  // One row per content; the unique file's size is unique, so it was never
  // opened and its row has no digest.
  ASSERT_EQ(s.out.rows.size(), 2u);
  EXPECT_EQ(s.out.digests[0].size(), 32u);
  EXPECT_EQ(s.out.rows[1], d + "\\u");
  EXPECT_EQ(s.out.digests[1], "");
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

TEST(ScanJob, NamesTheCodePageCannotSpellAreScannedByTheirExactPaths) {
  // A Thai letter has no place in code page 936. Files and folders named
  // with one are scanned like any other: shown with a "?" for it, and read
  // through their exact paths.
  const wchar_t* thai = L"\x0E01";
  BOOL usedDefault = FALSE;
  char probe[8];
  WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, thai, 1, probe, sizeof probe, nullptr, &usedDefault);
  if (!usedDefault) GTEST_SKIP() << "the ANSI code page holds the test character";
  std::string d = TempRoot("sj14");
  const std::wstring wd = WideFromText(d);
  PutExact(wd + L"\\a.txt", "same");
  PutExact(wd + L"\\" + thai + L".txt", "same");
  PutExact(wd + L"\\\x4E2D.txt", "same");
  ASSERT_TRUE(CreateDirectoryW((wd + L"\\" + thai + L"dir").c_str(), nullptr));
  PutExact(wd + L"\\" + thai + L"dir\\b.txt", "same");
  for (const char* patterns : {"*.*", "*.txt"}) {
    Scan s;
    s.in.folders = {d};
    s.in.patterns = patterns;
    s.in.recursive = true;
    ASSERT_TRUE(s.Run());
    ASSERT_EQ(s.out.tree.size(), 1u) << patterns;
    EXPECT_EQ(Members(s.out.tree[0]), (std::vector<std::string>{d + "\\?.txt", d + "\\?dir\\b.txt", d + "\\a.txt",
                                                                d + "\\\xD6\xD0.txt"}))
        << patterns;
    EXPECT_EQ(ExactMembers(s.out.tree[0]),
              (std::vector<std::wstring>{wd + L"\\a.txt", wd + L"\\" + thai + L".txt",
                                         wd + L"\\" + thai + L"dir\\b.txt", wd + L"\\\x4E2D.txt"}))
        << patterns;
  }
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

TEST(ScanJob, FilesOfASizeSeenOnceAreNeverOpened) {
  std::string d = TempRoot("sj10");
  for (int i = 1; i <= 6; ++i) Put(d + "\\f" + std::to_string(i), std::string(static_cast<size_t>(i) * 100, 'x'));
  Scan s;
  s.in.folders = {d};
  ASSERT_TRUE(s.Run());
  EXPECT_EQ(s.opened, 0u);
  EXPECT_TRUE(s.out.tree.empty());
}

TEST(ScanJob, UnreadFilesGetTheirRowsInScanOrderAcrossSeveralCalls) {
  // More never-read files than one end-of-scan call shows: every one still
  // gets its row, numbered in scan order, with no digest.
  std::string d = TempRoot("sj15");
  constexpr int kFiles = 4500;
  // Spread over sub-folders: creating a file in a folder of thousands is
  // slow under Wine (each new name is checked against every other).
  for (int i = 0; i < kFiles; ++i) {
    const std::string sub = d + "\\s" + std::to_string(i / 100);
    if (i % 100 == 0) CreateDirectoryA(sub.c_str(), nullptr);
    Put(sub + "\\u" + std::to_string(i), std::string(static_cast<size_t>(i), 'x'));  // every size once
  }
  Scan s;
  s.in.folders = {d};
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
  std::string d = TempRoot("sj11");
  std::string big(200000, 'q');
  std::string headDiffers = big, tailDiffers = big;
  headDiffers[0] = 'H';
  tailDiffers[big.size() - 1] = 'T';
  Put(d + "\\a", big);
  Put(d + "\\b", headDiffers);
  Scan s;
  s.in.folders = {d};
  s.in.patterns = "a;b";
  ASSERT_TRUE(s.Run());
  EXPECT_EQ(s.opened, 2u) << "two heads read, nothing whole";
  ASSERT_EQ(s.out.rows.size(), 2u) << "a row per content";
  EXPECT_EQ(s.out.digests[0], "") << "no file was read whole, so no digest is known";
  EXPECT_EQ(s.out.digests[1], "");

  Put(d + "\\c", tailDiffers);
  Put(d + "\\e", big);
  Scan t;
  t.in.folders = {d};
  t.in.patterns = "a;b;c;e";
  ASSERT_TRUE(t.Run());
  ASSERT_EQ(t.out.tree.size(), 1u);
  EXPECT_EQ(t.out.tree[0].root, d + "\\a");
  EXPECT_EQ(t.out.tree[0].children, (std::vector<std::string>{d + "\\e"}));
  // Rows: a's content (read whole, with c and e) and c's; b's head is its own.
  ASSERT_EQ(t.out.rows.size(), 3u);
  EXPECT_EQ(t.out.rows[2], d + "\\b");
  EXPECT_EQ(t.out.digests[2], "");
  EXPECT_EQ(t.out.digests[0].size(), 32u);
}

TEST(ScanJob, ReadingLazilyGivesTheSameGroupsAsReadingEverything) {
  // Many sizes, shared and unique heads and tails, groups interleaved: the
  // tree must be exactly that of reading every file whole in order.
  std::string d = TempRoot("sj12");
  std::vector<std::string> order;
  uint32_t seed = 7;
  auto next = [&] { return (seed = seed * 1103515245u + 12345u) >> 16; };
  std::string pieces;
  for (int i = 0; i < 120; ++i) {
    size_t size = std::vector<size_t>{0, 5, 5000, 20000, 20000, 40000}[next() % 6];
    std::string content(size, 'a');
    if (size > 0) {
      int variant = static_cast<int>(next() % 3);
      if (variant == 1) content[0] = 'b';                // differs in the head
      if (variant == 2) content[size - 1] = 'c';         // differs past the head
    }
    std::string name = std::to_string(i);
    name.insert(name.begin(), 'f');
    Put(d + "\\" + name, content);
    order.push_back(d + "\\" + name);
    if (i) pieces += ';';
    pieces += name;
  }
  Scan s;
  s.in.folders = {d};
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
  std::string d = TempRoot("sj13");
  for (int i = 0; i < 50; ++i) Put(d + "\\g" + std::to_string(i), "same");
  Scan s;
  s.in.folders = {d};
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



// Makes `link` a symbolic link to the file `target`, through the platform
// or, under Wine (whose platform call makes no link), through the host's
// ln. False when neither can.
bool MakeFileLink(const std::string& link, const std::string& target) {
  if (CreateSymbolicLinkA(link.c_str(), target.c_str(), 0) && GetFileAttributesA(link.c_str()) != INVALID_FILE_ATTRIBUTES) {
    return true;
  }
  using UnixName = char*(CDECL*)(const wchar_t*);
  auto unixName = reinterpret_cast<UnixName>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
  if (!unixName) return false;
  auto host = [&](const std::string& path) {
    std::wstring wide(path.begin(), path.end());
    char* name = unixName(wide.c_str());
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
  for (int i = 0; i < 250 && GetFileAttributesA(link.c_str()) == INVALID_FILE_ATTRIBUTES; ++i) Sleep(20);
  return GetFileAttributesA(link.c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace

TEST(ScanJob, ALookAlikeNameIsReadAsItselfWhateverThePattern) {
  // A name whose best fit in the code page is another existing name: were
  // it read through a text, it would be read as that other file.
  char letter = 0;
  const wchar_t lookAlike = BestFitLookAlike(&letter);
  if (!lookAlike) GTEST_SKIP() << "the ANSI code page writes no letter as a best fit";
  std::string d = TempRoot("sj16");
  const std::wstring wd = WideFromText(d);
  const std::string plain = d + "\\" + letter + ".txt";
  Put(plain, "plain");
  Put(d + "\\c.txt", "plain");
  PutExact(wd + L"\\" + lookAlike + L".txt", "other");
  Put(d + "\\d.txt", "other");
  for (const char* patterns : {"*.txt", "*.*", "?.txt"}) {
    for (bool recursive : {false, true}) {
      Scan s;
      s.in.folders = {d};
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
  std::string d = TempRoot("sj17");
  CreateDirectoryA((d + "\\sub").c_str(), nullptr);
  Put(d + "\\sub\\p", "pair");
  Put(d + "\\sub\\q", "pair");
  Scan refused;
  refused.in.folders = {d + "\\sub.", d + "\\s?b", d + "\\sub \\", d + "\\sub\\..\\sub"};
  ASSERT_TRUE(refused.Run());
  EXPECT_TRUE(refused.out.tree.empty());
  EXPECT_TRUE(refused.out.steps.empty());
  Scan named;
  named.in.folders = {d + "\\sub\\"};
  ASSERT_TRUE(named.Run());
  EXPECT_EQ(named.out.tree.size(), 1u);
}

TEST(ScanJob, AFileLinkIsReadThroughTheLinkAndNeverGroupedWithItsTarget) {
  std::string d = TempRoot("sj18");
  Put(d + "\\t", "linked content");
  Put(d + "\\c", "linked content");
  if (!MakeFileLink(d + "\\l", d + "\\t")) GTEST_SKIP() << "no file links here";
  struct Case {
    const char* patterns;
    std::vector<std::string> members;  // of the one group, or none
  };
  for (const Case& c : {Case{"t;l", {}}, Case{"l;t", {}}, Case{"l;c", {"c", "l"}}, Case{"t;l;c", {"c", "t"}}}) {
    Scan s;
    s.in.folders = {d};
    s.in.patterns = c.patterns;
    ASSERT_TRUE(s.Run());
    if (c.members.empty()) {
      EXPECT_TRUE(s.out.tree.empty()) << c.patterns;
      continue;
    }
    ASSERT_EQ(s.out.tree.size(), 1u) << c.patterns;
    EXPECT_EQ(Members(s.out.tree[0]), (std::vector<std::string>{d + "\\" + c.members[0], d + "\\" + c.members[1]}))
        << c.patterns;
  }
}

TEST(ScanJob, AStopIsSeenAfterEveryListedEntryKeptOrNot) {
  // A folder of many files and no sub-folder: listing its sub-folders, or
  // its files for a pattern that matches none of them, skips every entry.
  // The pump runs every 256 entries listed; the first one stops the scan,
  // and no listing may go on to the next 256.
  std::string d = TempRoot("sj19");
  for (int i = 0; i < 1100; ++i) Put(d + "\\n" + std::to_string(i), "x");
  for (const char* patterns : {"*.txt", "*.*", "n*"}) {
    for (bool recursive : {true, false}) {
      FakeInputs in;
      in.folders = {d};
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
  std::string d = TempRoot("sj21");
  const std::string big(40000, 'b');
  Put(d + "\\big", big);
  Scan alone;
  alone.in.folders = {d};
  alone.in.patterns = "big;b*";
  ASSERT_TRUE(alone.Run());
  EXPECT_TRUE(alone.out.tree.empty());
  EXPECT_EQ(alone.opened, 2u) << "two first blocks read, nothing whole";
  Put(d + "\\copy", big);
  Scan withCopy;
  withCopy.in.folders = {d};
  withCopy.in.patterns = "big;copy;*";
  ASSERT_TRUE(withCopy.Run());
  ASSERT_EQ(withCopy.out.tree.size(), 1u);
  EXPECT_EQ(withCopy.out.tree[0].root, d + "\\big");
  EXPECT_EQ(withCopy.out.tree[0].children, (std::vector<std::string>{d + "\\copy"}));
}

TEST(ScanJob, SeveralReadersShowExactlyWhatOneReaderShows) {
  // Many files of few sizes, contents equal, differing in the first block or
  // only past it, in several folders, so that readers working ahead finish
  // out of order and later copies are often read before earlier ones.
  std::string d = TempRoot("sj20");
  uint32_t seed = 11;
  auto next = [&] { return (seed = seed * 1103515245u + 12345u) >> 16; };
  const std::vector<size_t> sizes = {0, 1, 700, 16384, 16385, 40000, 300000, (size_t{1} << 20) + 17};
  for (int f = 0; f < 6; ++f) {
    const std::string sub = d + "\\s" + std::to_string(f);
    CreateDirectoryA(sub.c_str(), nullptr);
    for (int i = 0; i < 40; ++i) {
      const size_t size = sizes[next() % sizes.size()];
      std::string content(size, '\0');
      for (size_t b = 0; b < size; ++b) content[b] = static_cast<char>(b * 7 + size);
      const uint32_t variant = next() % 4;
      if (size > 0 && variant == 1) content[0] ^= 1;           // differs in the first block
      if (size > 0 && variant == 2) content[size - 1] ^= 2;    // differs past it
      if (size > 1 && variant == 3) content[size / 2] ^= static_cast<char>(next() | 1);
      Put(sub + "\\f" + std::to_string(39 - i), content);
    }
  }
  auto scan = [&](uint32_t readers) {
    auto s = std::make_unique<Scan>();
    s->in.folders = {d + "\\s5", d};
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
