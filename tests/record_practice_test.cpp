// 今日の練習 from the record: due problems first, then new ones of the set played last, in a
// file the drill reads back; answering it reviews the originals; and nothing to do is said.
#include <QDir>
#include <QFile>
#include <memory>

#include "record_support.h"
#include "round_recorder.h"
#include "practice_set.h"
#include "todays_practice.h"

namespace rekendo::testing {
namespace {

using record::Record;
using record::RoundRecorder;

constexpr qint64 kDayMs = 86'400'000;
constexpr qint64 kMorning = 1'796'086'800'000;  // 2026-12-01 10:00 in Japan

class PracticeTest : public RecordTest {
 protected:
  Record& TheRecord() {
    if (!record_) {
      record::RecordOptions options;
      options.schedule.utc_offset = 9 * 3600;
      record_ = std::make_unique<Record>(Folder(), options);
    }
    return *record_;
  }
  // A round of the file at `path` at `when`, questions (index, outcome).
  void Play(const std::string& path, qint64 when,
            const std::vector<std::pair<int, QuestionOutcome>>& questions, int pairs = 3) {
    RoundRecorder recorder(TheRecord(), [when] { return when; });
    Drive drive(recorder);
    drive.Load(path, pairs);
    drive.Start();
    int number = 0;
    for (const auto& [index, outcome] : questions) drive.Problem(++number, index, outcome);
    drive.End(RoundEnd::kFinished, 0, 0);
    ASSERT_FALSE(TheRecord().Error()) << TheRecord().Error()->Describe();
  }
  Result<record::TodaysPracticeFile> Practice(qint64 when, int limit = 20) {
    return record::WriteTodaysPractice(TheRecord(), when / 1000, limit);
  }
  int ReviewsOf(int index) {
    Peek peek(RecordFile(), QStringLiteral("reviews"));
    return peek.Value(QStringLiteral("SELECT reviews FROM memory_states WHERE set_hash = '%1' "
                                     "AND bank_index = %2")
                          .arg(Sha256Of(ProblemFileBytes()))
                          .arg(index))
        .toInt();
  }

  std::string problems_ = WriteProblems();
  std::unique_ptr<Record> record_;
};

std::string ReadBytes(const QString& path) {
  QFile file(path);
  file.open(QIODevice::ReadOnly);
  return file.readAll().toStdString();
}

TEST_F(PracticeTest, DueProblemsComeFirstThenTheNewOnesOfTheLastSet) {
  // Problem 1 missed, 2 right, 3 never asked.
  Play(problems_, kMorning, {{1, QuestionOutcome::kWrongAtTimeUp}, {2, QuestionOutcome::kRight}});
  const auto practice = Practice(kMorning + kDayMs);
  ASSERT_TRUE(practice) << practice.error().Describe();
  EXPECT_EQ(practice->reviews, 1);
  EXPECT_EQ(practice->fresh, 1);
  // The Shift-JIS lines as the teacher wrote them, CR LF, the review first.
  EXPECT_EQ(ReadBytes(practice->path), Sjis("１＋１\r\n２\r\n１０÷４\r\n２．５\r\n"));
  EXPECT_TRUE(practice->path.contains(QStringLiteral("/今日の練習/")));
}

TEST_F(PracticeTest, AnsweringThePracticeReviewsTheProblemsItWasMadeFrom) {
  Play(problems_, kMorning, {{1, QuestionOutcome::kWrongAtTimeUp}, {2, QuestionOutcome::kRight}});
  const auto practice = Practice(kMorning + kDayMs);
  ASSERT_TRUE(practice);
  const std::string copy = QFile::encodeName(practice->path).toStdString();
  Play(copy, kMorning + kDayMs, {{1, QuestionOutcome::kRight}, {2, QuestionOutcome::kRight}}, 2);
  EXPECT_EQ(ReviewsOf(1), 2);
  EXPECT_EQ(ReviewsOf(3), 1);
  Peek peek(RecordFile());
  EXPECT_EQ(peek.Value(QStringLiteral("SELECT COUNT(*) FROM memory_states WHERE set_hash = '%1'")
                           .arg(Sha256Of(ReadBytes(practice->path))))
                .toInt(),
            0);
  // The practice file is not "the set played last": its new problems are the original's.
  const auto next = Practice(kMorning + kDayMs);
  EXPECT_FALSE(next);
  EXPECT_EQ(next.error().code, ErrorCode::kNotFound);
  EXPECT_EQ(next.error().subject, problems_);
}

TEST_F(PracticeTest, AReviewSetOfTheMostMissedReviewsTheOriginalsToo) {
  Play(problems_, kMorning, {{1, QuestionOutcome::kWrongAtTimeUp}, {2, QuestionOutcome::kRight}});
  const auto missed =
      record::WritePracticeSet(TheRecord(), Sha256Of(ProblemFileBytes()), "かけ算.mon", 10);
  ASSERT_TRUE(missed) << missed.error().Describe();
  Play(QFile::encodeName(missed->path).toStdString(), kMorning + kDayMs,
       {{1, QuestionOutcome::kRight}}, 1);
  EXPECT_EQ(ReviewsOf(1), 2);
}

TEST_F(PracticeTest, NothingDueAndNothingNewIsSaidWithTheSetToOfferInstead) {
  Play(problems_, kMorning, {{1, QuestionOutcome::kRight}, {2, QuestionOutcome::kRight},
                             {3, QuestionOutcome::kRight}});
  const auto practice = Practice(kMorning + 1000);
  ASSERT_FALSE(practice);
  EXPECT_EQ(practice.error().code, ErrorCode::kNotFound);
  EXPECT_EQ(practice.error().subject, problems_);
  EXPECT_FALSE(QDir(Folder() + QStringLiteral("/今日の練習")).exists());
}

TEST_F(PracticeTest, AChangedSetFileGivesNoNewProblemsButTheReviewsStay) {
  Play(problems_, kMorning, {{1, QuestionOutcome::kWrongAtTimeUp}});
  dir.Write("かけ算.mon", Sjis("９＋９\r\n１８\r\n"));  // rewritten since
  const auto practice = Practice(kMorning + kDayMs);
  ASSERT_TRUE(practice) << practice.error().Describe();
  EXPECT_EQ(practice->reviews, 1);
  EXPECT_EQ(practice->fresh, 0);
  EXPECT_EQ(ReadBytes(practice->path), Sjis("１＋１\r\n２\r\n"));
}

TEST_F(PracticeTest, TheLimitHoldsAndTheMostOverdueComeFirst) {
  // 30 problems, all missed on day 0, then 1–15 missed again on day 5: those are due again
  // the day after, the others have waited longer.
  std::string bytes;
  for (int i = 1; i <= 30; ++i) bytes += Sjis(std::to_string(i) + "\r\n1\r\n");
  const std::string path = dir.Write("多い.mon", bytes);
  std::vector<std::pair<int, QuestionOutcome>> all, first_half;
  for (int i = 1; i <= 30; ++i) all.emplace_back(i, QuestionOutcome::kWrongAtTimeUp);
  for (int i = 1; i <= 15; ++i) first_half.emplace_back(i, QuestionOutcome::kWrongAtTimeUp);
  Play(path, kMorning, all, 30);
  Play(path, kMorning + 5 * kDayMs, first_half, 30);
  const auto practice = Practice(kMorning + 6 * kDayMs, 10);
  ASSERT_TRUE(practice) << practice.error().Describe();
  EXPECT_EQ(practice->reviews, 10);
  EXPECT_EQ(practice->fresh, 0);
  // Ten of 16–30, which have gone six days since their answer.
  Peek peek(RecordFile());
  const auto origins = peek.Rows(
      QStringLiteral("SELECT origin_index FROM practice_problems WHERE set_hash = '%1'")
          .arg(Sha256Of(ReadBytes(practice->path))));
  ASSERT_EQ(origins.size(), 10u);
  for (const auto& origin : origins) EXPECT_GT(origin[0].toInt(), 15);
}

}  // namespace
}  // namespace rekendo::testing
