// FSRS-6, the memory model that schedules the drill's problems for review: plain C++, no Qt.
//
// Each problem the learner has answered carries a MemoryState: its stability S (the days
// until the chance of recall falls to 90 %), its difficulty D (1 to 10), when it was last
// reviewed and when it is due. A review with a grade (1 Again, 2 Hard, 3 Good, 4 Easy) turns
// the state into the next one; the interval is the stability scaled to the desired retention.
//
// The formulas and the 21 default parameters are FSRS-6 as published by the
// open-spaced-repetition project (the FSRS4Anki wiki, "The Algorithm", and the reference
// scheduler py-fsrs 6, fsrs/scheduler.py, whose constants and clamps are followed here).
// With w = kDefaultParameters, grades G in 1..4, t the elapsed days, r the desired retention:
//
//   decay = -w20,  factor = 0.9^(1/decay) - 1            (so that R(S, S) = 0.9)
//   R(t, S)  = (1 + factor * t / S)^decay                 retrievability
//   S0(G)    = w[G-1]                                     first stability
//   D0(G)    = w4 - e^(w5 * (G - 1)) + 1                  first difficulty, clamped to [1, 10]
//   D'(D, G) = w7 * D0(4) + (1 - w7) * (D + dD * (10 - D) / 9),  dD = -w6 * (G - 3)
//              (linear damping, then mean reversion towards the unclamped D0(4)); clamped
//              to [1, 10]
//   after a recall (G >= 2) on a later day:
//     S'r = S * (1 + e^w8 * (11 - D) * S^-w9 * (e^(w10 * (1 - R)) - 1) * [w15 if G = 2]
//                  * [w16 if G = 4])
//   after a lapse (G = 1) on a later day:
//     S'f = min(w11 * D^-w12 * ((S + 1)^w13 - 1) * e^(w14 * (1 - R)),  S / e^(w17 * w18))
//     (the second term keeps the stability after a lapse from ever exceeding what a same-day
//     Again would leave)
//   on the same day (t = 0):
//     S's = S * SInc,  SInc = e^(w17 * (G - 3 + w18)) * S^-w19,  SInc >= 1 when G >= 2
//   every stability is kept in [0.001, 36500]; D and R are those before the review.
//   I(r, S)  = S / factor * (r^(1/decay) - 1), rounded to whole days, in [1, 36500]
//
// No fuzz and no learning steps: a problem is in review from its first answer.
//
// Elapsed time is counted in whole days as the difference of the two reviews' calendar dates
// at a fixed offset from UTC (the learner's, so that a problem answered at 23:50 and again at
// 00:10 was answered "a day later"); a review on the same calendar date is a same-day review.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "error.h"

namespace rekendo::schedule {

// Seconds since 1970-01-01T00:00:00Z.
using UnixSeconds = std::int64_t;
inline constexpr std::int64_t kSecondsPerDay = 86400;

// The learner's offset from UTC in seconds (+32400 for Japan); the CLI uses 0.
using UtcOffset = std::int32_t;

// The day number (days since 1970-01-01) of the calendar date at `offset` that holds `time`.
std::int64_t CalendarDay(UnixSeconds time, UtcOffset offset);

// Whole days between the calendar dates of two times at `offset` (0 on the same date).
std::int64_t ElapsedDays(UnixSeconds from, UnixSeconds to, UtcOffset offset);

enum class Grade { kAgain = 1, kHard = 2, kGood = 3, kEasy = 4 };

// The 21 FSRS-6 default parameters w0 … w20.
using Parameters = std::array<double, 21>;
inline constexpr Parameters kDefaultParameters = {
    0.212,  1.2931, 2.3065, 8.2956, 6.4133, 0.8334, 3.0194, 0.001,  1.8722, 0.1666, 0.796,
    1.4835, 0.0614, 0.2629, 1.6483, 0.6014, 1.8729, 0.5425, 0.0912, 0.0658, 0.1542,
};

inline constexpr double kDefaultRetention = 0.90;
inline constexpr double kMinRetention = 0.70;
inline constexpr double kMaxRetention = 0.97;
inline constexpr std::int32_t kMaxIntervalDays = 36500;
inline constexpr double kMinStability = 0.001;
inline constexpr double kMaxStability = 36500;

struct MemoryState {
  double stability = 0;         // days until recall falls to 90 %
  double difficulty = 0;        // 1 (easy) to 10 (hard)
  UnixSeconds last_review = 0;  // when it was last answered
  // last_review + interval * 86400, the interval under the retention of that review; it is
  // due from the calendar date of this instant on. (Selection and forecast recompute it from
  // the stability, so that a changed retention setting counts at once.)
  UnixSeconds due = 0;

  bool operator==(const MemoryState&) const = default;
};

// The FSRS-6 formulas one by one, as in the comment at the top (D0 clamped to [1, 10]).
namespace fsrs {
double Retrievability(double elapsed_days, double stability);
double InitialStability(Grade grade);
double InitialDifficulty(Grade grade);
double NextDifficulty(double difficulty, Grade grade);
double StabilityAfterRecall(double stability, double difficulty, double retrievability,
                            Grade grade);
double StabilityAfterLapse(double stability, double difficulty, double retrievability);
double SameDayStability(double stability, Grade grade);
}  // namespace fsrs

// FSRS-6 with the default parameters and one desired retention. Cheap to copy; every
// member is const and thread-safe.
class Scheduler {
 public:
  // Desired retention 0.9.
  Scheduler();
  // kInvalidInput unless kMinRetention <= desired_retention <= kMaxRetention.
  static Result<Scheduler> Create(double desired_retention);

  double desired_retention() const { return retention_; }

  // The state after a review with `grade` at `when`: the first one when `previous` is empty,
  // else the next one. kInvalidInput when `when` is before previous->last_review (the
  // history is out of order) or the grade is not 1 to 4.
  Result<MemoryState> Review(const std::optional<MemoryState>& previous, Grade grade,
                             UnixSeconds when, UtcOffset offset) const;

  // The interval in whole days for a stability: I(r, S), rounded, in [1, 36500].
  std::int32_t IntervalDays(double stability) const;
  // The factor of that interval before rounding and clamping: I = S * IntervalScale(), for a
  // database query to narrow down the due problems before DueDay decides.
  double IntervalScale() const { return interval_scale_; }

  // The chance of recall at `now` (whole elapsed days, 1 on the day of the review).
  double RetrievabilityAt(const MemoryState& state, UnixSeconds now, UtcOffset offset) const;

  // The day number (as CalendarDay) from which the state is due under this retention.
  std::int64_t DueDay(const MemoryState& state, UtcOffset offset) const;

 private:
  explicit Scheduler(double desired_retention);

  double retention_;
  double interval_scale_;  // (r^(1/decay) - 1) / factor: I = S * interval_scale_
};

}  // namespace rekendo::schedule
