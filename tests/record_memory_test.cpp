// Every graded answer moves its problem's memory: a miss comes back the next day, answers
// right push it further out, and an older record learns the same from its history.
#include "fsrs.h"
#include "record_schema.h"
#include "record_support.h"
#include "round_recorder.h"

namespace rekendo::testing {
namespace {

using record::Record;
using record::RoundRecorder;

constexpr qint64 kDayMs = 86'400'000;
constexpr schedule::UtcOffset kJapan = 9 * 3600;

// Memory of (set, index) for learner 1: its due day on the learner's calendar, reviews and lapses.
struct Memory {
  std::int64_t due_day = 0;
  int reviews = 0;
  int lapses = 0;
};

std::optional<Memory> MemoryOf(const QString& record_file, int index) {
  Peek peek(record_file, QStringLiteral("memory"));
  const auto rows = peek.Rows(QStringLiteral(
      "SELECT due, reviews, lapses FROM memory_states WHERE learner_id = 1 AND bank_index = %1")
                                  .arg(index));
  if (rows.empty()) return std::nullopt;
  return Memory{schedule::CalendarDay(rows[0][0].toLongLong(), kJapan), rows[0][1].toInt(),
                rows[0][2].toInt()};
}

class MemoryTest : public RecordTest {
 protected:
  record::RecordOptions Options() const {
    record::RecordOptions options;
    options.schedule.utc_offset = kJapan;
    return options;
  }
  // One round at `when` (ms) whose questions are (index, outcome, wrong tries).
  void PlayAt(Record& record, qint64 when,
              const std::vector<std::tuple<int, QuestionOutcome, int>>& questions) {
    RoundRecorder recorder(record, [when] { return when; });
    Drive drive(recorder);
    drive.Load(problems_);
    drive.Start();
    int number = 0;
    for (const auto& [index, outcome, tries] : questions) {
      drive.Ask(++number, QuestionKind::kProblem, index, "１＋１", "２");
      drive.Close(number, outcome, "", tries, 3);
    }
    drive.End(RoundEnd::kFinished, 0, 0);
    ASSERT_FALSE(record.Error()) << record.Error()->Describe();
  }
  std::int64_t Day(qint64 ms) const { return schedule::CalendarDay(ms / 1000, kJapan); }

  std::string problems_ = WriteProblems();
  // 2026-12-01 10:00 in Japan.
  qint64 morning_ = 1'796'086'800'000;
};

TEST_F(MemoryTest, AMissTodayIsDueTomorrowAndOnlyGradedAnswersCount) {
  Record record(Folder(), Options());
  PlayAt(record, morning_, {{1, QuestionOutcome::kWrongAtTimeUp, 0},
                            {2, QuestionOutcome::kLeft, 0},
                            {3, QuestionOutcome::kOpenAtEnd, 0}});
  const auto missed = MemoryOf(RecordFile(), 1);
  ASSERT_TRUE(missed);
  EXPECT_EQ(missed->due_day, Day(morning_) + 1);
  EXPECT_EQ(missed->reviews, 1);
  EXPECT_EQ(missed->lapses, 1);
  // Left with Next Question, or open when the round ended: no review, no memory.
  EXPECT_FALSE(MemoryOf(RecordFile(), 2));
  EXPECT_FALSE(MemoryOf(RecordFile(), 3));
}

TEST_F(MemoryTest, TriviaIsNeverScheduled) {
  Record record(Folder(), Options());
  RoundRecorder recorder(record, [this] { return morning_; });
  Drive drive(recorder);
  drive.Load(problems_);
  drive.Start();
  drive.Ask(1, QuestionKind::kTrivia, 1, "１ダースは？", "１２");
  drive.Close(1, QuestionOutcome::kRight, "１２");
  drive.End(RoundEnd::kFinished, 10, 1);
  Peek peek(RecordFile());
  EXPECT_EQ(peek.Value("SELECT COUNT(*) FROM memory_states").toInt(), 0);
}

TEST_F(MemoryTest, RightOnLaterDaysMovesTheDueDateFurtherOut) {
  Record record(Folder(), Options());
  qint64 when = morning_;
  std::int64_t gap = 0;
  for (int review = 1; review <= 5; ++review) {
    PlayAt(record, when, {{2, QuestionOutcome::kRight, 0}});
    const auto memory = MemoryOf(RecordFile(), 2);
    ASSERT_TRUE(memory);
    EXPECT_EQ(memory->reviews, review);
    const std::int64_t next_gap = memory->due_day - Day(when);
    EXPECT_GT(next_gap, gap) << "review " << review;
    gap = next_gap;
    when += gap * kDayMs;  // answered on the day it comes due
  }
  EXPECT_GT(gap, 30);
  // Right only after wrong tries is a hard recall: sooner than a clean one, later than a miss.
  PlayAt(record, when, {{2, QuestionOutcome::kRight, 2}});
  const std::int64_t hard_gap = MemoryOf(RecordFile(), 2)->due_day - Day(when);
  EXPECT_GT(hard_gap, 1);
  EXPECT_LT(hard_gap, gap * 3);
}

TEST_F(MemoryTest, TheLearnersCalendarDecidesWhenADayHasPassed) {
  // 23:50 and 00:10 in Japan: a day later for the learner, though only 20 minutes.
  const qint64 late = morning_ + (13 * 60 + 50) * 60'000;
  Record record(Folder(), Options());
  PlayAt(record, late, {{1, QuestionOutcome::kWrongAtTimeUp, 0}});
  EXPECT_EQ(MemoryOf(RecordFile(), 1)->due_day, Day(late) + 1);
  PlayAt(record, late + 20 * 60'000, {{1, QuestionOutcome::kRight, 0}});
  EXPECT_EQ(Day(late + 20 * 60'000), Day(late) + 1);
  EXPECT_GT(MemoryOf(RecordFile(), 1)->due_day, Day(late) + 2);
}

TEST_F(MemoryTest, AHigherRetentionBringsProblemsBackSooner) {
  std::vector<std::int64_t> gaps;
  for (const double retention : {0.80, 0.95}) {
    record::RecordOptions options = Options();
    options.schedule.scheduler = *schedule::Scheduler::Create(retention);
    Record record(Folder(), options);
    ASSERT_TRUE(record.Open());
    ASSERT_TRUE(record.DeleteAll());
    PlayAt(record, morning_, {{3, QuestionOutcome::kRight, 0}});
    PlayAt(record, morning_ + 3 * kDayMs, {{3, QuestionOutcome::kRight, 0}});
    gaps.push_back(MemoryOf(RecordFile(), 3)->due_day - Day(morning_ + 3 * kDayMs));
  }
  EXPECT_GT(gaps[0], gaps[1]);
}

TEST_F(MemoryTest, AnOlderRecordReplaysItsHistoryToTheSameMemory) {
  const auto states = [this] {
    Peek peek(RecordFile(), QStringLiteral("states"));
    return peek.Rows(QStringLiteral(
        "SELECT learner_id, bank_index, stability, difficulty, last_review, due, reviews, lapses "
        "FROM memory_states ORDER BY bank_index"));
  };
  std::vector<QVariantList> live;
  {
    Record record(Folder(), Options());
    PlayAt(record, morning_, {{1, QuestionOutcome::kWrongAtTimeUp, 0},
                              {2, QuestionOutcome::kRight, 0},
                              {3, QuestionOutcome::kLeft, 0}});
    PlayAt(record, morning_ + kDayMs, {{1, QuestionOutcome::kRight, 1},
                                       {2, QuestionOutcome::kRight, 0}});
    PlayAt(record, morning_ + 4 * kDayMs, {{2, QuestionOutcome::kWrongAtTimeUp, 0},
                                           {3, QuestionOutcome::kRight, 0}});
    live = states();
    ASSERT_EQ(live.size(), 3u);
  }
  BackToVersionThree(RecordFile());
  std::vector<std::pair<qint64, qint64>> told;
  record::RecordOptions options = Options();
  options.replay_progress = [&told](qint64 done, qint64 total) { told.emplace_back(done, total); };
  Record record(Folder(), options);
  ASSERT_TRUE(record.Open());
  ASSERT_FALSE(record.Error()) << record.Error()->Describe();
  EXPECT_EQ(states(), live);
  ASSERT_FALSE(told.empty());
  EXPECT_EQ(told.back(), (std::pair<qint64, qint64>{6, 6}));
}

// A record whose memory was worked out before a same-day Hard kept its stability is worked out
// again at start; answers given in a practice copy count for the problem they came from.
TEST_F(MemoryTest, MemoryFromBeforeTheSameDayRuleIsWorkedOutAgain) {
  const auto states = [this] {
    Peek peek(RecordFile(), QStringLiteral("states"));
    return peek.Rows(QStringLiteral(
        "SELECT learner_id, set_hash, bank_index, stability, difficulty, last_review, due, "
        "reviews, lapses FROM memory_states ORDER BY set_hash, bank_index"));
  };
  std::string copy = dir.Write("今日の練習.mon", ProblemFileBytes() + Sjis("３＋３\r\n６\r\n"));
  std::vector<QVariantList> live;
  {
    Record record(Folder(), Options());
    PlayAt(record, morning_, {{1, QuestionOutcome::kRight, 0}, {2, QuestionOutcome::kRight, 0}});
    PlayAt(record, morning_ + 9 * kDayMs,
           {{1, QuestionOutcome::kWrongAtTimeUp, 0}, {2, QuestionOutcome::kRight, 0}});
    // The copy's first problem is problem 1 of the set; answered Hard the same day as the lapse.
    {
      Peek peek(RecordFile(), QStringLiteral("origins"));
      ASSERT_TRUE(peek.Exec(QStringLiteral(
          "INSERT INTO practice_problems VALUES ('%1', 1, '%2', 1)")
                                .arg(Sha256Of(ProblemFileBytes() + Sjis("３＋３\r\n６\r\n")),
                                     Sha256Of(ProblemFileBytes()))));
    }
    problems_ = copy;
    PlayAt(record, morning_ + 9 * kDayMs + 3'600'000, {{1, QuestionOutcome::kRight, 2}});
    live = states();
    ASSERT_EQ(live.size(), 2u);  // the copy's answer went to the set's problem 1
  }
  {
    // As an older program left it: the same-day Hard shrank problem 1's stability.
    Peek peek(RecordFile(), QStringLiteral("old"));
    ASSERT_TRUE(peek.Exec(QStringLiteral("UPDATE memory_states SET stability = stability / 2")));
    ASSERT_TRUE(peek.Exec(QStringLiteral("PRAGMA user_version = 5")));
  }
  Record record(Folder(), Options());
  ASSERT_TRUE(record.Open());
  ASSERT_FALSE(record.Error()) << record.Error()->Describe();
  EXPECT_EQ(states(), live);
  EXPECT_EQ(Peek(RecordFile(), QStringLiteral("version")).Value("PRAGMA user_version").toInt(),
            record::kSchemaVersion);
}

}  // namespace
}  // namespace rekendo::testing
