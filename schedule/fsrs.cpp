#include "fsrs.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

namespace rekendo::schedule {
namespace {

constexpr const Parameters& w = kDefaultParameters;
constexpr double kMinDifficulty = 1.0;
constexpr double kMaxDifficulty = 10.0;

struct Curve {
  double decay;   // -w20
  double factor;  // 0.9^(1/decay) - 1
};

const Curve& TheCurve() {
  static const Curve curve{-w[20], std::pow(0.9, 1.0 / -w[20]) - 1.0};
  return curve;
}

double G(Grade grade) { return static_cast<double>(static_cast<int>(grade)); }

double ClampDifficulty(double d) { return std::clamp(d, kMinDifficulty, kMaxDifficulty); }
double ClampStability(double s) { return std::clamp(s, kMinStability, kMaxStability); }

// D0(G) before the clamp: the target of mean reversion uses it unclamped.
double RawInitialDifficulty(Grade grade) { return w[4] - std::exp(w[5] * (G(grade) - 1)) + 1; }

bool ValidGrade(Grade grade) {
  const int g = static_cast<int>(grade);
  return g >= 1 && g <= 4;
}

std::string Number(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", value);
  return text;
}

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
  const std::int64_t q = a / b;
  return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

}  // namespace

std::int64_t CalendarDay(UnixSeconds time, UtcOffset offset) {
  return FloorDiv(time + offset, kSecondsPerDay);
}

std::int64_t ElapsedDays(UnixSeconds from, UnixSeconds to, UtcOffset offset) {
  return CalendarDay(to, offset) - CalendarDay(from, offset);
}

namespace fsrs {

double Retrievability(double elapsed_days, double stability) {
  const Curve& c = TheCurve();
  return std::pow(1 + c.factor * elapsed_days / stability, c.decay);
}

double InitialStability(Grade grade) { return ClampStability(w[static_cast<int>(grade) - 1]); }

double InitialDifficulty(Grade grade) { return ClampDifficulty(RawInitialDifficulty(grade)); }

double NextDifficulty(double difficulty, Grade grade) {
  const double delta = -w[6] * (G(grade) - 3);
  const double damped = difficulty + delta * (10 - difficulty) / 9;
  return ClampDifficulty(w[7] * RawInitialDifficulty(Grade::kEasy) + (1 - w[7]) * damped);
}

double StabilityAfterRecall(double stability, double difficulty, double retrievability,
                            Grade grade) {
  const double hard_penalty = grade == Grade::kHard ? w[15] : 1.0;
  const double easy_bonus = grade == Grade::kEasy ? w[16] : 1.0;
  return ClampStability(stability *
                        (1 + std::exp(w[8]) * (11 - difficulty) * std::pow(stability, -w[9]) *
                                 (std::exp(w[10] * (1 - retrievability)) - 1) * hard_penalty *
                                 easy_bonus));
}

double StabilityAfterLapse(double stability, double difficulty, double retrievability) {
  const double long_term = w[11] * std::pow(difficulty, -w[12]) *
                           (std::pow(stability + 1, w[13]) - 1) *
                           std::exp(w[14] * (1 - retrievability));
  const double same_day_bound = stability / std::exp(w[17] * w[18]);
  return ClampStability(std::min(long_term, same_day_bound));
}

double SameDayStability(double stability, Grade grade) {
  double increase = std::exp(w[17] * (G(grade) - 3 + w[18])) * std::pow(stability, -w[19]);
  // A same-day answer that was recalled (Hard too) never lowers stability; only Again may.
  if (grade != Grade::kAgain) increase = std::max(increase, 1.0);
  return ClampStability(stability * increase);
}

}  // namespace fsrs

Scheduler::Scheduler() : Scheduler(kDefaultRetention) {}

Scheduler::Scheduler(double desired_retention)
    : retention_(desired_retention),
      interval_scale_((std::pow(desired_retention, 1.0 / TheCurve().decay) - 1) /
                      TheCurve().factor) {}

Result<Scheduler> Scheduler::Create(double desired_retention) {
  // Written so that NaN fails too.
  if (!(desired_retention >= kMinRetention && desired_retention <= kMaxRetention)) {
    return Error{ErrorCode::kInvalidInput,
                 "目標の正答率は 0.70 から 0.97 までです: " + Number(desired_retention),
                 {},
                 {}};
  }
  return Scheduler(desired_retention);
}

std::int32_t Scheduler::IntervalDays(double stability) const {
  const double days = std::round(stability * interval_scale_);
  if (!(days >= 1)) return 1;  // NaN too
  if (days >= kMaxIntervalDays) return kMaxIntervalDays;
  return static_cast<std::int32_t>(days);
}

Result<MemoryState> Scheduler::Review(const std::optional<MemoryState>& previous, Grade grade,
                                      UnixSeconds when, UtcOffset offset) const {
  if (!ValidGrade(grade)) {
    return Error{ErrorCode::kInvalidInput,
                 "評価は 1 から 4 までです: " + std::to_string(static_cast<int>(grade)),
                 {},
                 {}};
  }
  MemoryState next;
  if (!previous) {
    next.stability = fsrs::InitialStability(grade);
    next.difficulty = fsrs::InitialDifficulty(grade);
  } else {
    if (when < previous->last_review) {
      return Error{ErrorCode::kInvalidInput, "前の復習より前の時刻です（順番が逆です）", {}, {}};
    }
    const std::int64_t days = ElapsedDays(previous->last_review, when, offset);
    const double s = previous->stability;
    const double d = previous->difficulty;
    if (days == 0) {
      next.stability = fsrs::SameDayStability(s, grade);
    } else {
      const double r = fsrs::Retrievability(static_cast<double>(days), s);
      next.stability = grade == Grade::kAgain ? fsrs::StabilityAfterLapse(s, d, r)
                                              : fsrs::StabilityAfterRecall(s, d, r, grade);
    }
    next.difficulty = fsrs::NextDifficulty(d, grade);
  }
  next.last_review = when;
  next.due = when + static_cast<std::int64_t>(IntervalDays(next.stability)) * kSecondsPerDay;
  return next;
}

double Scheduler::RetrievabilityAt(const MemoryState& state, UnixSeconds now,
                                   UtcOffset offset) const {
  const std::int64_t days = std::max<std::int64_t>(0, ElapsedDays(state.last_review, now, offset));
  return fsrs::Retrievability(static_cast<double>(days), state.stability);
}

std::int64_t Scheduler::DueDay(const MemoryState& state, UtcOffset offset) const {
  return CalendarDay(state.last_review, offset) + IntervalDays(state.stability);
}

}  // namespace rekendo::schedule
