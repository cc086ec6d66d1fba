// The test support itself, where a fault would make other tests pass
// wrongly: shaped files that must differ in exactly one place, removal that
// must not follow links out of a tree, and waits that must not return
// before what they wait for has happened.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "tests/support/pump.h"
#include "tests/support/temp_tree.h"

namespace ts::test {
namespace {

// Offsets where two strings of one length differ.
std::vector<size_t> Differences(const std::string& a, const std::string& b) {
  std::vector<size_t> at;
  for (size_t i = 0; i < a.size() && i < b.size(); ++i) {
    if (a[i] != b[i]) at.push_back(i);
  }
  return at;
}

TEST(Body, TwoBodiesDifferingInOnePartDifferInThatPlaceOnly) {
  for (size_t size : kAroundHead) {
    const Body base{size, "P", "M", "S"};
    Body head = base, middle = base, tail = base;
    head.prefix = "p";
    middle.middle = "m";
    tail.suffix = "s";
    ASSERT_EQ(base.Bytes().size(), size);
    EXPECT_EQ(Differences(base.Bytes(), head.Bytes()), std::vector<size_t>{0}) << size;
    EXPECT_EQ(Differences(base.Bytes(), middle.Bytes()), std::vector<size_t>{(size - 1) / 2}) << size;
    EXPECT_EQ(Differences(base.Bytes(), tail.Bytes()), std::vector<size_t>{size - 1}) << size;
  }
}

TEST(TempTree, MakesNestedFilesAndRemovesThemReadOnlyOnesIncluded) {
  std::string root;
  {
    TempTree tree("tree");
    root = tree.root();
    const std::string file = tree.File("a\\b\\文件.txt", Body{5, "12", "", "45"});
    EXPECT_EQ(tree.Read("a\\b\\文件.txt"), "12.45");
    SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_READONLY);
    tree.Dir("empty\\inner");
    EXPECT_TRUE(tree.Exists("empty\\inner"));
  }
  EXPECT_FALSE(PathExists(root));
}

TEST(TempTree, NamesTheCodePageCannotSpellAreMadeAsNamedAndRemoved) {
  std::string root;
  {
    TempTree tree("exact");
    root = tree.root();
    const std::wstring folder = L"\xC790\xB8CC";  // Korean: no place in the code page
    const std::wstring dotted = tree.File(folder + L"\\t.", "dotted");
    tree.File(folder + L"\\\xD83D\xDE00", "emoji");
    EXPECT_EQ(ReadWhole(dotted), "dotted");
    EXPECT_FALSE(PathExists(tree / (folder + L"\\t"))) << "the name keeps its dot";
    EXPECT_EQ(ReadWhole(tree / (folder + L"\\\xD83D\xDE00")), "emoji");
  }
  EXPECT_FALSE(PathExists(root));
}

TEST(TempTree, RemovalTakesLinksAwayWithoutFollowingThem) {
  TempTree outside("outside");
  const std::string kept = outside.File("kept.txt", "kept");
  {
    TempTree tree("links");
    if (!tree.SymLink("folder", outside.root(), true)) GTEST_SKIP() << "no folder links here";
    ASSERT_EQ(ReadWhole(tree.Path("folder\\kept.txt")), "kept");
  }
  EXPECT_EQ(ReadWhole(kept), "kept");
}

// A window that posts itself a message `left` times over.
std::atomic<int> g_left{0};
LRESULT CALLBACK Chain(HWND hwnd, UINT message, WPARAM w, LPARAM l) {
  if (message == WM_APP && g_left > 0 && --g_left > 0) PostMessageA(hwnd, WM_APP, 0, 0);
  return DefWindowProcA(hwnd, message, w, l);
}

HWND ChainWindow() {
  static const ATOM kClass = [] {
    WNDCLASSA wc{};
    wc.lpfnWndProc = &Chain;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "TsChain";
    return RegisterClassA(&wc);
  }();
  return kClass ? CreateWindowExA(0, "TsChain", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr) : nullptr;
}

TEST(Flush, ReturnsOnlyAfterWhatPostedMessagesPostedInTurnWasHandled) {
  HWND w = ChainWindow();
  ASSERT_NE(w, nullptr);
  MessageRecorder recorded(w, {WM_APP, WM_USER});
  g_left = 5;
  PostMessageA(w, WM_APP, 0, 0);
  SendMessageA(w, WM_USER, 1, 2);
  ASSERT_TRUE(Flush());
  EXPECT_EQ(g_left, 0);
  // The sent message came at once, the posted chain after it.
  EXPECT_EQ(recorded.Kinds(), (std::vector<UINT>{WM_USER, WM_APP, WM_APP, WM_APP, WM_APP, WM_APP}));
  DestroyWindow(w);
}

TEST(QueuePassed, SeesAnotherThreadHandleEverythingPostedBefore) {
  HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  HWND w = nullptr;
  std::thread owner([&] {
    w = ChainWindow();
    SetEvent(ready);
    PumpUntil([&] { return !IsWindow(w); }, 10000);
  });
  WaitForSingleObject(ready, 5000);
  ASSERT_NE(w, nullptr);
  g_left = 3;
  PostMessageA(w, WM_APP, 0, 0);
  EXPECT_TRUE(QueuePassed(w));
  EXPECT_LE(g_left, 2) << "the first posted message was handled";
  PostMessageA(w, WM_CLOSE, 0, 0);
  owner.join();
  CloseHandle(ready);
}

}  // namespace
}  // namespace ts::test
