// The scan's building blocks against real files: which names and patterns
// may be used and how exact paths are shown and handed to the platform, file
// identity through every kind of second path, reading in pieces, and the
// grouping bookkeeping behind the result tree.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <vector>

#include "app/scan/file_digest.h"
#include "app/scan/group_index.h"
#include "app/scan/path_rules.h"
#include "app/scan/path_store.h"
#include "tests/support/temp_tree.h"

using namespace ts::app;
using ts::test::TempTree;

namespace {

Digest D(uint8_t b) {
  Digest d{};
  d[0] = b;
  return d;
}

}  // namespace

TEST(PathRules, BackslashIsJudgedByCharacterNotByte) {
  // 淺 is 0x9C 0x5C in code page 936: its trail byte is not a separator.
  const std::string shallow = "C:\\data\\\x9C\x5C";
  EXPECT_TRUE(PathTextSafe(shallow));
  EXPECT_EQ(WithBackslash(ExactFromText(shallow)), L"C:\\data\\\x6DFA\\");
  EXPECT_EQ(WithBackslash(L"C:\\"), L"C:\\");
  EXPECT_TRUE(PatternUsable("\x9C\x5C*.txt"));
}

TEST(PathRules, FoldersMustBeAbsoluteAndPatternsStayInTheFolder) {
  EXPECT_TRUE(IsAbsoluteFolder("C:\\"));
  EXPECT_TRUE(IsAbsoluteFolder("z:\\tmp"));
  EXPECT_TRUE(IsAbsoluteFolder("\\\\server\\share"));
  EXPECT_FALSE(IsAbsoluteFolder(""));
  EXPECT_FALSE(IsAbsoluteFolder("data"));
  EXPECT_FALSE(IsAbsoluteFolder("C:data"));
  EXPECT_FALSE(IsAbsoluteFolder("\\data"));
  EXPECT_FALSE(IsAbsoluteFolder("\\\\?\\C:\\x"));

  EXPECT_TRUE(PatternUsable("*.*"));
  EXPECT_FALSE(PatternUsable("..\\*.*"));
  EXPECT_FALSE(PatternUsable("a/b"));
  EXPECT_FALSE(PatternUsable("C:*.txt"));
}

TEST(PathRules, NamesThatThePlatformWouldRewriteAreUnsafe) {
  EXPECT_TRUE(EntryNameSafe("a.txt"));
  EXPECT_TRUE(EntryNameSafe("\xD6\xD0\xCE\xC4.txt"));  // 中文.txt
  EXPECT_FALSE(EntryNameSafe("a."));
  EXPECT_FALSE(EntryNameSafe("a "));
  EXPECT_FALSE(EntryNameSafe("a?b"));        // stand-in for a character 936 cannot hold
  EXPECT_FALSE(EntryNameSafe("\x81"));       // a lone lead byte
  EXPECT_FALSE(EntryNameSafe(""));
}

TEST(PathRules, ExactPathsGoVerbatimToTheFileFunctionsAndAreShownWithoutLookAlikes) {
  EXPECT_EQ(VerbatimPath(L"C:\\dir.\\f "), L"\\\\?\\C:\\dir.\\f ");
  EXPECT_EQ(VerbatimPath(L"\\\\server\\share\\f"), L"\\\\?\\UNC\\server\\share\\f");
  // The shell takes no verbatim paths: what it would rewrite is kept from it.
  EXPECT_FALSE(ShellWouldRewrite(L"C:\\a.b\\\xD55C.txt"));
  EXPECT_TRUE(ShellWouldRewrite(L"C:\\dir.\\f"));
  EXPECT_TRUE(ShellWouldRewrite(L"C:\\dir\\f "));
  EXPECT_TRUE(ShellWouldRewrite(L"C:\\" + std::wstring(MAX_PATH, L'a')));
  // One "?" for each character the code page cannot spell, a character
  // beyond the basic plane included; never a look-alike letter.
  EXPECT_EQ(ShownText(L"x\xD83D\xDE00\x00DF\x00AA\x4E2D"), "x???\xD6\xD0");
  // A text names a file only without doubt.
  EXPECT_EQ(ExactFromText("Z:\\\xD6\xD0\\a.txt"), L"Z:\\\x4E2D\\a.txt");
  EXPECT_EQ(ExactFromText("Z:\\?.txt"), L"");
  EXPECT_EQ(ExactFromText("Z:\\dir.\\a.txt"), L"");
  EXPECT_EQ(ExactFromText("a.txt"), L"");
  // Listed folders are taken as named: no rewriting part, no wildcard.
  EXPECT_TRUE(ExactFolderUsable(L"Z:\\\xC790\xB8CC\\dir."));
  EXPECT_TRUE(ExactFolderUsable(L"\\\\server\\share"));
  EXPECT_FALSE(ExactFolderUsable(L"Z:\\a\\..\\b"));
  EXPECT_FALSE(ExactFolderUsable(L"Z:\\a\\.\\b"));
  EXPECT_FALSE(ExactFolderUsable(L"Z:\\a?b"));
  EXPECT_FALSE(ExactFolderUsable(L"Z:\\a:stream"));
  EXPECT_FALSE(ExactFolderUsable(L"a\\b"));
}

TEST(FileDigest, DigestsWholeFilesAndEmptyOnes) {
  TempTree dir("dig");
  dir.File("abc", "abc");
  dir.File("empty", "");
  FileDigest d;
  ASSERT_EQ(DigestFile(dir / L"abc", nullptr, &d), ReadOutcome::Done);
  EXPECT_EQ(d.size, 3u);
  const uint8_t abc[16] = {0x90, 0x01, 0x50, 0x98, 0x3c, 0xd2, 0x4f, 0xb0,
                           0xd6, 0x96, 0x3f, 0x7d, 0x28, 0xe1, 0x7f, 0x72};
  EXPECT_EQ(memcmp(d.md5, abc, 16), 0);
  ASSERT_EQ(DigestFile(dir / L"empty", nullptr, &d), ReadOutcome::Done);
  const uint8_t empty[16] = {0xd4, 0x1d, 0x8c, 0xd9, 0x8f, 0x00, 0xb2, 0x04,
                             0xe9, 0x80, 0x09, 0x98, 0xec, 0xf8, 0x42, 0x7e};
  EXPECT_EQ(memcmp(d.md5, empty, 16), 0);
}

TEST(FileDigest, MultiPieceFilesMatchAndPrefixDigestsDiffer) {
  TempTree dir("big");
  std::string big(3 * (1 << 20) + 12345, '\0');
  for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 7 + (i >> 13));
  dir.File("a", big);
  dir.File("b", big);
  big[big.size() - 1] ^= 1;
  dir.File("c", big);
  FileDigest a, b, c, prefix;
  ASSERT_EQ(DigestFile(dir / L"a", nullptr, &a), ReadOutcome::Done);
  ASSERT_EQ(DigestFile(dir / L"b", nullptr, &b), ReadOutcome::Done);
  ASSERT_EQ(DigestFile(dir / L"c", nullptr, &c), ReadOutcome::Done);
  ASSERT_EQ(DigestFile(dir / L"a", nullptr, &prefix, 4096), ReadOutcome::Done);
  EXPECT_EQ(memcmp(a.md5, b.md5, 16), 0);
  EXPECT_NE(memcmp(a.md5, c.md5, 16), 0);
  EXPECT_NE(memcmp(a.md5, prefix.md5, 16), 0);
  EXPECT_FALSE(a.identity == b.identity);
  EXPECT_TRUE(SameContent(dir / L"a", dir / L"b"));
  EXPECT_FALSE(SameContent(dir / L"a", dir / L"c"));
}

TEST(FileDigest, UnreadableFilesAndStopRequestsAreReported) {
  TempTree dir("fail");
  dir.File("held", "content");
  FileDigest d;
  EXPECT_EQ(DigestFile(dir / L"missing", nullptr, &d), ReadOutcome::Failed);
  EXPECT_EQ(DigestFile(WideFromText(dir.root()), nullptr, &d), ReadOutcome::Failed);  // a folder is no disk file
  // A writer holding the file open: reading with writers denied fails.
  HANDLE writer = CreateFileW((dir / L"held").c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(writer, INVALID_HANDLE_VALUE);
  EXPECT_EQ(DigestFile(dir / L"held", nullptr, &d), ReadOutcome::Failed);
  CloseHandle(writer);
  EXPECT_EQ(DigestFile(dir / L"held", nullptr, &d), ReadOutcome::Done);
  std::atomic<bool> stop{true};
  EXPECT_EQ(DigestFile(dir / L"held", &stop, &d), ReadOutcome::Stopped);
}

TEST(FileDigest, TheSameFileThroughAnotherPathHasTheSameIdentity) {
  TempTree dir("id");
  dir.Dir("sub");
  dir.File("sub\\f", "same bytes");
  dir.File("g", "same bytes");
  FileDigest direct, otherCase, other;
  ASSERT_EQ(DigestFile(dir / L"sub\\f", nullptr, &direct), ReadOutcome::Done);
  ASSERT_EQ(DigestFile(dir / L"SUB\\F", nullptr, &otherCase), ReadOutcome::Done);
  ASSERT_EQ(DigestFile(dir / L"g", nullptr, &other), ReadOutcome::Done);
  EXPECT_TRUE(direct.identity == otherCase.identity);
  EXPECT_FALSE(direct.identity == other.identity);
  if (dir.HardLink("hard", dir / "g")) {
    FileDigest hard;
    ASSERT_EQ(DigestFile(dir / L"hard", nullptr, &hard), ReadOutcome::Done);
    EXPECT_TRUE(hard.identity == other.identity);
  }
  FileIdentity a, b;
  ASSERT_TRUE(PathIdentity(dir / L"sub", &a));
  ASSERT_TRUE(PathIdentity(dir / L"Sub", &b));
  EXPECT_TRUE(a == b);
}

TEST(FileDigest, ComparingTheRestFindsCopiesAndLeavesReadingWhereItStood) {
  TempTree dir("cmp");
  // Sizes around the 1 MiB piece: shorter, exactly one piece, and longer.
  for (size_t size : {size_t{70000}, size_t{1} << 20, (size_t{1} << 20) + 300000}) {
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(i * 31 + (i >> 11));
    dir.File("a", bytes);
    dir.File("b", bytes);
    std::string tail = bytes;
    tail[size - 1] ^= 0x40;
    dir.File("c", tail);
    dir.File("short", bytes.substr(0, size - 1));

    FileReader copy;
    uint8_t head[16];
    ASSERT_TRUE(copy.Open(dir / L"b"));
    ASSERT_EQ(copy.ReadHead(16384, nullptr, head), ReadOutcome::Done);
    EXPECT_EQ(copy.CompareRest(dir / L"a", nullptr), FileReader::Compare::Equal) << size;
    EXPECT_TRUE(copy.complete());

    // A differing last byte, and another size: reading goes on from the
    // head and gives the file's own digest.
    for (const char* other : {"c", "short"}) {
      FileReader reader;
      ASSERT_TRUE(reader.Open(dir / L"a"));
      ASSERT_EQ(reader.ReadHead(16384, nullptr, head), ReadOutcome::Done);
      EXPECT_EQ(reader.CompareRest(dir / WideFromText(other), nullptr), FileReader::Compare::Differs) << size << other;
      uint8_t whole[16];
      ASSERT_EQ(reader.ReadRest(nullptr, whole), ReadOutcome::Done);
      FileDigest expected;
      ASSERT_EQ(DigestFile(dir / L"a", nullptr, &expected), ReadOutcome::Done);
      EXPECT_EQ(memcmp(whole, expected.md5, 16), 0) << size << other;
    }
    FileReader gone;
    ASSERT_TRUE(gone.Open(dir / L"b"));
    ASSERT_EQ(gone.ReadHead(16384, nullptr, head), ReadOutcome::Done);
    EXPECT_EQ(gone.CompareRest(dir / L"missing", nullptr), FileReader::Compare::Differs);
    std::atomic<bool> stop{true};
    EXPECT_EQ(gone.CompareRest(dir / L"a", &stop), FileReader::Compare::Stopped);
  }
}

TEST(FileDigest, AFileThatNoLongerHasItsListedSizeFailsItsRead) {
  TempTree dir("listed");
  for (size_t size : {size_t{10}, size_t{20000}, (size_t{1} << 20) + 5}) {
    dir.File("f", std::string(size, 'z'));
    for (uint64_t listed : {uint64_t{size} - 1, uint64_t{size} + 1, uint64_t{size}}) {
      FileReader reader;
      ASSERT_TRUE(reader.Open(dir / L"f", listed));
      uint8_t md5[16];
      EXPECT_EQ(reader.ReadRest(nullptr, md5), listed == size ? ReadOutcome::Done : ReadOutcome::Failed)
          << size << " listed as " << listed;
    }
  }
  FileReader folder;
  EXPECT_FALSE(folder.Open(WideFromText(dir.root()), 0)) << "a folder is no disk file";
}

TEST(FileDigest, IdentitySetTakesEachObjectOnceWhateverItsIndex) {
  TempTree dir("set");
  dir.Dir("sub");
  dir.File("sub\\f", "one");
  dir.File("g", "two");
  const std::vector<std::wstring> paths = {dir / L"sub\\f", dir / L"SUB\\F", dir / L"g",
                                           dir / L"sub", dir / L"Sub", dir / L"missing"};
  auto pathOf = [&](uint32_t k) { return paths[k]; };
  std::vector<HANDLE> h;
  for (int k = 0; k < 3; ++k) {
    h.push_back(CreateFileW(paths[k].c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_NE(h.back(), INVALID_HANDLE_VALUE);
  }
  {
    IdentitySet set(pathOf);
    EXPECT_TRUE(set.Insert(h[0], QuickIndex(h[0]), 0));
    EXPECT_FALSE(set.Insert(h[1], QuickIndex(h[1]), 1)) << "the same file through another path";
    EXPECT_TRUE(set.Insert(h[2], QuickIndex(h[2]), 2));
  }
  {
    // Equal indexes as on two volumes: the full identities decide, the
    // first object looked up again through its path.
    IdentitySet set(pathOf);
    EXPECT_TRUE(set.Insert(h[0], 42, 0));
    EXPECT_TRUE(set.Insert(h[2], 42, 2));
    EXPECT_FALSE(set.Insert(h[1], 42, 1));
    EXPECT_FALSE(set.Insert(h[2], 42, 2));
  }
  {
    IdentitySet set(pathOf);
    EXPECT_TRUE(set.InsertPath(3));
    EXPECT_FALSE(set.InsertPath(4));
    EXPECT_TRUE(set.InsertPath(5));
    EXPECT_FALSE(set.InsertPath(5));
  }
  for (HANDLE x : h) CloseHandle(x);
}

TEST(PathStore, PathsComeBackExactAndShownInTheOrderAdded) {
  PathStore store;
  std::vector<std::wstring> exact;
  std::vector<std::string> shown;
  // Folders repeat, names cross block ends (at odd bytes too, for UTF-16
  // names), one name is larger than a block, and names and folders are
  // plain, in code page 936, or beyond it (Korean, a character outside the
  // basic plane, a letter with a look-alike).
  const std::wstring names[] = {L"file", L"\x4E2D\x6587", L"\xD55C\xAE00", L"x\xD83D\xDE00", L"Stra\x00DF" L"e"};
  const std::string texts[] = {"file", "\xD6\xD0\xCE\xC4", "??", "x?", "Stra?e"};
  const std::wstring folders[] = {L"C:\\d\\", L"C:\\\xC790\xB8CC\\", L"C:\\\x6DFA\\"};
  const std::string folderTexts[] = {"C:\\d\\", "C:\\??\\", "C:\\\x9C\x5C\\"};
  for (int i = 0; i < 20000; ++i) {
    const int f = i / 7 % 3, n = i % 5;
    const std::wstring name = names[n] + std::to_wstring(i) + std::wstring(static_cast<size_t>(i % 50), L'n');
    EXPECT_EQ(store.Add(folders[f], name), static_cast<uint32_t>(i));
    exact.push_back(folders[f] + name);
    shown.push_back(folderTexts[f] + texts[n] + std::to_string(i) + std::string(static_cast<size_t>(i % 50), 'n'));
  }
  const std::wstring huge(300 * 1024, L'\xAC00');
  EXPECT_EQ(store.Add(L"D:\\", huge), 20000u);
  exact.push_back(L"D:\\" + huge);
  shown.push_back("D:\\" + std::string(huge.size(), '?'));
  EXPECT_EQ(store.Add(L"D:\\", L""), 20001u);
  exact.push_back(L"D:\\");
  shown.push_back("D:\\");
  ASSERT_EQ(store.Count(), exact.size());
  for (uint32_t i = 0; i < store.Count(); ++i) {
    ASSERT_EQ(store.Exact(i), exact[i]) << i;
    ASSERT_EQ(store.Text(i), shown[i]) << i;
  }
}

TEST(GroupIndex, RootsKeepTheirPlaceWhileEarlierGroupsGrow) {
  // a1, b1, a2, b2, a3, b3: the a-group gains a3 after b's root exists, so
  // b's root moves from tree index 2 to 3 while its creation index stays 2.
  enum : uint32_t { a1 = 10, b1, a2, b2, a3, b3 };
  GroupIndex g;
  EXPECT_EQ(g.Add(D(1), a1).kind, GroupIndex::Kind::FirstOfDigest);
  EXPECT_EQ(g.Add(D(2), b1).kind, GroupIndex::Kind::FirstOfDigest);
  auto stepA2 = g.Add(D(1), a2);
  EXPECT_EQ(stepA2.kind, GroupIndex::Kind::NewGroup);
  EXPECT_EQ(stepA2.first, uint32_t{a1});
  EXPECT_EQ(stepA2.rootIndex, 0u);
  EXPECT_EQ(stepA2.childIndex, 1u);
  auto stepB2 = g.Add(D(2), b2);
  EXPECT_EQ(stepB2.kind, GroupIndex::Kind::NewGroup);
  EXPECT_EQ(stepB2.first, uint32_t{b1});
  EXPECT_EQ(stepB2.rootIndex, 2u);
  auto stepA3 = g.Add(D(1), a3);
  EXPECT_EQ(stepA3.kind, GroupIndex::Kind::JoinGroup);
  EXPECT_EQ(stepA3.rootIndex, 0u);
  EXPECT_EQ(stepA3.childIndex, 2u);
  auto stepB3 = g.Add(D(2), b3);
  EXPECT_EQ(stepB3.kind, GroupIndex::Kind::JoinGroup);
  EXPECT_EQ(stepB3.rootIndex, 3u);
  EXPECT_EQ(stepB3.childIndex, 5u);
  EXPECT_EQ(g.CreationIndex(1), 2u);
  EXPECT_EQ(g.GroupCount(), 2u);
  EXPECT_EQ(g.TreeItemCount(), 6u);
  EXPECT_EQ(g.RowCount(), 2u);
}

TEST(GroupIndex, RootIndexesStayRightOverManyGroups) {
  // Compare the Fenwick positions with a plain recount after random growth.
  GroupIndex g;
  std::vector<uint32_t> sizes;
  uint32_t seed = 12345;
  for (int i = 0; i < 3000; ++i) {
    seed = seed * 1103515245u + 12345u;
    uint8_t digest = static_cast<uint8_t>((seed >> 16) % 200);
    Digest d{};
    d[0] = digest;
    d[1] = static_cast<uint8_t>(digest * 3);
    auto step = g.Add(d, static_cast<uint32_t>(i));
    if (step.kind == GroupIndex::Kind::NewGroup) sizes.push_back(2);
    if (step.kind == GroupIndex::Kind::JoinGroup) ++sizes[step.group];
  }
  uint32_t pos = 0;
  for (uint32_t k = 0; k < sizes.size(); ++k) {
    ASSERT_EQ(g.RootIndex(k), pos) << "group " << k;
    pos += sizes[k];
  }
  EXPECT_EQ(g.TreeItemCount(), pos);
}
