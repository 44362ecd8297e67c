// The scheduler: one FSRS-6 update (budget 0.05 ms) and building today's practice over
// 100,000 memory states (budget 50 ms).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "fsrs.h"
#include "practice.h"

namespace rekendo::bench {
namespace {

using namespace rekendo::schedule;

constexpr UnixSeconds kNow = 1796113800;  // 2026-12-01T08:30:00Z
constexpr UtcOffset kJapan = 9 * 3600;

// One review of a problem last seen `days` ago, cycling through the grades and gaps (same
// day, days, months) so that every branch of the update is taken.
void BM_ScheduleUpdate(benchmark::State& state) {
  const Scheduler scheduler;
  const MemoryState previous{12.5, 5.2, kNow, kNow + 12 * kSecondsPerDay};
  const int gaps[] = {0, 3, 13, 90};
  std::size_t i = 0;
  for (auto _ : state) {
    const auto grade = static_cast<Grade>(1 + i % 4);
    const UnixSeconds when = kNow + gaps[(i / 4) % 4] * kSecondsPerDay + 600;
    auto next = scheduler.Review(previous, grade, when, kJapan);
    benchmark::DoNotOptimize(next);
    ++i;
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ScheduleUpdate)->Unit(benchmark::kNanosecond);

// `count` problems in sets of 1000, keyed by a 64-digit hash as the record keys them, last
// reviewed over the past year with stabilities from a day to a year: about a third due.
std::vector<ScheduledProblem> MakeStates(std::size_t count) {
  const Scheduler scheduler;
  std::vector<ScheduledProblem> states;
  states.reserve(count);
  std::uint64_t random = 0x9E3779B97F4A7C15u;
  const auto next = [&random] {
    random ^= random << 13;
    random ^= random >> 7;
    random ^= random << 17;
    return random;
  };
  std::string set_hash;
  for (std::size_t i = 0; i < count; ++i) {
    if (i % 1000 == 0) {
      char hash[65];
      for (int j = 0; j < 64; j += 16) {
        std::snprintf(hash + j, 17, "%016llx", static_cast<unsigned long long>(next()));
      }
      set_hash = hash;
    }
    const double stability = 1.0 + static_cast<double>(next() % 36500) / 100.0;
    const UnixSeconds last = kNow - static_cast<UnixSeconds>(next() % (365 * kSecondsPerDay));
    MemoryState memory{stability, 1.0 + static_cast<double>(next() % 900) / 100.0, last,
                       last + scheduler.IntervalDays(stability) * kSecondsPerDay};
    states.push_back({{set_hash, static_cast<std::int32_t>(i % 1000 + 1)}, memory});
  }
  return states;
}

void BM_ScheduleTodaysPractice(benchmark::State& state) {
  const auto states = MakeStates(static_cast<std::size_t>(state.range(0)));
  std::vector<ProblemKey> fresh;
  for (std::int32_t i = 1; i <= 50; ++i) fresh.push_back({"new-set", i});
  const Scheduler scheduler;
  std::int32_t due = 0;
  for (auto _ : state) {
    auto practice = SelectTodaysPractice(states, fresh, kNow, kJapan, scheduler, 20);
    due = practice->due_count;
    benchmark::DoNotOptimize(practice);
  }
  state.counters["due"] = due;
}
BENCHMARK(BM_ScheduleTodaysPractice)->ArgName("states")->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace rekendo::bench
