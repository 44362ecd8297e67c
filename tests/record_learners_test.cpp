// Learners sharing one record: what 成績 reads is one learner's alone, the teacher's changes
// (adding, renaming, removing with every row of theirs), the PIN kept only as a hash, and
// every closed round waiting in the upload queue.
#include <QDir>

#include "practice_set.h"
#include "record_queries.h"
#include "record_schema.h"
#include "record_support.h"
#include "round_recorder.h"
#include "set_view.h"
#include "teacher_pin.h"

namespace rekendo::testing {
namespace {

using namespace record;

class LearnersTest : public RecordTest {
 protected:
  void SetUp() override {
    RecordOptions options;
    options.first_learner_name = QStringLiteral("はなこ");
    record = std::make_unique<Record>(Folder(), options);
    ASSERT_TRUE(record->Open());
    peek_ = std::make_unique<Peek>(RecordFile());
    path = WriteProblems();
  }
  // A finished round of three problems through the recorder: `right` of them right.
  void PlayRound(int right) {
    RoundRecorder recorder(*record, Clock());
    Drive drive(recorder);
    drive.Load(path);
    drive.Start();
    for (int number = 1; number <= 3; ++number) {
      drive.Problem(number, number - 1,
                    number <= right ? QuestionOutcome::kRight : QuestionOutcome::kWrongAtTimeUp);
    }
    drive.End(RoundEnd::kFinished, right * 10, right);
  }
  qint64 Add(const char* name) {
    const auto id = record->AddLearner(QString::fromUtf8(name));
    EXPECT_TRUE(id) << id.error().Describe();
    return id ? *id : 0;
  }

  std::unique_ptr<Record> record;
  // A second connection, to read rows as another program would.
  const Peek& peek() const { return *peek_; }
  std::string path;

 private:
  std::unique_ptr<Peek> peek_;
};

TEST_F(LearnersTest, TwoLearnersRoundsNeverMixInWhat成績Reads) {
  PlayRound(3);
  PlayRound(3);
  const qint64 taro = Add("たろう");
  ASSERT_TRUE(record->SetCurrentLearner(taro));
  PlayRound(0);

  // Taro sees his one round, his misses, his score.
  auto sets = record->SetSummaries();
  ASSERT_TRUE(sets);
  ASSERT_EQ(sets->size(), 1u);
  const QString hash = (*sets)[0].hash;
  EXPECT_EQ((*sets)[0].rounds, 1);
  EXPECT_EQ((*sets)[0].best, 0);
  EXPECT_EQ(record->ScoreSeries(hash, 10)->size(), 1u);
  EXPECT_EQ(record->RecentRounds(hash, 10)->size(), 1u);
  ASSERT_EQ(record->MostMissed(hash, 10)->size(), 3u);
  EXPECT_EQ((*record->MostMissed(hash, 10))[0].asked, 1);
  const auto taro_view = ReadSetView(RecordFile(), taro, hash, {100, 50, 200});
  ASSERT_TRUE(taro_view);
  EXPECT_EQ(taro_view->rounds.size(), 1u);
  EXPECT_EQ(taro_view->missed.size(), 3u);

  // Hanako's two perfect rounds are hers alone: nothing missed, nothing to practise.
  ASSERT_TRUE(record->SetCurrentLearner(kFirstLearnerId));
  sets = record->SetSummaries();
  ASSERT_EQ(sets->size(), 1u);
  EXPECT_EQ((*sets)[0].rounds, 2);
  EXPECT_EQ((*sets)[0].average, 30.0);
  EXPECT_TRUE(record->MostMissed(hash, 10)->empty());
  EXPECT_EQ(record->RecentRounds(hash, 10)->size(), 2u);
  const auto practice = WritePracticeSet(*record, hash, QStringLiteral("かけ算.mon"), 10);
  ASSERT_FALSE(practice);
  EXPECT_EQ(practice.error().code, ErrorCode::kNotFound);
  const auto hanako_view = ReadSetView(RecordFile(), kFirstLearnerId, hash, {100, 50, 200});
  ASSERT_TRUE(hanako_view);
  EXPECT_EQ(hanako_view->rounds.size(), 2u);
  EXPECT_TRUE(hanako_view->missed.empty());

  // The choice holds for a new program on the same file.
  ASSERT_TRUE(record->SetCurrentLearner(taro));
  Record again(Folder());
  ASSERT_TRUE(again.Open());
  EXPECT_EQ(again.CurrentLearnerId(), taro);
  EXPECT_EQ(peek().Value("SELECT COUNT(*) FROM rounds WHERE learner_id = 1").toInt(), 2);
}

TEST_F(LearnersTest, NamesAreTrimmedAndNeverEmptyOrTwice) {
  const qint64 taro = Add("  たろう ");
  EXPECT_EQ(peek().Value("SELECT name FROM learners WHERE id = " + QString::number(taro)).toString(),
            QStringLiteral("たろう"));
  for (const char* bad : {"", "   ", "たろう", "はなこ"}) {
    const auto added = record->AddLearner(QString::fromUtf8(bad));
    ASSERT_FALSE(added) << bad;
    EXPECT_EQ(added.error().code, ErrorCode::kInvalidInput);
  }
  EXPECT_FALSE(record->RenameLearner(taro, QStringLiteral("はなこ")));
  ASSERT_TRUE(record->RenameLearner(taro, QStringLiteral("じろう")));
  EXPECT_TRUE(record->RenameLearner(taro, QStringLiteral("じろう")));  // its own name is fine
  EXPECT_EQ(record->RenameLearner(999, QStringLiteral("だれか")).error().code, ErrorCode::kNotFound);
  const auto learners = record->Learners();
  ASSERT_EQ(learners->size(), 2u);
  EXPECT_EQ((*learners)[0].name, QStringLiteral("じろう"));
}

TEST_F(LearnersTest, AClassRoleIsAnAsciiRoleNameOrNone) {
  EXPECT_EQ(*record->LearnerClassRole(kFirstLearnerId), QString());
  ASSERT_TRUE(record->SetLearnerClassRole(kFirstLearnerId, QStringLiteral(" s2026_01 ")));
  EXPECT_EQ(*record->LearnerClassRole(kFirstLearnerId), QStringLiteral("s2026_01"));
  for (const char* bad : {"山田", "s 01", "x'; DROP TABLE rounds; --", "1abc"}) {
    const Status refused = record->SetLearnerClassRole(kFirstLearnerId, QString::fromUtf8(bad));
    ASSERT_FALSE(refused) << bad;
    EXPECT_EQ(refused.error().code, ErrorCode::kInvalidInput);
  }
  EXPECT_EQ(*record->LearnerClassRole(kFirstLearnerId), QStringLiteral("s2026_01"));
  ASSERT_TRUE(record->SetLearnerClassRole(kFirstLearnerId, {}));
  EXPECT_TRUE(peek().Value("SELECT class_role FROM learners WHERE id = 1").isNull());
  EXPECT_EQ(record->SetLearnerClassRole(99, QStringLiteral("x")).error().code, ErrorCode::kNotFound);
}

TEST_F(LearnersTest, RemovingALearnerTakesEveryRowOfTheirsAndNothingElse) {
  PlayRound(1);
  const qint64 taro = Add("たろう");
  ASSERT_TRUE(record->SetCurrentLearner(taro));
  PlayRound(2);
  PlayRound(2);
  EXPECT_EQ(*record->LearnerRoundCount(taro), 2);
  EXPECT_EQ(*record->LearnerRoundCount(kFirstLearnerId), 1);

  // A round of his under way keeps him.
  {
    RoundRecorder recorder(*record, Clock());
    Drive drive(recorder);
    drive.Load(path);
    drive.Start();
    const Status refused = record->RemoveLearner(taro);
    ASSERT_FALSE(refused);
    EXPECT_EQ(refused.error().code, ErrorCode::kBusy);
  }
  EXPECT_EQ(*record->LearnerRoundCount(taro), 3);  // the one just left, unfinished

  ASSERT_TRUE(record->RemoveLearner(taro));
  const auto count = [&](const char* sql) { return peek().Value(QString::fromUtf8(sql)).toInt(); };
  EXPECT_EQ(count("SELECT COUNT(*) FROM learners"), 1);
  EXPECT_EQ(count("SELECT COUNT(*) FROM rounds"), 1);
  EXPECT_EQ(count("SELECT COUNT(*) FROM questions"), 3);
  EXPECT_EQ(count("SELECT COUNT(*) FROM upload_queue"), 1);
  EXPECT_EQ(count("SELECT COUNT(*) FROM problem_stats WHERE learner_id <> 1"), 0);
  EXPECT_EQ(count("SELECT SUM(times_asked) FROM problem_stats"), 3);
  // The one who played is gone: rounds from now are the first learner's again, and a new
  // learner does not inherit the choice.
  EXPECT_EQ(record->CurrentLearnerId(), kFirstLearnerId);
  const qint64 next = Add("じろう");
  EXPECT_EQ(record->CurrentLearnerId(), kFirstLearnerId) << next;

  ASSERT_TRUE(record->RemoveLearner(next));
  const Status last = record->RemoveLearner(kFirstLearnerId);
  ASSERT_FALSE(last);
  EXPECT_EQ(last.error().code, ErrorCode::kInvalidInput);
}

TEST_F(LearnersTest, ThePinIsKeptOnlyAsASaltedHash) {
  EXPECT_FALSE(record->TeacherPinHash());
  const QString hash = HashPin(QStringLiteral("2718"));
  ASSERT_TRUE(record->SetTeacherPinHash(hash));
  const QString stored =
      peek().Value("SELECT value FROM settings WHERE name = 'teacher_pin'").toString();
  EXPECT_EQ(stored, hash);
  EXPECT_FALSE(stored.contains(QStringLiteral("2718")));
  const QStringList parts = stored.split(QLatin1Char('$'));
  ASSERT_EQ(parts.size(), 4);
  EXPECT_EQ(parts[0], QStringLiteral("pbkdf2-sha256"));
  EXPECT_GE(parts[1].toInt(), 100000);
  EXPECT_EQ(parts[2].size(), 32);  // 16 bytes of salt
  EXPECT_EQ(parts[3].size(), 64);

  EXPECT_TRUE(PinMatches(QStringLiteral("2718"), *record->TeacherPinHash()));
  for (const char* wrong : {"", "2719", "27180", "２７１８"}) {
    EXPECT_FALSE(PinMatches(QString::fromUtf8(wrong), stored)) << wrong;
  }
  // Salted: the same PIN never hashes the same twice.
  EXPECT_NE(HashPin(QStringLiteral("2718")), hash);
  // A stored value turned down to a few iterations is no PIN at all.
  QStringList weakened = parts;
  weakened[1] = QStringLiteral("1");
  EXPECT_FALSE(PinMatches(QStringLiteral("2718"), weakened.join(QLatin1Char('$'))));
  EXPECT_FALSE(PinMatches(QStringLiteral("2718"), QStringLiteral("2718")));
  EXPECT_TRUE(NewPinProblem(QStringLiteral("123")));
  EXPECT_FALSE(NewPinProblem(QStringLiteral("1234")));
}

TEST_F(LearnersTest, EveryClosedRoundWaitsInTheUploadQueue) {
  PlayRound(2);  // finished
  {
    RoundRecorder recorder(*record, Clock());
    Drive drive(recorder);
    drive.Load(path);
    drive.Start();
    drive.Problem(1, 0, QuestionOutcome::kRight);
  }  // the program closes mid-round: unfinished
  EXPECT_EQ(peek().Value("SELECT COUNT(*) FROM upload_queue q JOIN rounds r ON r.id = q.round_id "
                       "WHERE r.ending IN ('finished', 'unfinished') AND q.tries = 0")
                .toInt(),
            2);
  // Killed mid-round: the round is queued when the next program finds it open.
  Record killed(Folder());
  ASSERT_TRUE(killed.Open());
  const auto id = killed.StartRound({Sha256Of(ProblemFileBytes()), QString::fromStdString(path),
                                     QStringLiteral("かけ算.mon"), 3, 5000});
  ASSERT_TRUE(id);
  EXPECT_EQ(peek().Value("SELECT COUNT(*) FROM upload_queue").toInt(), 2);
  Record next(Folder());
  ASSERT_TRUE(next.Open());
  EXPECT_EQ(peek().Value("SELECT COUNT(*) FROM upload_queue WHERE round_id = " +
                       QString::number(*id))
                .toInt(),
            1);
  EXPECT_EQ(peek().Value("SELECT ending FROM rounds WHERE id = " + QString::number(*id)).toString(),
            QStringLiteral("unfinished"));
}

}  // namespace
}  // namespace rekendo::testing
