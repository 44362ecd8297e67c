// The FSRS-6 scheduler against values worked out by hand from the published formulas (the
// arithmetic is in the comments, done with a calculator, not with this code), the grade
// mapping, today's practice, the forecast and mastery.
//
// Defaults used below: w0 0.212, w1 1.2931, w2 2.3065, w3 8.2956, w4 6.4133, w5 0.8334,
// w6 3.0194, w7 0.001, w8 1.8722, w9 0.1666, w10 0.796, w11 1.4835, w12 0.0614, w13 0.2629,
// w14 1.6483, w15 0.6014, w16 1.8729, w17 0.5425, w18 0.0912, w19 0.0658, w20 0.1542.
// decay = -0.1542; factor = 0.9^(-1/0.1542) - 1 = 0.980346494;
// D0(4) unclamped = 6.4133 - e^(3 * 0.8334) + 1 = 6.4133 - 12.184930703 + 1 = -4.771630703.
#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "drill_observer.h"
#include "fsrs.h"
#include "grade.h"
#include "practice.h"

namespace rekendo::schedule {
namespace {

constexpr double kSix = 5e-7;                   // "to six decimals"
constexpr UnixSeconds kStart = 1796113800;       // 2026-12-01T08:30:00Z
constexpr UnixSeconds Day(int days) { return kStart + days * kSecondsPerDay; }

MemoryState Reviewed(const Scheduler& scheduler, const std::optional<MemoryState>& previous,
                     Grade grade, UnixSeconds when) {
  const auto next = scheduler.Review(previous, grade, when, 0);
  EXPECT_TRUE(next.ok()) << next.error().message;
  return next.ok() ? *next : MemoryState{};
}

std::int32_t Interval(const MemoryState& state) {
  return static_cast<std::int32_t>((state.due - state.last_review) / kSecondsPerDay);
}

TEST(FsrsTest, FirstGoodAndFirstEasy) {
  // S0(3) = w2 = 2.3065. D0(3) = w4 - e^(2 w5) + 1 = 6.4133 - e^1.6668 + 1
  //       = 6.4133 - 5.295196030 + 1 = 2.118103970. I = round(2.3065) = 2 (r = 0.9: I = S).
  // Easy: S = w3 = 8.2956, I = 8; D0(4) = -4.771631 is clamped to 1.
  const MemoryState good = Reviewed(Scheduler(), std::nullopt, Grade::kGood, kStart);
  EXPECT_NEAR(good.stability, 2.306500, kSix);
  EXPECT_NEAR(good.difficulty, 2.118104, kSix);
  EXPECT_EQ(good.last_review, kStart);
  EXPECT_EQ(good.due, Day(2));
  const MemoryState easy = Reviewed(Scheduler(), std::nullopt, Grade::kEasy, kStart);
  EXPECT_NEAR(easy.stability, 8.2956, kSix);
  EXPECT_NEAR(easy.difficulty, 1.0, kSix);
  EXPECT_EQ(easy.due, Day(8));
}

TEST(FsrsTest, LapseAfterTwoGoods) {
  const Scheduler scheduler;
  const MemoryState first = Reviewed(scheduler, std::nullopt, Grade::kGood, Day(0));
  // Good on day 2 (t = 2): R = (1 + 0.980346494 * 2 / 2.3065)^-0.1542 = 1.850072^-0.1542
  //   = 0.909493256. e^w8 = e^1.8722 = 6.502586365; S^-w9 = 2.3065^-0.1666 = 0.870025444;
  //   e^(w10 (1 - R)) - 1 = e^(0.796 * 0.090506744) - 1 = 0.074701951.
  //   S' = 2.3065 * (1 + 6.502586365 * (11 - 2.118103970) * 0.870025444 * 0.074701951)
  //      = 2.3065 * 4.753667 = 10.964332. I = 11.
  //   D: dD = -w6 * 0 = 0, D' = 0.001 * -4.771630703 + 0.999 * 2.118103970 = 2.111214.
  const MemoryState second = Reviewed(scheduler, first, Grade::kGood, Day(2));
  EXPECT_NEAR(second.stability, 10.964332, kSix);
  EXPECT_NEAR(second.difficulty, 2.111214, kSix);
  EXPECT_EQ(second.due, Day(13));
  // Again on day 13 (t = 11): R = (1 + 0.980346494 * 11 / 10.964332)^-0.1542 = 0.899776718.
  //   long term: w11 * D^-w12 * ((S + 1)^w13 - 1) * e^(w14 (1 - R))
  //     = 1.4835 * 2.111214^-0.0614 * (11.964332^0.2629 - 1) * e^(1.6483 * 0.100223282)
  //     = 1.538337; bound S / e^(w17 w18) = 10.964332 / 1.050720375 = 10.435062;
  //     S' = min = 1.538337, I = round(1.538) = 2.
  //   D: dD = -3.0194 * (1 - 3) = 6.0388; D + dD (10 - D) / 9 = 2.111214 + 6.0388 * 7.888786 / 9
  //     = 7.404414; D' = 0.001 * -4.771631 + 0.999 * 7.404414 = 7.392238.
  const MemoryState lapse = Reviewed(scheduler, second, Grade::kAgain, Day(13));
  EXPECT_NEAR(lapse.stability, 1.538337, kSix);
  EXPECT_NEAR(lapse.difficulty, 7.392238, kSix);
  EXPECT_EQ(Interval(lapse), 2);
}

TEST(FsrsTest, LapseAfterALongGapIsBoundedBySameDayAgain) {
  // Again on day 0 (S 0.212, D 6.4133), Again again 400 days later:
  //   R = (1 + 0.980346494 * 400 / 0.212)^-0.1542 = 1850.710^-0.1542 = 0.313456.
  //   long term = 1.4835 * 6.4133^-0.0614 * (1.212^0.2629 - 1) * e^(1.6483 * 0.686544)
  //     = 1.4835 * 0.892165 * 0.051848 * 3.100709 = 0.212776;
  //   bound = 0.212 / e^(0.5425 * 0.0912) = 0.212 / 1.050720 = 0.201766: S' = 0.201766.
  //   D: 6.4133 + 6.0388 * 3.5867 / 9 = 8.819896; 0.001 * -4.771631 + 0.999 * 8.819896 = 8.806304.
  const Scheduler scheduler;
  const MemoryState first = Reviewed(scheduler, std::nullopt, Grade::kAgain, Day(0));
  const MemoryState lapse = Reviewed(scheduler, first, Grade::kAgain, Day(400));
  EXPECT_NEAR(lapse.stability, 0.201766, kSix);
  EXPECT_NEAR(lapse.difficulty, 8.806304, kSix);
  EXPECT_EQ(lapse.due, Day(401));
}

TEST(FsrsTest, RecallAfterALongGap) {
  // First Good, then Good 400 days later: R = (1 + 0.980346494 * 400 / 2.3065)^-0.1542
  //   = 171.015^-0.1542 = 0.452550; e^(0.796 * 0.547450) - 1 = 0.546154;
  //   S' = 2.3065 * (1 + 6.502586 * 8.881896 * 0.870025 * 0.546154) = 65.604820; I = 66.
  const Scheduler scheduler;
  const MemoryState first = Reviewed(scheduler, std::nullopt, Grade::kGood, Day(0));
  EXPECT_NEAR(scheduler.RetrievabilityAt(first, Day(400), 0), 0.452550, kSix);
  const MemoryState second = Reviewed(scheduler, first, Grade::kGood, Day(400));
  EXPECT_NEAR(second.stability, 65.604820, kSix);
  EXPECT_NEAR(second.difficulty, 2.111214, kSix);
  EXPECT_EQ(Interval(second), 66);
}

TEST(FsrsTest, HardRecallTakesThePenalty) {
  // Hard on day 2 after a first Good: the same sum as the Good above times w15 = 0.6014:
  //   S' = 2.3065 * (1 + 3.753667 * 0.6014) = 7.513320 (7.5133204 unrounded).
  //   D: dD = -3.0194 * (2 - 3) = 3.0194; 2.118104 + 3.0194 * 7.881896 / 9 = 4.762393;
  //   D' = 0.001 * -4.771631 + 0.999 * 4.762393 = 4.752858.
  const Scheduler scheduler;
  const MemoryState first = Reviewed(scheduler, std::nullopt, Grade::kGood, Day(0));
  const MemoryState hard = Reviewed(scheduler, first, Grade::kHard, Day(2));
  EXPECT_NEAR(hard.stability, 7.513320, kSix);
  EXPECT_NEAR(hard.difficulty, 4.752858, kSix);
}

TEST(FsrsTest, SameDayRepeat) {
  // Same calendar date (t = 0): SInc = e^(w17 (G - 3 + w18)) * S^-w19, S = 2.3065.
  //   S^-w19 = 2.3065^-0.0658 = 0.946493558.
  //   Good: e^(0.5425 * 0.0912) = 1.050720375; SInc = 0.994490 < 1, kept at 1: S' = 2.306500.
  //   Again: e^(0.5425 * -1.9088) = 0.355040291; S' = 2.3065 * 0.336043 = 0.775084, I = 1.
  //   Easy: e^(0.5425 * 1.0912) = 1.807557; SInc = 1.710841; S' = 3.946054, I = 4.
  //   D after Again: 2.118104 + 6.0388 * 7.881896 / 9 = 7.406681; * 0.999 - 0.004772 = 7.394503.
  const Scheduler scheduler;
  const MemoryState first = Reviewed(scheduler, std::nullopt, Grade::kGood, kStart);
  const MemoryState good = Reviewed(scheduler, first, Grade::kGood, kStart + 3600);
  EXPECT_NEAR(good.stability, 2.306500, kSix);
  EXPECT_NEAR(good.difficulty, 2.111214, kSix);
  EXPECT_EQ(good.due, kStart + 3600 + 2 * kSecondsPerDay);
  const MemoryState again = Reviewed(scheduler, first, Grade::kAgain, kStart + 3600);
  EXPECT_NEAR(again.stability, 0.775084, kSix);
  EXPECT_NEAR(again.difficulty, 7.394503, kSix);
  EXPECT_EQ(Interval(again), 1);
  const MemoryState easy = Reviewed(scheduler, first, Grade::kEasy, kStart + 3600);
  EXPECT_NEAR(easy.stability, 3.946054, kSix);
  EXPECT_EQ(Interval(easy), 4);
}

TEST(FsrsTest, SameDayHardNeverLowersStability) {
  // Hard on the day of the first Good: SInc = e^(0.5425 * (-1 + 0.0912)) * 0.946494 = 0.577688
  //   < 1, kept at 1: S stays 2.3065. Then a lapse on day 10 and Hard that same day: the lapse's
  //   stability is kept, never shrunk (Again alone may lower it on the same day).
  const Scheduler scheduler;
  const MemoryState first = Reviewed(scheduler, std::nullopt, Grade::kGood, kStart);
  const MemoryState hard = Reviewed(scheduler, first, Grade::kHard, kStart + 3600);
  EXPECT_NEAR(hard.stability, 2.306500, kSix);
  const MemoryState lapse = Reviewed(scheduler, first, Grade::kAgain, Day(10));
  const MemoryState hard_after = Reviewed(scheduler, lapse, Grade::kHard, Day(10) + 600);
  EXPECT_DOUBLE_EQ(hard_after.stability, lapse.stability);
  const MemoryState again_after = Reviewed(scheduler, lapse, Grade::kAgain, Day(10) + 600);
  EXPECT_LT(again_after.stability, lapse.stability);
}

TEST(FsrsTest, ElapsedDaysAreCalendarDatesAtTheOffset) {
  // 14:50Z and 15:10Z: the same UTC date, but 23:50 and 00:10 the next day in Japan (+9 h).
  const UnixSeconds before = kStart + 6 * 3600 + 20 * 60, after = before + 20 * 60;
  EXPECT_EQ(ElapsedDays(before, after, 0), 0);
  EXPECT_EQ(ElapsedDays(before, after, 9 * 3600), 1);
  EXPECT_EQ(CalendarDay(-1, 0), -1);  // the day before 1970-01-01, not day 0
  const Scheduler scheduler;
  const MemoryState first = Reviewed(scheduler, std::nullopt, Grade::kGood, before);
  const auto utc = scheduler.Review(first, Grade::kGood, after, 0);
  const auto japan = scheduler.Review(first, Grade::kGood, after, 9 * 3600);
  EXPECT_NEAR(utc->stability, 2.3065, kSix);     // same day: kept
  EXPECT_GT(japan->stability, 2.3065 + 0.1);     // a day later: a recall
}

TEST(FsrsTest, RetentionScalesTheIntervalWithinItsClamps) {
  // I = S / factor * (r^(-1/0.1542) - 1). r = 0.8: 0.8^-6.485084 = 4.250790,
  //   (4.250790 - 1) / 0.980346494 = 3.315960. For S = 65.604820 (the long gap above):
  //   0.9 -> 66, 0.8 -> round(217.543) = 218; for S = 2.3065: 0.8 -> round(7.648) = 8.
  //   r = 0.97: scale 0.222768, S = 2.3065 -> round(0.5138) = 1.
  //   r = 0.9, S = 0.212 (a first Again): round(0.212) = 0, raised to the least, 1.
  //   r = 0.7: scale 9.287911, S = 3929.8 -> 36499.63, rounded to the cap of 36500.
  const Scheduler ninety;
  const auto eighty = Scheduler::Create(0.8);
  ASSERT_TRUE(eighty.ok());
  EXPECT_EQ(ninety.IntervalDays(65.604820), 66);
  EXPECT_EQ(eighty->IntervalDays(65.604820), 218);
  EXPECT_EQ(Scheduler::Create(0.97)->IntervalDays(2.3065), 1);
  EXPECT_EQ(ninety.IntervalDays(0.212), 1);
  EXPECT_EQ(Scheduler::Create(0.7)->IntervalDays(3929.8), 36500);
  EXPECT_EQ(ninety.IntervalDays(1e9), 36500);
  // The review's due date follows the retention; the memory state does not.
  const MemoryState first = Reviewed(*eighty, std::nullopt, Grade::kGood, kStart);
  EXPECT_NEAR(first.stability, 2.3065, kSix);
  EXPECT_EQ(first.due, Day(8));
}

TEST(FsrsTest, RefusesRetentionOutsideTheRangeAndHistoriesOutOfOrder) {
  EXPECT_TRUE(Scheduler::Create(0.70).ok());
  EXPECT_TRUE(Scheduler::Create(0.97).ok());
  EXPECT_FALSE(Scheduler::Create(0.69).ok());
  EXPECT_FALSE(Scheduler::Create(0.98).ok());
  const Scheduler scheduler;
  const MemoryState first = Reviewed(scheduler, std::nullopt, Grade::kGood, kStart);
  const auto backwards = scheduler.Review(first, Grade::kGood, kStart - 1, 0);
  ASSERT_FALSE(backwards.ok());
  EXPECT_EQ(backwards.error().code, ErrorCode::kInvalidInput);
  EXPECT_FALSE(scheduler.Review(std::nullopt, static_cast<Grade>(5), kStart, 0).ok());
}

TEST(GradeTest, DrillOutcomes) {
  EXPECT_EQ(GradeForQuestion(QuestionKind::kProblem, QuestionOutcome::kRight, 0), Grade::kGood);
  EXPECT_EQ(GradeForQuestion(QuestionKind::kProblem, QuestionOutcome::kRight, 2), Grade::kHard);
  EXPECT_EQ(GradeForQuestion(QuestionKind::kProblem, QuestionOutcome::kWrongAtTimeUp, 3),
            Grade::kAgain);
  EXPECT_EQ(GradeForQuestion(QuestionKind::kProblem, QuestionOutcome::kLeft, 0), std::nullopt);
  EXPECT_EQ(GradeForQuestion(QuestionKind::kProblem, QuestionOutcome::kOpenAtEnd, 1), std::nullopt);
  EXPECT_EQ(GradeForQuestion(QuestionKind::kTrivia, QuestionOutcome::kRight, 0), std::nullopt);
  EXPECT_EQ(GradeForQuestion(QuestionKind::kMultipleChoice, QuestionOutcome::kRight, 0),
            std::nullopt);
}

ScheduledProblem Problem(const char* set, int index, double stability, UnixSeconds last) {
  const Scheduler scheduler;
  return {{set, index},
          {stability, 5.0, last, last + scheduler.IntervalDays(stability) * kSecondsPerDay}};
}

TEST(PracticeTest, DueFirstLowestRetrievabilityFirstThenNew) {
  const UnixSeconds now = Day(30);
  std::vector<ScheduledProblem> states = {
      Problem("a", 1, 10.0, Day(20)),  // due day 30, t = 10: R = 0.9
      Problem("a", 2, 10.0, Day(0)),   // due day 10, t = 30: R = 3.941039^-0.1542 = 0.809388
      Problem("b", 1, 40.0, Day(25)),  // due day 65: not due
      Problem("b", 2, 3.0, Day(25)),   // due day 28, t = 5: R = 2.633911^-0.1542 = 0.861278
  };
  const std::vector<ProblemKey> fresh = {{"c", 1}, {"c", 2}, {"c", 3}};
  const auto practice = SelectTodaysPractice(states, fresh, now, 0, Scheduler(), 10);
  ASSERT_TRUE(practice.ok());
  const std::vector<ProblemKey> expected = {{"a", 2}, {"b", 2}, {"a", 1},
                                            {"c", 1}, {"c", 2}, {"c", 3}};
  EXPECT_EQ(practice->problems, expected);
  EXPECT_EQ(practice->review_count, 3);
  EXPECT_EQ(practice->new_count, 3);
  EXPECT_EQ(practice->due_count, 3);
}

TEST(PracticeTest, TheLimitCutsReviewsThenNewProblems) {
  std::vector<ScheduledProblem> states;
  for (int i = 1; i <= 30; ++i) states.push_back(Problem("a", i, 1.0 + i, Day(0)));
  std::vector<ProblemKey> fresh;
  for (int i = 1; i <= 30; ++i) fresh.push_back({"n", i});
  const auto full = SelectTodaysPractice(states, fresh, Day(100), 0, Scheduler(), 20);
  ASSERT_TRUE(full.ok());
  ASSERT_EQ(full->problems.size(), 20u);
  EXPECT_EQ(full->review_count, 20);
  EXPECT_EQ(full->new_count, 0);
  EXPECT_EQ(full->due_count, 30);
  EXPECT_EQ(full->problems.front(), (ProblemKey{"a", 1}));  // smallest stability, lowest R
  EXPECT_EQ(full->problems.back(), (ProblemKey{"a", 20}));
  const auto topped = SelectTodaysPractice(std::span(states).first(15), fresh, Day(100), 0,
                                           Scheduler(), 20);
  EXPECT_EQ(topped->review_count, 15);
  EXPECT_EQ(topped->new_count, 5);
  EXPECT_FALSE(SelectTodaysPractice(states, fresh, Day(100), 0, Scheduler(), 9).ok());
  EXPECT_FALSE(SelectTodaysPractice(states, fresh, Day(100), 0, Scheduler(), 51).ok());
}

TEST(PracticeTest, ForecastCountsEachDayPerSet) {
  const std::vector<ScheduledProblem> states = {
      Problem("b", 1, 3.0, Day(0)),    // due day 3: overdue on day 5, counted today
      Problem("a", 1, 10.0, Day(0)),   // due day 10: 5 days ahead
      Problem("a", 2, 10.0, Day(1)),   // due day 11: 6 days ahead
      Problem("a", 3, 100.0, Day(0)),  // due day 100: past the 14 days
  };
  const auto forecast = ForecastBySet(states, Day(5), 0, Scheduler());
  ASSERT_EQ(forecast.size(), 2u);
  EXPECT_EQ(forecast[0].set_hash, "a");
  EXPECT_EQ(forecast[0].due_per_day[5], 1);
  EXPECT_EQ(forecast[0].due_per_day[6], 1);
  int total = 0;
  for (int n : forecast[0].due_per_day) total += n;
  EXPECT_EQ(total, 2);
  EXPECT_EQ(forecast[1].set_hash, "b");
  EXPECT_EQ(forecast[1].due_per_day[0], 1);
}

TEST(MasteryTest, NineOfTheLastTen) {
  EXPECT_EQ(*MasteryOf({}), Mastery::kNotStarted);
  bool answers[12] = {false, false, true, true, true, true, true, true, true, true, false, true};
  EXPECT_EQ(*MasteryOf(std::span(answers, 11)), Mastery::kPracticing);  // 8 of the last 10
  EXPECT_EQ(*MasteryOf(std::span(answers, 12)), Mastery::kMastered);    // 9 of the last 10
  EXPECT_EQ(*MasteryOf(std::span(answers, 12), {3, 3}), Mastery::kPracticing);
  EXPECT_EQ(*MasteryOf(std::span(answers + 2, 9)), Mastery::kPracticing);  // 8 right so far
  EXPECT_FALSE(MasteryOf(std::span(answers, 12), {11, 10}).ok());
  EXPECT_FALSE(MasteryOf(std::span(answers, 12), {0, 10}).ok());
  EXPECT_STREQ(MasteryLabel(Mastery::kNotStarted), "未");
  EXPECT_STREQ(MasteryLabel(Mastery::kMastered), "習得");
}

}  // namespace
}  // namespace rekendo::schedule
