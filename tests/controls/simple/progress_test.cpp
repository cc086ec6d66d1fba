// Progress bar: range order, clamping into the range, and the kept value.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include "controls/simple/simple_controls.h"
#include "tests/support/stage.h"

using namespace ts::test;

namespace {

constexpr int32_t kMinimum = 3, kMaximum = 4, kPosition = 5;

Bytes BarRecord(int32_t minimum, int32_t maximum, int32_t position) {
  ts::forms::ProgressBarProps p;
  p.minimum = minimum;
  p.maximum = maximum;
  p.position = position;
  return ts::forms::WriteRecord(p);
}

int32_t ShownPosition(HWND bar) { return static_cast<int32_t>(::SendMessageA(bar, PBM_GETPOS, 0, 0)); }

}  // namespace

TEST(ProgressBar, PositionAboveTheRangeShowsFullAndReadsAsWritten) {
  Stage stage;
  Control bar = stage.Create(ts::controls::ProgressBarInterface, 1, BarRecord(0, 100, 0), {10, 10, 250, 32});
  ASSERT_NE(bar.unit, nullptr);
  EXPECT_EQ(bar.SetInt(kPosition, 150), 0);
  EXPECT_EQ(ShownPosition(bar.hwnd()), 100);
  EXPECT_EQ(bar.GetInt(kPosition), 150);
  // Widening the range later shows the kept value.
  bar.SetInt(kMaximum, 200);
  EXPECT_EQ(ShownPosition(bar.hwnd()), 150);
}

TEST(ProgressBar, BoundsInReverseOrderGiveThePlatformTheSmallerAsLow) {
  Stage stage;
  Control bar = stage.Create(ts::controls::ProgressBarInterface, 1, BarRecord(100, 0, 50), {10, 10, 250, 32});
  ASSERT_NE(bar.unit, nullptr);
  PBRANGE range{};
  ::SendMessageA(bar.hwnd(), PBM_GETRANGE, 0, reinterpret_cast<LPARAM>(&range));
  EXPECT_EQ(range.iLow, 0);
  EXPECT_EQ(range.iHigh, 100);
  EXPECT_EQ(ShownPosition(bar.hwnd()), 50);
  EXPECT_EQ(bar.GetInt(kMinimum), 100);
  EXPECT_EQ(bar.GetInt(kMaximum), 0);
  // Position below the range shows the low end.
  bar.SetInt(kMinimum, 30);
  bar.SetInt(kMaximum, 60);
  bar.SetInt(kPosition, 5);
  EXPECT_EQ(ShownPosition(bar.hwnd()), 30);
  EXPECT_EQ(bar.GetInt(kPosition), 5);
}

TEST(ProgressBar, ValuesAreKeptWithin0To32767) {
  Stage stage;
  Control bar = stage.Create(ts::controls::ProgressBarInterface, 1, BarRecord(-20, 50000, 70000), {10, 10, 250, 32});
  ASSERT_NE(bar.unit, nullptr);
  EXPECT_EQ(bar.GetInt(kMinimum), 0);
  EXPECT_EQ(bar.GetInt(kMaximum), 32767);
  EXPECT_EQ(bar.GetInt(kPosition), 32767);
  bar.SetInt(kPosition, -9);
  EXPECT_EQ(bar.GetInt(kPosition), 0);
}

TEST(ProgressBar, OrientationChangesAskForRecreationAndTheRecordCarriesThem) {
  Stage stage;
  Control bar = stage.Create(ts::controls::ProgressBarInterface, 1, BarRecord(0, 100, 40), {10, 10, 250, 32});
  ASSERT_NE(bar.unit, nullptr);
  EXPECT_EQ(bar.SetInt(1, 1), 1);  // Vertical
  EXPECT_EQ(bar.SetInt(2, 1), 1);  // Smooth
  auto rec = bar.Record<ts::forms::ProgressBarProps>();
  EXPECT_EQ(rec.vertical, 1u);
  EXPECT_EQ(rec.smooth, 1u);
  EXPECT_EQ(rec.position, 40);
}

TEST(ProgressBar, RecordAboveItsVersionIsRefused) {
  Stage stage;
  Bytes record = BarRecord(0, 100, 0);
  record[0] = 2;  // version 2 is above the highest this type reads
  Control bar = stage.Create(ts::controls::ProgressBarInterface, 1, record, {10, 10, 250, 32});
  EXPECT_EQ(bar.unit, nullptr);
}
