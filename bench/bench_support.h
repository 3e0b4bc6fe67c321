// Measuring helpers shared by the benchmark programs.
#pragma once

#include <sys/resource.h>

namespace bench {

// Peak resident memory of the process so far, in KiB (Linux reports
// ru_maxrss in KiB).
inline long PeakResidentKiB() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

// User plus system CPU time of the process so far, in seconds: the steadier
// figure on a machine shared with other work.
inline double CpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  auto sec = [](const timeval& t) { return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6; };
  return sec(usage.ru_utime) + sec(usage.ru_stime);
}

}  // namespace bench
