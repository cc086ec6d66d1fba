// Date-time values: a double counting days since 1899-12-30 00:00, the
// fraction being the time of day (for negative values the integer part is
// the day and the magnitude of the fraction the time, so -1.25 is
// 1899-12-29 06:00).
#pragma once

#include <cstdint>
#include <string>

namespace ts {

constexpr double kMaxDate = 2958465.0;   // 9999-12-31
constexpr double kMinDate = -657434.0;   // 0100-01-01

struct DateParts {
  int year, month, day;
  int hour, minute, second;
  int weekday;  // 1 Sunday .. 7 Saturday
};

// Values outside the years 100 to 9999 are taken as the nearest end; NaN as 0.
double ClampDate(double value);
// Splits a (clamped) value, rounded to the nearest second.
DateParts SplitDate(double value);
// The value of a calendar date and time of day.
double MakeDate(int year, int month, int day, int hour, int minute, int second);
// The runtime's date format: "%d年%d月%d日" followed by the time down to
// its last non-zero part ("%d时%d分%d秒", "%d时%d分", "%d时" or nothing).
std::string FormatDate(double value);

}  // namespace ts
