// The plain rules of hyperlinks and progress bars.
#include <gtest/gtest.h>

#include "controls/simple/link_logic.h"

using namespace ts::controls;

TEST(LinkTarget, MailLinkOpensMailtoFollowedByTheAddressAndNothingWhenEmpty) {
  EXPECT_EQ(LinkTarget(kMailLink, "kestrow@example.com", "http://x"), "mailto:kestrow@example.com");
  EXPECT_EQ(LinkTarget(kMailLink, "", "http://x"), "");
  EXPECT_EQ(LinkTarget(kWebLink, "a@b", "http://example.com/"), "http://example.com/");
  EXPECT_EQ(LinkTarget(kWebLink, "a@b", ""), "");
}

TEST(LinkTarget, DisplayTextIsCaptionElseTarget) {
  EXPECT_EQ(LinkDisplayText("联系我", "mailto:a@b"), "联系我");
  EXPECT_EQ(LinkDisplayText("", "http://example.com/"), "http://example.com/");
}

TEST(BrowserCommandLine, CutsAtQuotedPlaceholderWithItsQuotes) {
  EXPECT_EQ(BrowserCommandLine("\"C:\\b\\browser.exe\" -nohome \"%1\" -x", "http://e.com/"),
            "\"C:\\b\\browser.exe\" -nohome http://e.com/");
}

TEST(BrowserCommandLine, CutsAtBarePlaceholderWhenNoneIsQuoted) {
  EXPECT_EQ(BrowserCommandLine("C:\\b\\browser.exe %1", "http://e.com/"), "C:\\b\\browser.exe http://e.com/");
  // A quoted placeholder anywhere wins over an earlier bare one.
  EXPECT_EQ(BrowserCommandLine("b.exe %1 \"%1\"", "t"), "b.exe %1 t");
}

TEST(BrowserCommandLine, KeepsACommandWithoutPlaceholderWhole) {
  EXPECT_EQ(BrowserCommandLine("C:\\b\\browser.exe", "http://e.com/"), "C:\\b\\browser.exe http://e.com/");
  EXPECT_EQ(BrowserCommandLine("\"C:\\Program Files\\b.exe\"", "t"), "\"C:\\Program Files\\b.exe\" t");
}

TEST(BrowserCommandLine, QuotesTargetsWithBlanksAndRefusesAnEmptyCommand) {
  EXPECT_EQ(BrowserCommandLine("b.exe \"%1\"", "file:///C:/a b.htm"), "b.exe \"file:///C:/a b.htm\"");
  EXPECT_EQ(BrowserCommandLine("", "http://e.com/"), "");
  EXPECT_EQ(BrowserCommandLine("\"%1\"", "http://e.com/"), "");
}

TEST(ProgressRules, RangeInEitherOrderAndPositionClampedIntoIt) {
  ProgressRange r = OrderedRange(100, 0);
  EXPECT_EQ(r.low, 0);
  EXPECT_EQ(r.high, 100);
  EXPECT_EQ(PositionInRange(150, r), 100);
  EXPECT_EQ(PositionInRange(-3, OrderedRange(10, 20)), 10);
  EXPECT_EQ(PositionInRange(15, OrderedRange(20, 10)), 15);
  EXPECT_EQ(ClampProgressValue(-1), 0);
  EXPECT_EQ(ClampProgressValue(40000), 32767);
  EXPECT_EQ(ClampProgressValue(32767), 32767);
}
