// The wall clock the Windows benchmarks read: the performance counter, in seconds.
#pragma once

#include <windows.h>

namespace sirel::bench {

inline double WallSeconds() {
  static const double frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return static_cast<double>(f.QuadPart);
  }();
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return static_cast<double>(t.QuadPart) / frequency;
}

}  // namespace sirel::bench
