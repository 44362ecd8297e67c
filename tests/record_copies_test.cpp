// Two copies of the program on one record file (two Record objects, or a second process that
// is killed), and what a damaged record gives back: whose rounds a copy writes, what the class
// still receives, and which rows survive the move aside.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <filesystem>
#include <memory>

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

class DamagedCopy : public RecordTest {
 protected:
  void KillMidRound(int closed) {
    const int status = rekendo::testing::KillMidRound(Folder(), WriteProblems(), [closed](Drive& drive) {
      for (int n = 1; n <= closed; ++n) drive.Problem(n, n % 3, QuestionOutcome::kRight);
    });
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
  }
  // Overwrites the first page of the table or index `name` with noise.
  void Damage(const char* name) {
    qint64 page = 0;
    {
      Peek peek(RecordFile(), QStringLiteral("pages"));
      ASSERT_TRUE(peek.Exec(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)")));
      page = peek.Value(QStringLiteral("SELECT rootpage FROM sqlite_master WHERE name = '%1'")
                            .arg(QLatin1String(name))).toLongLong();
    }
    ASSERT_GT(page, 1);
    QFile file(RecordFile());
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.seek((page - 1) * 4096));
    file.write(QByteArray(4096, '\x5A'));
  }
};

TEST_F(DamagedCopy, ARoundKilledInADamagedRecordIsQueuedForTheClassLikeAnyClosedRound) {
  KillMidRound(3);
  Damage("rounds_by_set_time");
  Record record(Folder());
  ASSERT_TRUE(record.Open());
  EXPECT_TRUE(record.Notice().contains(QStringLiteral("読めた 1 回分（3 問）")))
      << record.Notice().toStdString();
  Peek peek(RecordFile());
  EXPECT_EQ(peek.Rows("SELECT r.ending, r.uuid IS NOT NULL, COUNT(q.number) FROM rounds r "
                      "JOIN upload_queue u ON u.round_id = r.id "
                      "LEFT JOIN questions q ON q.round_id = r.id GROUP BY r.id"),
            (std::vector<QVariantList>{{QStringLiteral("unfinished"), 1, 3}}));
}

TEST_F(DamagedCopy, QuestionsWhoseRoundIsLostComeBackInARebuiltRound) {
  const std::string problems = WriteProblems();
  {
    Record record(Folder());
    for (int i = 0; i < 3; ++i) PlayRound(record, problems, Clock());
    ASSERT_FALSE(record.Error());
  }
  const QString hash = Sha256Of(ProblemFileBytes());
  Damage("rounds");
  Record record(Folder());
  ASSERT_TRUE(record.Open());
  EXPECT_TRUE(record.Notice().contains(QStringLiteral("読めた 3 回分（9 問）")))
      << record.Notice().toStdString();
  Peek peek(RecordFile());
  // Each round made again in its own set (told by the tallies), left unfinished and never
  // sent, since its name on the class server was lost with it.
  EXPECT_EQ(peek.Rows("SELECT set_hash, ending, uuid, learner_id, COUNT(*) FROM rounds "
                      "GROUP BY set_hash, ending, uuid, learner_id"),
            (std::vector<QVariantList>{{hash, QStringLiteral("unfinished"), QVariant(),
                                        kFirstLearnerId, 3}}));
  EXPECT_EQ(peek.Value("SELECT COUNT(*) FROM questions").toInt(), 9);
  EXPECT_EQ(peek.Value("SELECT COUNT(*) FROM upload_queue").toInt(), 0);
  // Tallies and memory are what the questions say.
  EXPECT_EQ(peek.Rows("SELECT bank_index, times_asked, times_right FROM problem_stats "
                      "ORDER BY bank_index"),
            (std::vector<QVariantList>{{0, 3, 3}, {1, 3, 3}, {2, 3, 3}}));
  EXPECT_EQ(peek.Value("SELECT SUM(reviews) FROM memory_states").toInt(), 9);
  // 成績 shows the set with its unfinished rounds.
  const auto sets = record.SetSummaries();
  ASSERT_TRUE(sets && sets->size() == 1u);
  EXPECT_EQ(sets->front().unfinished, 3);
}

TEST_F(DamagedCopy, ACopyNeverMovesAsideARecordAnotherCopyHoldsOpen) {
  const std::string problems = WriteProblems();
  auto first = std::make_unique<Record>(Folder());
  PlayRound(*first, problems, Clock());
  Damage("rounds_by_set_time");
  const auto asides = [&] {
    return QDir(Folder()).entryList({QStringLiteral("record.sqlite3.corrupt-*")}, QDir::Files);
  };
  Record second(Folder());
  EXPECT_FALSE(second.Open());
  ASSERT_TRUE(second.Error());
  EXPECT_EQ(second.Error()->code, ErrorCode::kCorrupt);
  EXPECT_TRUE(second.Notice().contains(QStringLiteral("ほかのプログラムが開いている")))
      << second.Notice().toStdString();
  EXPECT_TRUE(asides().isEmpty());
  // Once the other copy is gone, the damage is moved aside as always.
  first.reset();
  EXPECT_TRUE(second.Open());
  EXPECT_EQ(asides().size(), 1);
}

TEST_F(DamagedCopy, AnotherProcessWithTheRecordOpenKeepsItFromBeingMovedUntilItIsGone) {
  KillMidRound(0);  // leaves nothing open: only makes the record
  int fds[2];
  ASSERT_EQ(::pipe(fds), 0);
  const pid_t holder = ::fork();
  ASSERT_GE(holder, 0);
  if (holder == 0) {
    ::close(fds[0]);
    Record record(Folder());
    const char ready = record.Open() ? 'R' : 'E';
    (void)!::write(fds[1], &ready, 1);
    for (;;) ::pause();
  }
  ::close(fds[1]);
  char ready = 0;
  ASSERT_EQ(::read(fds[0], &ready, 1), 1);
  ::close(fds[0]);
  ASSERT_EQ(ready, 'R');
  Damage("rounds_by_set_time");
  Record record(Folder());
  EXPECT_FALSE(record.Open());
  EXPECT_TRUE(record.Notice().contains(QStringLiteral("ほかのプログラムが開いている")));
  EXPECT_TRUE(QDir(Folder()).entryList({QStringLiteral("record.sqlite3.corrupt-*")}).isEmpty());
  // Killed, the other process's lock goes with it.
  ::kill(holder, SIGKILL);
  ::waitpid(holder, nullptr, 0);
  EXPECT_TRUE(record.Open());
  EXPECT_EQ(QDir(Folder()).entryList({QStringLiteral("record.sqlite3.corrupt-*")}).size(), 1);
}

// Plays a round, then lets `away` take the file from under the copy, then plays another.
class MovedUnderACopy : public RecordTest {
 protected:
  void PlayAroundIt(const std::function<void()>& away) {
    const std::string problems = WriteProblems();
    Record record(Folder());
    PlayRound(record, problems, Clock());
    away();
    PlayRound(record, problems, Clock());
    EXPECT_FALSE(record.Error()) << record.Error()->Describe();
    EXPECT_TRUE(record.Notice().contains(QStringLiteral("移されたか消されていました")))
        << record.Notice().toStdString();
    const auto sets = record.SetSummaries();
    ASSERT_TRUE(sets && sets->size() == 1u);
    EXPECT_EQ(sets->front().rounds, 1);
    Peek peek(RecordFile());
    EXPECT_EQ(peek.Value("SELECT COUNT(*) FROM rounds WHERE ending = 'finished'").toInt(), 1);
  }
};

TEST_F(MovedUnderACopy, AFileMovedAwayIsNoticedAndTheNextRoundGoesToTheLiveRecord) {
  const QString moved = QString::fromStdString((dir.path() / "moved.sqlite3").string());
  PlayAroundIt([&] {
    for (const char* suffix : {"", "-wal", "-shm"}) {
      QFile::rename(RecordFile() + QLatin1String(suffix), moved + QLatin1String(suffix));
    }
  });
  // The first round stayed with the file that was moved.
  Peek old(moved, QStringLiteral("moved"));
  EXPECT_EQ(old.Value("SELECT COUNT(*) FROM rounds").toInt(), 1);
}

TEST_F(MovedUnderACopy, AFolderDeletedIsMadeAgainForTheNextRound) {
  PlayAroundIt([&] { std::filesystem::remove_all(Folder().toStdString()); });
}

TEST_F(MovedUnderACopy, ARoundUnderWayGoesOnInTheLiveRecord) {
  const std::string problems = WriteProblems();
  Record record(Folder());
  RoundRecorder recorder(record, Clock());
  Drive drive(recorder);
  drive.Load(problems);
  drive.Start();
  drive.Problem(1, 0, QuestionOutcome::kRight);
  std::filesystem::remove_all(Folder().toStdString());
  drive.Problem(2, 1, QuestionOutcome::kRight);
  drive.Problem(3, 2, QuestionOutcome::kWrongAtTimeUp);
  drive.End(RoundEnd::kFinished, 20, 2);
  EXPECT_FALSE(record.Error()) << record.Error()->Describe();
  EXPECT_TRUE(record.Notice().contains(QStringLiteral("移されたか消されていました")));
  Peek peek(RecordFile());
  EXPECT_EQ(peek.Rows("SELECT r.ending, r.score, COUNT(q.number), COUNT(u.round_id) FROM rounds r "
                      "JOIN questions q ON q.round_id = r.id "
                      "LEFT JOIN upload_queue u ON u.round_id = r.id GROUP BY r.id"),
            (std::vector<QVariantList>{{QStringLiteral("finished"), 20, 2, 2}}));
  EXPECT_EQ(peek.Value("SELECT SUM(times_asked) FROM problem_stats").toInt(), 2);
}

}  // namespace
}  // namespace rekendo::testing
