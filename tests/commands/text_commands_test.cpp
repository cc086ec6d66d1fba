// Text commands: clamping, searching that respects double-byte characters,
// replacing and splitting.
#include <gtest/gtest.h>

#include "runtime/commands/commands.h"
#include "tests/support/args.h"

using namespace ts::test;
using ts::ResultRecord;

namespace {

// "啊" (0xB0 0xA1) twice: the bytes A1 B0 occur across the two characters.
const char kTwoChars[] = "\xB0\xA1\xB0\xA1";
// A character whose trail byte is a backslash (0xD5 0x5C).
const char kTrailBackslash[] = "\xD5\x5C";

std::string Left(const char* t, int n) { return TakeText(Call(ts::TextLeft, {Text(t), Int(n)})); }
std::string Right(const char* t, int n) { return TakeText(Call(ts::TextRight, {Text(t), Int(n)})); }
std::string Middle(const char* t, int s, int n) {
  return TakeText(Call(ts::TextMiddle, {Text(t), Int(s), Int(n)}));
}
int32_t Find(std::vector<ts::ArgRecord> args) { return Call(ts::TextFind, std::move(args)).v.i32; }
std::string Replace(std::vector<ts::ArgRecord> args) { return TakeText(Call(ts::TextReplace, std::move(args))); }
std::vector<std::string> Split(std::vector<ts::ArgRecord> args) { return TakeTexts(Call(ts::TextSplit, std::move(args))); }
using Pieces = std::vector<std::string>;

TEST(TextCommands, LengthCountsBytesOfDoubleByteCharacters) {
  EXPECT_EQ(Call(ts::TextLength, {Text(kTwoChars)}).v.i32, 4);
  EXPECT_EQ(Call(ts::TextLength, {Text("")}).v.i32, 0);
}

TEST(TextCommands, LeftRightAndMiddleClampToTheText) {
  EXPECT_EQ(Left("abc", 2), "ab");
  EXPECT_EQ(Left("abc", 10), "abc");
  EXPECT_TRUE(IsNull(Call(ts::TextLeft, {Text("abc"), Int(0)})));
  EXPECT_TRUE(IsNull(Call(ts::TextLeft, {Text("abc"), Int(-3)})));
  EXPECT_EQ(Right("abc", 2), "bc");
  EXPECT_EQ(Right("abc", 10), "abc");
  EXPECT_TRUE(IsNull(Call(ts::TextRight, {Text("abc"), Int(-1)})));
  EXPECT_EQ(Middle("abcdef", 3, 10), "cdef");
  EXPECT_EQ(Middle("abcdef", 2, 3), "bcd");
  EXPECT_EQ(Middle("abcdef", 6, 1), "f");
  EXPECT_TRUE(IsNull(Call(ts::TextMiddle, {Text("abc"), Int(4), Int(1)})));
  EXPECT_TRUE(IsNull(Call(ts::TextMiddle, {Text("abc"), Int(0), Int(2)})));
  EXPECT_TRUE(IsNull(Call(ts::TextMiddle, {Text("abc"), Int(1), Int(0)})));
  // A count near the integer limit must not overflow into a negative slice.
  EXPECT_EQ(Middle("abc", 2, 0x7FFFFFFF), "bc");
}

TEST(TextCommands, FindStartsAtTheGivenPositionAndGivesMinusOneWhenAbsent) {
  EXPECT_EQ(Find({Text("abcabc"), Text("c"), Int(4)}), 6);
  EXPECT_EQ(Find({Text("abcabc"), Text("c")}), 3);
  EXPECT_EQ(Find({Text("abcabc"), Text("c"), Int(-5)}), 3);
  EXPECT_EQ(Find({Text("abcabc"), Text("c"), Int(7)}), -1);
  EXPECT_EQ(Find({Text("abc"), Text("abcd")}), -1);
  EXPECT_EQ(Find({Text("abc"), Text("x")}), -1);
}

TEST(TextCommands, FindWithAnEmptySubTextNeedsAByteLeftToSearch) {
  EXPECT_EQ(Find({Text("abc"), Text("")}), 1);
  EXPECT_EQ(Find({Text("abc"), Text(""), Int(3)}), 1);
  EXPECT_EQ(Find({Text("abc"), Text(""), Int(4)}), -1);
  EXPECT_EQ(Find({Text(""), Text("")}), -1);
}

TEST(TextCommands, FindNeverMatchesAtTheSecondByteOfACharacter) {
  EXPECT_EQ(Find({Text(kTwoChars), Text("\xA1\xB0")}), -1);
  EXPECT_EQ(Find({Text(kTwoChars), Text("\xB0\xA1"), Int(3)}), 3);
  // A backslash that is a trail byte is no backslash.
  std::string t = std::string(kTrailBackslash) + "x\\";
  EXPECT_EQ(Find({Text(t.c_str()), Text("\\")}), 4);
}

TEST(TextCommands, FindIgnoresCaseOfSingleByteLettersOnlyWhenAsked) {
  EXPECT_EQ(Find({Text("xABC"), Text("abc")}), -1);
  EXPECT_EQ(Find({Text("xABC"), Text("abc"), Omitted(), Bool(true)}), 2);
  // Case folding must not touch double-byte characters: 0xA3 0xC1 and
  // 0xA3 0xE1 are full-width A and a, different characters.
  EXPECT_EQ(Find({Text("\xA3\xC1"), Text("\xA3\xE1"), Omitted(), Bool(true)}), -1);
}

TEST(TextCommands, ReplaceTurnsDoubledBackslashesIntoSingleOnes) {
  EXPECT_EQ(Replace({Text("C:\\\\a\\\\b"), Text("\\\\"), Text("\\")}), "C:\\a\\b");
  // Three backslashes: the first pair is replaced, the third one stays.
  EXPECT_EQ(Replace({Text("a\\\\\\b"), Text("\\\\"), Text("\\")}), "a\\\\b");
}

TEST(TextCommands, ReplaceHonoursStartCountAndCase) {
  EXPECT_EQ(Replace({Text("aXaXa"), Text("x"), Text("-")}), "a-a-a");  // case ignored by default
  EXPECT_EQ(Replace({Text("aXaXa"), Text("x"), Text("-"), Omitted(), Omitted(), Bool(true)}), "aXaXa");
  EXPECT_EQ(Replace({Text("aaaa"), Text("a"), Text("b"), Int(2), Int(2)}), "abba");
  EXPECT_EQ(Replace({Text("aaaa"), Text("a"), Text("b"), Int(1), Int(0)}), "aaaa");
  EXPECT_EQ(Replace({Text("abc"), Text("b")}), "ac");  // new omitted: removed
  EXPECT_EQ(Replace({Text("abc"), Text("b"), Text("x"), Int(9)}), "abc");
  EXPECT_EQ(Replace({Text("abc"), Text(""), Text("x")}), "abc");
  EXPECT_TRUE(IsNull(Call(ts::TextReplace, {Text(""), Text("a"), Text("b")})));
}

TEST(TextCommands, ReplaceLeavesTrailBytesAlone) {
  std::string t = std::string(kTrailBackslash) + "\\";
  EXPECT_EQ(Replace({Text(t.c_str()), Text("\\"), Text("/")}), std::string(kTrailBackslash) + "/");
  EXPECT_EQ(Replace({Text(kTwoChars), Text("\xA1\xB0"), Text("x")}), kTwoChars);
}

TEST(TextCommands, SplitFollowsThePieceRules) {
  const ResultRecord empty = Call(ts::TextSplit, {Text(""), Text(";")});
  EXPECT_EQ(empty.type, ts::tag::Text | ts::tag::ArrayBit);
  ASSERT_NE(ts::SlotPointer(empty.v), nullptr);  // the empty array {1, 0}, not null
  EXPECT_EQ(ts::ArrayDimensions(ts::SlotPointer(empty.v)), 1u);
  EXPECT_EQ(TakeTexts(empty), Pieces{});
  EXPECT_EQ(Split({Text("*.*"), Text(";")}), Pieces{"*.*"});
  EXPECT_EQ(Split({Text("a;;b"), Text(";")}), (Pieces{"a", "", "b"}));
  EXPECT_EQ(Split({Text("a;b;"), Text(";")}), (Pieces{"a", "b"}));
  EXPECT_EQ(Split({Text(";a")}), (Pieces{";a"}));  // default separator ","
  EXPECT_EQ(Split({Text("a,b")}), (Pieces{"a", "b"}));
  EXPECT_EQ(Split({Text("a;b"), Text("")}), Pieces{"a;b"});
  EXPECT_EQ(Split({Text("a<>b<>c"), Text("<>")}), (Pieces{"a", "b", "c"}));
}

TEST(TextCommands, SplitStopsAtTheMaximum) {
  EXPECT_EQ(Split({Text("a;b;c"), Text(";"), Int(2)}), (Pieces{"a", "b"}));
  EXPECT_EQ(Split({Text("a;b;c"), Text(";"), Int(3)}), (Pieces{"a", "b", "c"}));
  EXPECT_EQ(Split({Text("a;b;c"), Text(";"), Int(0)}), Pieces{});
  EXPECT_EQ(Split({Text("a;b;c"), Text(";"), Int(-1)}), Pieces{});
  EXPECT_EQ(Split({Text("a;b;c"), Text(";"), Omitted()}), (Pieces{"a", "b", "c"}));
}

TEST(TextCommands, SplitDoesNotCutACharacterAtItsTrailByte) {
  std::string t = std::string(kTrailBackslash) + "a\\b";
  EXPECT_EQ(Split({Text(t.c_str()), Text("\\")}), (Pieces{std::string(kTrailBackslash) + "a", "b"}));
}

}  // namespace
