// How a probe tells rekendo-exec-timer that it is ready: one line on standard output,
//   ready <CLOCK_MONOTONIC ns> <peak RSS KiB> <private RSS KiB> <file-backed RSS KiB>
// The last two are the present RssAnon and RssFile: private memory against pages of shared
// libraries and font files that other programs share.
#pragma once

#include <sys/resource.h>
#include <time.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>

namespace rekendo::bench {

inline std::int64_t MonotonicNanoseconds() {
  timespec now{};
  ::clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<std::int64_t>(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

// A "Name: <n> kB" field of /proc/self/status, or -1.
inline long StatusKib(const std::string& name) {
  std::ifstream status("/proc/self/status");
  std::string field;
  long value = -1;
  while (status >> field) {
    if (field == name + ":") {
      status >> value;
      return value;
    }
    status.ignore(1 << 10, '\n');
  }
  return -1;
}

inline void SignalReady() {
  const std::int64_t now = MonotonicNanoseconds();
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  std::printf("ready %lld %ld %ld %ld\n", static_cast<long long>(now), usage.ru_maxrss,
              StatusKib("RssAnon"), StatusKib("RssFile"));
  std::fflush(stdout);
}

}  // namespace rekendo::bench
