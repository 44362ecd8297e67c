#include "practice.h"

#include <algorithm>
#include <map>
#include <string_view>

namespace rekendo::schedule {
namespace {

struct DueProblem {
  const ScheduledProblem* problem;
  double retrievability;
  std::int64_t due_day;
};

bool MoreOverdue(const DueProblem& a, const DueProblem& b) {
  if (a.retrievability != b.retrievability) return a.retrievability < b.retrievability;
  if (a.due_day != b.due_day) return a.due_day < b.due_day;
  return a.problem->key < b.problem->key;
}

}  // namespace

Result<TodaysPractice> SelectTodaysPractice(std::span<const ScheduledProblem> states,
                                            std::span<const ProblemKey> new_problems,
                                            UnixSeconds now, UtcOffset offset,
                                            const Scheduler& scheduler, std::int32_t limit) {
  if (limit < kMinPracticeSize || limit > kMaxPracticeSize) {
    return Error{ErrorCode::kInvalidInput,
                 "問題数は " + std::to_string(kMinPracticeSize) + " から " +
                     std::to_string(kMaxPracticeSize) + " までです: " + std::to_string(limit),
                 {},
                 {}};
  }
  const std::int64_t today = CalendarDay(now, offset);
  std::vector<DueProblem> due;
  for (const ScheduledProblem& problem : states) {
    const std::int64_t due_day = scheduler.DueDay(problem.state, offset);
    if (due_day > today) continue;
    due.push_back({&problem, scheduler.RetrievabilityAt(problem.state, now, offset), due_day});
  }
  TodaysPractice practice;
  practice.due_count = static_cast<std::int32_t>(due.size());
  const std::size_t reviews = std::min(due.size(), static_cast<std::size_t>(limit));
  std::partial_sort(due.begin(), due.begin() + static_cast<std::ptrdiff_t>(reviews), due.end(),
                    MoreOverdue);
  practice.problems.reserve(static_cast<std::size_t>(limit));
  for (std::size_t i = 0; i < reviews; ++i) practice.problems.push_back(due[i].problem->key);
  const std::size_t fresh =
      std::min(new_problems.size(), static_cast<std::size_t>(limit) - reviews);
  practice.problems.insert(practice.problems.end(), new_problems.begin(),
                           new_problems.begin() + static_cast<std::ptrdiff_t>(fresh));
  practice.review_count = static_cast<std::int32_t>(reviews);
  practice.new_count = static_cast<std::int32_t>(fresh);
  return practice;
}

std::vector<SetForecast> ForecastBySet(std::span<const ScheduledProblem> states,
                                       UnixSeconds now, UtcOffset offset,
                                       const Scheduler& scheduler) {
  const std::int64_t today = CalendarDay(now, offset);
  std::map<std::string_view, std::array<std::int32_t, kForecastDays>> by_set;
  for (const ScheduledProblem& problem : states) {
    auto& days = by_set[problem.key.set_hash];  // a set with nothing due soon is listed too
    const std::int64_t ahead = std::max<std::int64_t>(0, scheduler.DueDay(problem.state, offset) - today);
    if (ahead < kForecastDays) ++days[static_cast<std::size_t>(ahead)];
  }
  std::vector<SetForecast> forecast;
  forecast.reserve(by_set.size());
  for (const auto& [set_hash, days] : by_set) forecast.push_back({std::string(set_hash), days});
  return forecast;
}

Result<Mastery> MasteryOf(std::span<const bool> right, MasteryRule rule) {
  if (rule.right_needed < 1 || rule.right_needed > rule.last_questions ||
      rule.last_questions > 1000) {
    return Error{ErrorCode::kInvalidInput,
                 "習得の条件は「直近 n 問中 m 問正解」で 1 ≦ m ≦ n ≦ 1000 です: " +
                     std::to_string(rule.right_needed) + " / " +
                     std::to_string(rule.last_questions),
                 {},
                 {}};
  }
  if (right.empty()) return Mastery::kNotStarted;
  const auto last = right.last(std::min(right.size(), static_cast<std::size_t>(rule.last_questions)));
  const auto count = std::count(last.begin(), last.end(), true);
  return count >= rule.right_needed ? Mastery::kMastered : Mastery::kPracticing;
}

const char* MasteryLabel(Mastery mastery) {
  switch (mastery) {
    case Mastery::kNotStarted: return "未";
    case Mastery::kPracticing: return "練習中";
    case Mastery::kMastered: return "習得";
  }
  return "";
}

}  // namespace rekendo::schedule
