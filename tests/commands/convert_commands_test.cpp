// Conversions, rounding down, bitwise and, bytes of values, dates and
// time differences.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

#include "runtime/commands/commands.h"
#include "runtime/commands/datetime.h"
#include "tests/support/args.h"

using namespace ts::test;

namespace {

int32_t ToInt(ts::ArgRecord a) { return Call(ts::ToInteger, {a}).v.i32; }
int64_t ToLong(ts::ArgRecord a) { return Call(ts::ToLongInteger, {a}).v.i64; }
int32_t Floor(double x) { return Call(ts::FloorToInteger, {Double(x)}).v.i32; }
std::string AsText(ts::ArgRecord a) { return TakeText(Call(ts::ToText, {a})); }
std::string AsBytes(ts::ArgRecord a) { return TakeBytes(Call(ts::ToBytes, {a})); }

TEST(ToInteger, ConvertsEachTypeByItsOwnRule) {
  EXPECT_EQ(ToInt(Of(ts::tag::Byte, 0xFFFFFFFF)), 255);
  EXPECT_EQ(ToInt(Of(ts::tag::Short, 0xFFFF)), -1);
  EXPECT_EQ(ToInt(Long(0x1234567800000005LL)), 5);
  EXPECT_EQ(ToInt(Double(-2.7)), -2);
  EXPECT_EQ(ToInt(Double(2.7)), 2);
  EXPECT_EQ(ToInt(Bool(true)), 1);
  EXPECT_EQ(ToInt(Date(45000.5)), 0);  // not a number type
  // Out of range or NaN: a fixed answer instead of undefined behaviour.
  EXPECT_EQ(ToInt(Double(1e20)), INT32_MIN);
  EXPECT_EQ(ToInt(Double(std::nan(""))), INT32_MIN);
}

TEST(ToInteger, ParsesTextWithFullWidthFormsAndWraps) {
  EXPECT_EQ(ToInt(Text("\xA3\xB1\xA3\xB2")), 12);            // full-width 1 2
  EXPECT_EQ(ToInt(Text("\xA1\xA1\xA3\xAD\xA3\xB7")), -7);    // ideographic space, full-width minus
  EXPECT_EQ(ToInt(Text("  +42abc")), 42);
  EXPECT_EQ(ToInt(Text("-")), 0);
  EXPECT_EQ(ToInt(Text("abc")), 0);
  EXPECT_EQ(ToInt(Text("4294967297")), 1);  // 2^32 + 1 keeps its low 32 bits
  EXPECT_EQ(ToInt(Text("\xB0\xA1" "5")), 0);  // a leading character stops the digits
  EXPECT_EQ(ToLong(Text("9223372036854775807")), INT64_MAX);
  EXPECT_EQ(ToLong(Text("9223372036854775808")), INT64_MIN);  // wraps
  EXPECT_EQ(ToLong(Text("\xA3\xB1\xA3\xB0\xA3\xB0\xA3\xB0\xA3\xB0\xA3\xB0\xA3\xB0\xA3\xB0\xA3\xB0\xA3\xB0\xA3\xB0")),
            10000000000LL);
}

TEST(ToLongInteger, ExtendsBySignOrZero) {
  EXPECT_EQ(ToLong(Int(-1)), -1);
  EXPECT_EQ(ToLong(Of(ts::tag::SubPtr, 0xFFFFFFFF)), 0xFFFFFFFFLL);
  EXPECT_EQ(ToLong(Double(-1e10)), -10000000000LL);
}

TEST(FloorToInteger, RoundsDownAfterTheToleranceStep) {
  EXPECT_EQ(Floor(-0.5), -1);
  EXPECT_EQ(Floor(2.5), 2);
  EXPECT_EQ(Floor(-2.5), -3);
  EXPECT_EQ(Floor(2.9999999999995), 3);
  EXPECT_EQ(Floor(-2.9999999999995), -3);
  EXPECT_EQ(Floor(2.999999), 2);
  // The direction comes from the sign of x, not of its integer part -0.
  EXPECT_EQ(Floor(-0.9999999999995), -1);
  EXPECT_EQ(Floor(0.9999999999995), 1);
  EXPECT_EQ(Call(ts::FloorToInteger, {Int(-4)}).v.i32, -4);
}

TEST(BitAnd, AndsAllArgumentsAndReturnsASingleOneUnchanged) {
  EXPECT_EQ(Call(ts::BitAnd, {Int(0xFF), Int(0x0F), Int(0x3C)}).v.i32, 0x0C);
  EXPECT_EQ(Call(ts::BitAnd, {Int(-5)}).v.i32, -5);
  EXPECT_EQ(Call(ts::BitAnd, {Int(16), Int(0x10)}).v.i32, 16);
}

TEST(ToText, FormatsNumbersBoolsAndByteSets) {
  EXPECT_EQ(AsText(Int(-12)), "-12");
  EXPECT_EQ(AsText(Of(ts::tag::Byte, 200)), "200");
  EXPECT_EQ(AsText(Long(-9000000000LL)), "-9000000000");
  EXPECT_EQ(AsText(Double(0.1)), "0.1");
  EXPECT_EQ(AsText(Double(1.0 / 3)), "0.3333333333333");
  ts::ArgRecord f{};
  f.v.f32 = 1.0f / 3;
  f.type = ts::tag::Float;
  EXPECT_EQ(AsText(f), "0.333333");
  EXPECT_EQ(AsText(Bool(true)), "真");
  EXPECT_EQ(AsText(Bool(false)), "假");
  EXPECT_EQ(AsText(Text("abc")), "abc");
  uint8_t* set = ts::MakeByteSet("ab\0cd", 5);
  EXPECT_EQ(AsText(Pointer(ts::tag::Bytes, set)), "ab");
  ts::Free(set);
  EXPECT_TRUE(IsNull(Call(ts::ToText, {Of(ts::tag::SubPtr, 0x401000)})));
}

TEST(ToText, WritesDatesDownToTheLastNonZeroPart) {
  EXPECT_EQ(AsText(Date(ts::MakeDate(2015, 11, 9, 8, 5, 0))), "2015年11月9日8时5分");
  EXPECT_EQ(AsText(Date(ts::MakeDate(2015, 11, 9, 0, 0, 0))), "2015年11月9日");
  EXPECT_EQ(AsText(Date(ts::MakeDate(2015, 11, 9, 0, 0, 7))), "2015年11月9日0时0分7秒");
  EXPECT_EQ(AsText(Date(ts::MakeDate(2015, 11, 9, 23, 0, 0))), "2015年11月9日23时");
  EXPECT_EQ(AsText(Date(1e12)), "9999年12月31日");  // clamped
}

TEST(DateValues, SplitAndMakeAgreeAcrossTheEpoch) {
  const ts::DateParts p = ts::SplitDate(-1.25);  // the day before the epoch, 06:00
  EXPECT_EQ(p.year, 1899);
  EXPECT_EQ(p.month, 12);
  EXPECT_EQ(p.day, 29);
  EXPECT_EQ(p.hour, 6);
  EXPECT_DOUBLE_EQ(ts::MakeDate(1899, 12, 29, 6, 0, 0), -1.25);
  EXPECT_DOUBLE_EQ(ts::MakeDate(1900, 1, 1, 0, 0, 0), 2.0);
  EXPECT_EQ(ts::SplitDate(ts::MakeDate(2015, 11, 9, 0, 0, 0)).weekday, 2);  // a Monday
  EXPECT_EQ(ts::SplitDate(ts::MakeDate(2000, 2, 29, 12, 0, 0)).day, 29);
  // 23:59:59.9 rounds into the next day, month and year.
  const ts::DateParts q = ts::SplitDate(ts::MakeDate(1999, 12, 31, 0, 0, 0) + 86399.9 / 86400);
  EXPECT_EQ(q.year, 2000);
  EXPECT_EQ(q.day, 1);
  EXPECT_EQ(q.hour, 0);
}

TEST(ToBytes, GivesTheBytesOfTextsNumbersAndArrays) {
  EXPECT_EQ(AsBytes(Text("abc")), "abc");
  EXPECT_TRUE(IsNull(Call(ts::ToBytes, {Text("")})));
  EXPECT_EQ(AsBytes(Int(0x64636261)), "abcd");
  EXPECT_EQ(AsBytes(Of(ts::tag::Short, 0x4142)), "BA");
  EXPECT_EQ(AsBytes(Double(1.0)).size(), 8u);
  uint32_t array[5] = {1, 3, 0x41414141, 0x42424242, 0x43434343};
  EXPECT_EQ(AsBytes(Pointer(ts::tag::Int | ts::tag::ArrayBit, array)), "AAAABBBBCCCC");
  uint8_t* set = ts::MakeByteSet("x\0y", 3);
  EXPECT_EQ(AsBytes(Pointer(ts::tag::Bytes, set)), std::string("x\0y", 3));
  ts::Free(set);
}

double Diff(double t1, double t2, int unit) {
  return Call(ts::TimeDifference, {Date(t1), Date(t2), Int(unit)}).v.f64;
}

TEST(TimeDifference, CountsEachUnit) {
  const double a = ts::MakeDate(2015, 11, 9, 8, 5, 0);
  const double b = ts::MakeDate(2015, 11, 9, 8, 6, 0);
  EXPECT_EQ(Diff(b, a, 8), 60);
  // Negative differences count whole units just as positive ones do.
  EXPECT_EQ(Diff(a, b, 8), -60);
  EXPECT_EQ(Diff(a, b, 7), -1);
  EXPECT_EQ(Diff(b, a, 7), 1);
  EXPECT_EQ(Diff(a, a, 8), 0);
  const double c = ts::MakeDate(2017, 2, 1, 0, 0, 0);
  EXPECT_EQ(Diff(c, a, 1), 2);
  EXPECT_EQ(Diff(c, a, 2), 5);   // 2017 Q1 against 2015 Q4
  EXPECT_EQ(Diff(c, a, 3), 15);  // February 2017 against November 2015
  EXPECT_NEAR(Diff(b, a, 5), 1.0 / 1440, 1e-9);
  EXPECT_EQ(Diff(ts::MakeDate(2015, 11, 10, 6, 0, 0), a, 6), 21);
  // Clamped units: 0 counts years, 99 seconds.
  EXPECT_EQ(Diff(c, a, 0), 2);
  EXPECT_EQ(Diff(b, a, 99), 60);
}

TEST(TimeDifference, WeeksCountWeekdayOrder) {
  const double mon = ts::MakeDate(2015, 11, 9, 0, 0, 0);
  EXPECT_EQ(Diff(mon + 7, mon, 4), 1);
  EXPECT_EQ(Diff(mon + 5, mon, 4), 0);   // the Saturday of the same week
  // Weeks begin on Sunday: reaching one counts a week even before 7 days.
  EXPECT_EQ(Diff(mon + 6, mon, 4), 1);
  EXPECT_EQ(Diff(mon + 13, mon, 4), 2);
  EXPECT_EQ(Diff(mon, mon + 6, 4), -1);
  EXPECT_EQ(Diff(mon - 1, mon - 2, 4), 1);
  EXPECT_EQ(Diff(mon - 2, mon - 1, 4), -1);
}

TEST(TimeDifference, DatesBeyondTheRangeAreClamped) {
  EXPECT_EQ(Diff(1e9, ts::MakeDate(9999, 1, 1, 0, 0, 0), 1), 0);
  EXPECT_EQ(Diff(1e9, 2e9, 8), 0);  // both clamp to the same day
}

}  // namespace
