// The application's own text routines: elapsed time, the file-type pattern
// and the path handed to Explorer.
#include <gtest/gtest.h>

#include "app/actions.h"
#include "app/folders.h"
#include "app/scan_ui.h"

using namespace ts::app;

TEST(FormatElapsed, ZeroPartsAreLeftOut) {
  EXPECT_EQ(FormatElapsed(0.4), "");
  EXPECT_EQ(FormatElapsed(120), "2 分钟 ");
  EXPECT_EQ(FormatElapsed(3725), "1 小时 2 分钟 5 秒");
  EXPECT_EQ(FormatElapsed(86400 + 59.9), "1 天 59 秒");
}

TEST(TextBetween, TakesThePatternListOfAFileTypeChoice) {
  EXPECT_EQ(TextBetween("所有文件(*.*)", "(", ")"), "*.*");
  EXPECT_EQ(TextBetween("应用程序(*.exe;*.com)", "(", ")"), "*.exe;*.com");
  EXPECT_EQ(TextBetween("视频文件(*.wmv;*.mp4;*.avi;*.rmvb;*.rm;*.flv)", "(", ")"),
            "*.wmv;*.mp4;*.avi;*.rmvb;*.rm;*.flv");
  EXPECT_EQ(TextBetween("no brackets", "(", ")"), "");
  EXPECT_EQ(TextBetween("empty()", "(", ")"), "");
  EXPECT_EQ(TextBetween("only(open", "(", ")"), "");
  EXPECT_EQ(TextBetween("say \"hi\" now", "#引号", "#引号"), "hi");
  EXPECT_EQ(TextBetween("aXbxc", "x", "c"), "bx");      // case-insensitive by default
  EXPECT_EQ(TextBetween("aXbxc", "x", "c", 0, true), "");  // case-sensitive: "x" right before c
}

TEST(ExplorerPath, DoubledBackslashesAreMadeSingleButANetworkPathKeepsItsLead) {
  EXPECT_EQ(ExplorerPath(L"C:\\\\data\\\\f.txt"), L"C:\\data\\f.txt");
  EXPECT_EQ(ExplorerPath(L"\\\\server\\share\\\\f"), L"\\\\server\\share\\f");
  EXPECT_EQ(ExplorerPath(L"C:\\plain\\\\\\f"), L"C:\\plain\\\\f");  // pair by pair, as a text replacement
  EXPECT_EQ(ExplorerPath(L"C:\\plain\\f"), L"C:\\plain\\f");
}
