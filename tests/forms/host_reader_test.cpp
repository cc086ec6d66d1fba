// The bounded reader and writer under the form block.
#include <gtest/gtest.h>

#include "forms/byte_reader.h"

using namespace ts::forms;

TEST(ByteReader, NeverReadsPastItsRangeAndStaysFailed) {
  const uint8_t data[] = {1, 2, 3, 4, 5, 6};
  ByteReader r(data, 5);  // the sixth byte lies outside the range
  EXPECT_EQ(r.u32(), 0x04030201u);
  EXPECT_EQ(r.u16(), 0u);  // needs 2, only 1 left
  EXPECT_FALSE(r.ok());
  EXPECT_EQ(r.u8(), 0u);  // even a read that would fit now fails
  EXPECT_EQ(r.remaining(), 0u);
}

TEST(ByteReader, BlockLengthBeyondTheEndFailsWithoutAllocating) {
  ByteWriter w;
  w.u32(0xFFFFFFF0u);  // a length no range can hold
  w.u8(1);
  ByteReader r(w.bytes());
  EXPECT_TRUE(r.block().empty());
  EXPECT_FALSE(r.ok());
}

TEST(ByteReader, ZeroTextNeedsItsTerminator) {
  const uint8_t good[] = {'a', 'b', 0, 'c'};
  ByteReader r(good, sizeof good);
  EXPECT_EQ(r.zeroText(), "ab");
  EXPECT_EQ(r.pos(), 3u);
  EXPECT_EQ(r.zeroText(), "");
  EXPECT_FALSE(r.ok());
}

TEST(ByteReader, TextListTakesAU32CountAfter0xFFFF) {
  ByteWriter w;
  w.u16(0xFFFF);
  w.u32(2);
  w.countedText("one");
  w.countedText("");
  ByteReader r(w.bytes());
  auto list = r.textList();
  ASSERT_TRUE(r.atEnd());
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[0], "one");
  EXPECT_EQ(list[1], "");
}

TEST(ByteReader, TextListWithMoreEntriesThanBytesFails) {
  ByteWriter w;
  w.u16(0xFFFF);
  w.u32(100000000);
  w.countedText("x");
  ByteReader r(w.bytes());
  EXPECT_TRUE(r.textList().empty());
  EXPECT_FALSE(r.ok());
}

TEST(ByteWriter, LongTextListsSwitchToTheWideCount) {
  std::vector<std::string> many(0xFFFF, "");
  ByteWriter w;
  w.textList(many);
  ASSERT_EQ(w.size(), 2u + 4u + 4u * 0xFFFF);
  ByteReader r(w.bytes());
  EXPECT_EQ(r.textList().size(), 0xFFFFu);
  EXPECT_TRUE(r.atEnd());

  ByteWriter small;
  small.textList(std::vector<std::string>(0xFFFE, ""));
  EXPECT_EQ(small.bytes()[0], 0xFE);
  EXPECT_EQ(small.bytes()[1], 0xFF);
}
