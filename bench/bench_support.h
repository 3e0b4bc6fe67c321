// Measuring helpers shared by the benchmark programs.
#pragma once

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

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

// What one run of a child process took.
struct Measure {
  double seconds = 0;        // wall time
  double cpuSeconds = 0;     // user + system time of the child
  double systemSeconds = 0;  // the part of cpuSeconds spent in the kernel
  long peakKiB = 0;          // the child's maximum resident set
};

inline double Now() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// Runs `child` in a forked process and returns what it took; ends this
// program when the child fails, since its figures would mean nothing.
template <typename F>
Measure InChild(F child) {
  std::fflush(stdout);
  const double start = Now();
  const pid_t pid = fork();
  if (pid == 0) _exit(child());
  int status = 0;
  struct rusage usage;
  wait4(pid, &status, 0, &usage);
  Measure m;
  m.seconds = Now() - start;
  m.peakKiB = usage.ru_maxrss;
  m.systemSeconds = usage.ru_stime.tv_sec + usage.ru_stime.tv_usec / 1e6;
  m.cpuSeconds = usage.ru_utime.tv_sec + usage.ru_utime.tv_usec / 1e6 + m.systemSeconds;
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    std::fprintf(stderr, "benchmark: child failed (status %d)\n", status);
    std::exit(1);
  }
  return m;
}

// The median of each figure over the runs.
// The median of `v` (not empty).
inline double MedianOf(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  const size_t n = v.size();
  return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

inline Measure Median(const std::vector<Measure>& runs) {
  auto median = [&](auto field) {
    std::vector<double> v;
    for (const Measure& m : runs) v.push_back(static_cast<double>(m.*field));
    return MedianOf(std::move(v));
  };
  Measure m;
  m.seconds = median(&Measure::seconds);
  m.cpuSeconds = median(&Measure::cpuSeconds);
  m.systemSeconds = median(&Measure::systemSeconds);
  m.peakKiB = static_cast<long>(median(&Measure::peakKiB));
  return m;
}

}  // namespace bench
