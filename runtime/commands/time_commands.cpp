// Time commands: the current local time and the difference of two times.
#include <cmath>

#ifdef _WIN32
#include <windows.h>
#else
#include <ctime>
#endif

#include "runtime/commands/arg_values.h"
#include "runtime/commands/commands.h"
#include "runtime/commands/datetime.h"

namespace ts {
namespace {

enum TimeUnit { kYears = 1, kQuarters, kMonths, kWeeks, kDays, kHours, kMinutes, kSeconds };

// The double nearest to 0.5 / 86400: a tolerance added to a difference in
// hours, minutes or seconds so that one that falls a hair short of a whole
// unit (date-times carry rounding error) still counts it. It is added away
// from zero: added to a negative difference it would cut every exact
// negative count by one (-60 seconds would truncate to -59).
constexpr double kTolerance = 0.000005787037037037037;

double TruncWithTolerance(double units) {
  return std::trunc(units + (units < 0 ? -kTolerance : kTolerance));
}

double WeeksBetween(double t1, double t2, double days) {
  const DateParts p1 = SplitDate(t1), p2 = SplitDate(t2);
  int64_t weeks = static_cast<int64_t>(std::trunc(days)) / 7;
  if (t1 > t2 && p1.weekday < p2.weekday) ++weeks;
  if (t1 < t2 && p2.weekday < p1.weekday) --weeks;
  return static_cast<double>(weeks);
}

double Difference(double t1, double t2, int unit) {
  t1 = ClampDate(t1);
  t2 = ClampDate(t2);
  if (t1 == t2) return 0;
  const double d = t1 - t2;
  switch (unit) {
    case kYears: return SplitDate(t1).year - SplitDate(t2).year;
    case kQuarters: {
      const DateParts a = SplitDate(t1), b = SplitDate(t2);
      return (a.year - b.year) * 4 + (a.month - 1) / 3 - (b.month - 1) / 3;
    }
    case kMonths: {
      const DateParts a = SplitDate(t1), b = SplitDate(t2);
      return (a.year - b.year) * 12 + a.month - b.month;
    }
    case kWeeks: return WeeksBetween(t1, t2, d);
    case kDays: return d;
    case kHours: return TruncWithTolerance(d * 24);
    case kMinutes: return TruncWithTolerance(d * 1440);
    default: return TruncWithTolerance(d * 86400);
  }
}

}  // namespace

void CurrentTime(ResultRecord* r, int, ArgRecord*) {
#ifdef _WIN32
  SYSTEMTIME st;
  GetLocalTime(&st);
  r->v.f64 = MakeDate(st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond);
#else
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  r->v.f64 = MakeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min,
                      local.tm_sec);
#endif
  r->type = tag::DateTime;
}

void TimeDifference(ResultRecord* r, int argc, ArgRecord* args) {
  const double t1 = argc >= 1 ? ValueToDouble(args[0]) : 0;
  const double t2 = argc >= 2 ? ValueToDouble(args[1]) : 0;
  int32_t unit = IntArg(argc, args, 2, 0);
  if (unit < kYears) unit = kYears;
  if (unit > kSeconds) unit = kSeconds;
  r->v.f64 = Difference(t1, t2, unit);
  r->type = tag::Double;
}

}  // namespace ts
