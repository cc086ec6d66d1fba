// The benchmarks' clock: seconds from the platform's high-resolution
// counter, monotonic and unaffected by changes of the wall clock.
#pragma once

#include <windows.h>

namespace bench {

inline double Now() {
  static const double ticksPerSecond = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return static_cast<double>(f.QuadPart);
  }();
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return static_cast<double>(t.QuadPart) / ticksPerSecond;
}

}  // namespace bench
