// Calendar arithmetic on date-time values (proleptic Gregorian calendar).
#include "runtime/commands/datetime.h"

#include <cmath>
#include <cstdio>

namespace ts {
namespace {

// 1899-12-30 counted from 1970-01-01.
constexpr int64_t kEpochShift = -25569;

// Days since 1970-01-01 of a civil date (era-based, valid for any year).
int64_t DaysFromCivil(int64_t y, int m, int d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yoe = y - era * 400;
  const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

void CivilFromDays(int64_t z, int* year, int* month, int* day) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  const int d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  const int m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  *year = static_cast<int>(yoe + era * 400 + (m <= 2));
  *month = m;
  *day = d;
}

}  // namespace

double ClampDate(double value) {
  if (std::isnan(value)) return 0;
  if (value > kMaxDate) return kMaxDate;
  if (value < kMinDate) return kMinDate;
  return value;
}

DateParts SplitDate(double value) {
  value = ClampDate(value);
  const double whole = std::trunc(value);
  int64_t dayIndex = static_cast<int64_t>(whole);
  int64_t seconds = std::llround(std::fabs(value - whole) * 86400.0);
  if (seconds >= 86400) {  // rounding carried into the next calendar day
    seconds -= 86400;
    ++dayIndex;
  }
  DateParts p{};
  const int64_t unixDays = dayIndex + kEpochShift;
  CivilFromDays(unixDays, &p.year, &p.month, &p.day);
  p.hour = static_cast<int>(seconds / 3600);
  p.minute = static_cast<int>(seconds / 60 % 60);
  p.second = static_cast<int>(seconds % 60);
  // 1970-01-01 was a Thursday (weekday 5 counting Sunday as 1).
  p.weekday = static_cast<int>(((unixDays + 4) % 7 + 7) % 7) + 1;
  return p;
}

double MakeDate(int year, int month, int day, int hour, int minute, int second) {
  const double days = static_cast<double>(DaysFromCivil(year, month, day) - kEpochShift);
  const double time = (hour * 3600.0 + minute * 60.0 + second) / 86400.0;
  return days >= 0 ? days + time : days - time;
}

std::string FormatDate(double value) {
  const DateParts p = SplitDate(value);
  char buf[96];
  int n = std::snprintf(buf, sizeof buf, "%d年%d月%d日", p.year, p.month, p.day);
  if (p.second != 0) {
    std::snprintf(buf + n, sizeof buf - n, "%d时%d分%d秒", p.hour, p.minute, p.second);
  } else if (p.minute != 0) {
    std::snprintf(buf + n, sizeof buf - n, "%d时%d分", p.hour, p.minute);
  } else if (p.hour != 0) {
    std::snprintf(buf + n, sizeof buf - n, "%d时", p.hour);
  }
  return buf;
}

}  // namespace ts
