#include "runtime/values.h"

#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>

using namespace ts;

TEST(Values, EmptyTextAndByteSetAreNull) {
  EXPECT_EQ(MakeText(""), nullptr);
  EXPECT_EQ(MakeText(nullptr), nullptr);
  EXPECT_EQ(TextLength(nullptr), 0u);
  EXPECT_EQ(MakeByteSet("x", 0), nullptr);
  Free(nullptr);
}

TEST(Values, ByteSetOfThreeBytesIsAnElevenByteBlock) {
  uint8_t* b = MakeByteSet("abc", 3);
  uint32_t head[2];
  std::memcpy(head, b, 8);
  EXPECT_EQ(head[0], 1u);
  EXPECT_EQ(head[1], 3u);
  EXPECT_EQ(std::memcmp(b + 8, "abc", 3), 0);
  EXPECT_EQ(ByteSetLength(b), 3u);
  Free(b);
}

TEST(Values, AppendingToATwoByThreeArrayFlattensToSeven) {
  uint32_t* a = static_cast<uint32_t*>(Alloc(4 * 3 + 6 * 4));
  a[0] = 2;
  a[1] = 2;
  a[2] = 3;
  for (int i = 0; i < 6; ++i) a[3 + i] = 10 + i;
  void* arr = a;
  int32_t seven = 99;
  ArrayAppend(&arr, &seven, 4);
  EXPECT_EQ(ArrayDimensions(arr), 1u);
  ASSERT_EQ(ArrayCount(arr), 7u);
  auto* e = reinterpret_cast<int32_t*>(ArrayElements(arr));
  for (int i = 0; i < 6; ++i) EXPECT_EQ(e[i], 10 + i);
  EXPECT_EQ(e[6], 99);
  Free(arr);
}

TEST(Values, SeveralIndexesAddressAMemberByItsDimensionsFirstOutermost) {
  uint32_t a[3 + 6] = {2, 2, 3, 10, 11, 12, 13, 14, 15};
  auto at = [&](std::initializer_list<int32_t> indexes) {
    return *static_cast<int32_t*>(ArrayMember(a, indexes.begin(), static_cast<uint32_t>(indexes.size()), 4));
  };
  EXPECT_EQ(at({1, 3}), 12);
  EXPECT_EQ(at({2, 1}), 13);
  EXPECT_EQ(at({5}), 14);  // one index counts through all members
}

TEST(Values, ConstantBlockPointersAreNotFreedAndCopyOutOnResize) {
  static const char block[16] = "constant-block!";
  SetConstantBlock(block, sizeof block);
  Free(const_cast<char*>(block + 3));  // ignored
  char* copy = static_cast<char*>(Realloc(const_cast<char*>(block + 10), 32));
  EXPECT_NE(copy, block + 10);
  EXPECT_EQ(std::memcmp(copy, "lock!", 6), 0);  // 6 bytes up to the block's end
  Free(copy);
  SetConstantBlock(nullptr, 0);
}
