// Today's practice (今日の練習), the forecast of reviews to come, and mastery by topic and
// level: pure functions over memory states, for the record to call.
#pragma once

#include <array>
#include <compare>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "error.h"
#include "fsrs.h"

namespace rekendo::schedule {

// A problem as the record knows it: its set by content hash and its 1-based index there.
struct ProblemKey {
  std::string set_hash;
  std::int32_t problem_index = 0;

  auto operator<=>(const ProblemKey&) const = default;
  bool operator==(const ProblemKey&) const = default;
};

struct ScheduledProblem {
  ProblemKey key;
  MemoryState state;
};

inline constexpr std::int32_t kDefaultPracticeSize = 20;
inline constexpr std::int32_t kMinPracticeSize = 10;
inline constexpr std::int32_t kMaxPracticeSize = 50;

struct TodaysPractice {
  std::vector<ProblemKey> problems;  // reviews first, then new problems
  std::int32_t review_count = 0;     // how many of `problems` are reviews
  std::int32_t new_count = 0;        // how many are new
  std::int32_t due_count = 0;        // how many were due in all (may exceed review_count)
};

// Up to `limit` problems for today: those due (their due date under `scheduler`'s retention
// is today or earlier at `offset`), the most overdue first, that is the lowest
// retrievability now first (then the earlier due date, then the key); then `new_problems`
// in the order given (the never-answered problems of the set played last: the caller passes
// only problems without a state). kInvalidInput unless 10 <= limit <= 50.
Result<TodaysPractice> SelectTodaysPractice(std::span<const ScheduledProblem> states,
                                            std::span<const ProblemKey> new_problems,
                                            UnixSeconds now, UtcOffset offset,
                                            const Scheduler& scheduler,
                                            std::int32_t limit = kDefaultPracticeSize);

inline constexpr int kForecastDays = 14;

struct SetForecast {
  std::string set_hash;
  // due_per_day[0]: due today or overdue; due_per_day[k]: coming due k days from today.
  std::array<std::int32_t, kForecastDays> due_per_day{};
};

// For every set with a state, how many of its problems come due on each of the next 14 days
// (today first), sorted by set hash.
std::vector<SetForecast> ForecastBySet(std::span<const ScheduledProblem> states,
                                       UnixSeconds now, UtcOffset offset,
                                       const Scheduler& scheduler);

// A topic at a level is mastered when at least `right_needed` of its last `last_questions`
// questions were right before the time-out.
struct MasteryRule {
  std::int32_t right_needed = 9;
  std::int32_t last_questions = 10;

  bool operator==(const MasteryRule&) const = default;
};

enum class Mastery {
  kNotStarted,  // 未: no question yet
  kPracticing,  // 練習中
  kMastered,    // 習得
};

// `right` holds one entry per counted question of the topic and level, oldest first (see
// CountsAsRight in grade.h). Fewer than `last_questions` questions count as they are: all of
// them are the last ones. kInvalidInput unless 1 <= right_needed <= last_questions <= 1000.
Result<Mastery> MasteryOf(std::span<const bool> right, MasteryRule rule = {});

// 未, 練習中 or 習得 (UTF-8).
const char* MasteryLabel(Mastery mastery);

}  // namespace rekendo::schedule
