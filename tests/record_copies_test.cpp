// Two copies of the program on one record file: whose rounds each copy writes.
#include "record_schema.h"
#include "record_support.h"
#include "round_recorder.h"

namespace rekendo::testing {
namespace {

using record::kFirstLearnerId;
using record::Record;
using record::RecordOptions;
using record::RoundRecorder;

// One finished round of three problems, all right.
void PlayRound(Record& record, const std::string& problems, std::function<qint64()> clock) {
  RoundRecorder recorder(record, std::move(clock));
  Drive drive(recorder);
  drive.Load(problems);
  drive.Start();
  for (int n = 1; n <= 3; ++n) drive.Problem(n, n - 1, QuestionOutcome::kRight);
  drive.End(RoundEnd::kFinished, 30, 3);
}

TEST_F(RecordTest, EachCopyKeepsTheLearnerItChose) {
  const std::string problems = WriteProblems();
  RecordOptions options;
  options.first_learner_name = QStringLiteral("はなこ");
  Record a(Folder(), options);
  ASSERT_TRUE(a.Open());
  const auto taro = a.AddLearner(QStringLiteral("たろう"));
  ASSERT_TRUE(taro);
  Record b(Folder());
  ASSERT_TRUE(b.Open());

  // A chooses Taro, then B chooses Hanako: A's rounds stay Taro's, B's are Hanako's.
  ASSERT_TRUE(a.SetCurrentLearner(*taro));
  ASSERT_TRUE(b.SetCurrentLearner(kFirstLearnerId));
  EXPECT_EQ(a.CurrentLearnerId(), *taro);
  EXPECT_EQ(b.CurrentLearnerId(), kFirstLearnerId);
  PlayRound(a, problems, Clock());
  PlayRound(a, problems, Clock());
  PlayRound(b, problems, Clock());
  {
    Peek peek(RecordFile());
    EXPECT_EQ(peek.Rows("SELECT learner_id, COUNT(*) FROM rounds GROUP BY learner_id ORDER BY 1"),
              (std::vector<QVariantList>{{kFirstLearnerId, 1}, {*taro, 2}}));
    EXPECT_EQ(peek.Value(QStringLiteral("SELECT SUM(times_asked) FROM problem_stats WHERE "
                                        "learner_id = %1").arg(*taro)).toInt(), 6);
  }
  const auto a_sets = a.SetSummaries();
  ASSERT_TRUE(a_sets && a_sets->size() == 1u);
  EXPECT_EQ(a_sets->front().rounds, 2);

  // A copy started now takes the choice saved last.
  {
    Record c(Folder());
    ASSERT_TRUE(c.Open());
    EXPECT_EQ(c.CurrentLearnerId(), kFirstLearnerId);
  }

  // Taro removed by B: A plays as the first learner, and a new learner who is given Taro's
  // freed id is not taken for him.
  ASSERT_TRUE(b.RemoveLearner(*taro));
  EXPECT_EQ(a.CurrentLearnerId(), kFirstLearnerId);
  const auto jiro = b.AddLearner(QStringLiteral("じろう"));
  ASSERT_TRUE(jiro);
  EXPECT_EQ(a.CurrentLearnerId(), kFirstLearnerId);
}

}  // namespace
}  // namespace rekendo::testing
