// The recorder turns a drill's events into exactly the expected rows, keeps every closed
// question when the program is killed, and shares the file with a second program.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QFile>
#include <cstdio>

#include "drill.h"
#include "fake_view.h"
#include "record_support.h"
#include "round_recorder.h"

namespace rekendo::testing {
namespace {

using record::Record;
using record::RoundRecorder;

TEST_F(RecordTest, ScriptedRoundsGiveExactlyTheseRows) {
  const std::string path = WriteProblems();
  {
    Record record(Folder());
    RoundRecorder recorder(record, Clock());
    Drive drive(recorder);
    drive.Load(path);
    drive.Start();                                                             // t+1 s
    drive.Ask(1, QuestionKind::kProblem, 2, "２×３", "６$６．０");
    recorder.AnswerChecked(Sjis("５"), false);
    drive.Close(1, QuestionOutcome::kRight, "６", 1, 7);                       // t+2 s
    drive.Ask(2, QuestionKind::kTrivia, 4, "１ダースは？", "１２");
    drive.Close(2, QuestionOutcome::kWrongAtTimeUp, "", 0, 40);                // t+3 s
    drive.Ask(3, QuestionKind::kMultipleChoice, 9, "円周率は？ 1:3.14 2:2.71", "１");
    drive.Close(3, QuestionOutcome::kLeft, "", 0, 12);                         // t+4 s
    drive.End(RoundEnd::kFinished, 10, 1);                                     // t+5 s
    // A second round, cut short by choosing another file.
    drive.Start();                                                             // t+6 s
    drive.Ask(1, QuestionKind::kProblem, 3, "１０÷４", "２．５");
    drive.Load(WriteProblems("ほか.mon"));                                     // t+7 s, t+8 s
    EXPECT_FALSE(record.Error()) << record.Error()->Describe();
  }
  const qint64 t = 1'765'000'000'000;
  Peek peek(RecordFile());
  const QString hash = Sha256Of(ProblemFileBytes());
  EXPECT_EQ(peek.Rows("SELECT content_hash, pair_count, latest_name FROM problem_sets"),
            (std::vector<QVariantList>{{hash, 3, QStringLiteral("かけ算.mon")}}));
  const auto rounds = peek.Rows(
      "SELECT set_hash, file_path, file_name, pair_count, started_at, ended_at, score, "
      "judgement_index, ending FROM rounds ORDER BY started_at");
  const QString file = QString::fromStdString(path);
  ASSERT_EQ(rounds.size(), 2u);
  EXPECT_EQ(rounds[0], (QVariantList{hash, file, "かけ算.mon", 3, t + 1000, t + 5000, 10, 1,
                                     "finished"}));
  // Left before the end: no judgement, and no score the drill did not report.
  EXPECT_EQ(rounds[1], (QVariantList{hash, file, "かけ算.mon", 3, t + 6000, t + 8000, QVariant(),
                                     QVariant(), "unfinished"}));

  const auto questions = peek.Rows(
      "SELECT q.number, kind, bank_index, text_sjis, text_utf8, accepted_sjis, accepted_utf8, "
      "typed_sjis, typed_utf8, outcome, wrong_tries, seconds_used, closed_at FROM questions q "
      "JOIN rounds r ON r.id = q.round_id ORDER BY r.started_at, q.number");
  const auto bytes = [](const char* utf8) { return QByteArray::fromStdString(Sjis(utf8)); };
  ASSERT_EQ(questions.size(), 4u);
  EXPECT_EQ(questions[0], (QVariantList{1, "problem", 2, bytes("２×３"), "２×３",
                                        bytes("６$６．０"), "６$６．０", bytes("６"), "６",
                                        "right", 1, 7, t + 2000}));
  EXPECT_EQ(questions[1], (QVariantList{2, "trivia", 4, bytes("１ダースは？"), "１ダースは？",
                                        bytes("１２"), "１２", QByteArray(""), "", "wrong", 0, 40,
                                        t + 3000}));
  EXPECT_EQ(questions[2].mid(0, 3), (QVariantList{3, "choice", 9}));
  EXPECT_EQ(questions[2].mid(9, 3), (QVariantList{"left", 0, 12}));
  EXPECT_EQ(questions[3].mid(0, 3), (QVariantList{1, "problem", 3}));
  EXPECT_EQ(questions[3].mid(9, 3), (QVariantList{"open", 0, 0}));

  // Only the problem file's own problems are tallied.
  EXPECT_EQ(peek.Rows("SELECT bank_index, times_asked, times_right FROM problem_stats "
                      "ORDER BY bank_index"),
            (std::vector<QVariantList>{{2, 1, 1}, {3, 1, 0}}));
}

TEST_F(RecordTest, SameBytesUnderAnotherNameAreTheSameSet) {
  Record record(Folder());
  RoundRecorder recorder(record, Clock());
  Drive drive(recorder);
  drive.Load(WriteProblems("第1回.mon"));
  drive.Start();
  drive.End(RoundEnd::kFinished, 0, 0);
  std::filesystem::create_directories(dir.path() / "moved");
  drive.Load(WriteProblems("moved/第1回のコピー.mon"));
  drive.Start();
  drive.End(RoundEnd::kFinished, 0, 0);
  Peek peek(RecordFile());
  EXPECT_EQ(peek.Value("SELECT COUNT(DISTINCT set_hash) FROM rounds").toInt(), 1);
  EXPECT_EQ(peek.Value("SELECT latest_name FROM problem_sets").toString(),
            QStringLiteral("第1回のコピー.mon"));
}

TEST_F(RecordTest, TheSetIsKnownByTheBytesTheDrillLoaded) {
  Record record(Folder());
  RoundRecorder recorder(record, Clock());
  FakeView view;
  Drill drill(view);
  drill.SetObserver(&recorder);
  const auto play = [&](const std::string& path) {
    drill.ChooseProblemFile([&] { return std::optional<DataSource>(path); });
    // The teacher saves another version while the learner is still on the loaded one.
    dir.Write(std::filesystem::path(path).filename().string(), Sjis("別の問題\r\n１\r\n"));
    drill.StartRound();
    drill.Abandon();
  };
  play(WriteProblems());
  // Read in several pieces, past the reader's buffer.
  std::string large;
  for (int i = 0; i < 10; ++i) large += std::string(30'000, 'a') + "\r\n" + Sjis("１") + "\r\n";
  play(dir.Write("large.mon", large));

  Peek peek(RecordFile());
  EXPECT_EQ(peek.Rows("SELECT set_hash, pair_count FROM rounds ORDER BY started_at"),
            (std::vector<QVariantList>{{Sha256Of(ProblemFileBytes()), 3}, {Sha256Of(large), 10}}));
}

TEST_F(RecordTest, AHugeProblemIsKeptCutWithItsLengthAndTheCsvSaysSo) {
  const std::string huge = std::string(5 << 20, 'a') + Sjis("終");
  {
    Record record(Folder());
    RoundRecorder recorder(record, Clock());
    Drive drive(recorder);
    drive.Load(WriteProblems());
    drive.Start();
    for (int n = 1; n <= 10; ++n) {
      recorder.QuestionAsked({n, QuestionKind::kProblem, 1, huge, huge});
      drive.Close(n, QuestionOutcome::kLeft);
    }
    drive.End(RoundEnd::kFinished, 0, 0);
    ASSERT_FALSE(record.Error()) << record.Error()->Describe();
    const QString csv = dir.path().string().c_str() + QStringLiteral("/record.csv");
    ASSERT_TRUE(record.ExportCsv(csv));
    QFile file(csv);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    EXPECT_LT(bytes.size(), 1 << 20);
    EXPECT_TRUE(bytes.contains("全体は 5242882 バイト"));
  }
  std::uintmax_t stored = 0;
  for (const auto& entry : std::filesystem::directory_iterator(Folder().toStdString())) {
    if (entry.path().filename().string().rfind("record.sqlite3", 0) == 0) stored += entry.file_size();
  }
  EXPECT_LT(stored, 1u << 20);
  Peek peek(RecordFile());
  EXPECT_EQ(peek.Rows("SELECT LENGTH(text_sjis), text_length, text_sha256 FROM questions LIMIT 1"),
            (std::vector<QVariantList>{{16384, 5242882, Sha256Of(huge)}}));
}

TEST_F(RecordTest, ClosingTheProgramMidRoundLeavesItUnfinished) {
  {
    Record record(Folder());
    RoundRecorder recorder(record, Clock());
    Drive drive(recorder);
    drive.Load(WriteProblems());
    drive.Start();
    drive.Problem(1, 1, QuestionOutcome::kRight);
    drive.Ask(2, QuestionKind::kProblem, 2, "２×３", "６");
  }
  Peek peek(RecordFile());
  EXPECT_EQ(peek.Value("SELECT ending FROM rounds").toString(), QStringLiteral("unfinished"));
  EXPECT_EQ(peek.Rows("SELECT number, outcome FROM questions ORDER BY number"),
            (std::vector<QVariantList>{{1, "right"}, {2, "open"}}));
}

TEST_F(RecordTest, RecordingOffWritesNoRounds) {
  Record record(Folder());
  ASSERT_TRUE(record.Open());
  ASSERT_TRUE(record.SetRecordingEnabled(false));
  RoundRecorder recorder(record, Clock());
  Drive drive(recorder);
  drive.Load(WriteProblems());
  drive.Start();
  drive.Problem(1, 1, QuestionOutcome::kRight);
  drive.End(RoundEnd::kFinished, 10, 1);
  EXPECT_FALSE(recorder.CurrentRound());
  Peek peek(RecordFile());
  EXPECT_EQ(peek.Value("SELECT COUNT(*) FROM rounds").toInt(), 0);
  EXPECT_FALSE(record.RecordingEnabled());
}

TEST_F(RecordTest, KilledMidRoundKeepsClosedQuestionsAndShowsTheRoundUnfinished) {
  // Three questions closed, a fourth asked, when the program is killed.
  const int status = KillMidRound(Folder(), WriteProblems(), [](Drive& drive) {
    for (int n = 1; n <= 3; ++n) drive.Problem(n, n, QuestionOutcome::kRight);
    drive.Ask(4, QuestionKind::kProblem, 1, "１＋１", "２");
  });
  ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);

  {
    Peek before(RecordFile(), QStringLiteral("before"));
    EXPECT_EQ(before.Value("SELECT ending FROM rounds").toString(), QStringLiteral("open"));
  }
  Record record(Folder());
  ASSERT_TRUE(record.Open());
  Peek peek(RecordFile());
  EXPECT_EQ(peek.Value("SELECT ending FROM rounds").toString(), QStringLiteral("unfinished"));
  EXPECT_EQ(peek.Rows("SELECT number, outcome FROM questions ORDER BY number"),
            (std::vector<QVariantList>{{1, "right"}, {2, "right"}, {3, "right"}}));
}

// Plays `rounds` full rounds of ten questions; exits 0 when the record saw no error, else
// prints the first one.
[[noreturn]] void PlayRounds(const QString& folder, const std::string& problems, int rounds) {
  QString first_error;
  {
    Record record(folder);
    RoundRecorder recorder(record);
    Drive drive(recorder);
    const auto check = [&] {
      if (record.Error() && first_error.isEmpty()) first_error = QString::fromStdString(record.Error()->Describe());
    };
    drive.Load(problems);
    for (int round = 0; round < rounds; ++round) {
      drive.Start();
      for (int n = 1; n <= 10; ++n) {
        drive.Problem(n, n % 3 + 1, n % 2 ? QuestionOutcome::kRight : QuestionOutcome::kLeft);
        check();
      }
      drive.End(RoundEnd::kFinished, 50, 5);
      check();
    }
  }
  if (!first_error.isEmpty()) std::fprintf(stderr, "%s\n", qPrintable(first_error));
  ::_exit(first_error.isEmpty() ? 0 : 1);
}

TEST_F(RecordTest, TwoProgramsRecordingAtOnceLoseNothing) {
  const std::string problems = WriteProblems();
  // The file and its schema exist before the race, as after any earlier run.
  { Record first(Folder()); ASSERT_TRUE(first.Open()); }
  std::vector<pid_t> children;
  for (int i = 0; i < 2; ++i) {
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) PlayRounds(Folder(), problems, 25);
    children.push_back(child);
  }
  for (const pid_t child : children) {
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "a writer saw an error";
  }
  Peek peek(RecordFile());
  EXPECT_EQ(peek.Value("SELECT COUNT(*) FROM rounds WHERE ending = 'finished'").toInt(), 50);
  EXPECT_EQ(peek.Value("SELECT COUNT(*) FROM questions").toInt(), 500);
  EXPECT_EQ(peek.Value("SELECT SUM(times_asked) FROM problem_stats").toInt(), 500);
}

TEST_F(RecordTest, TwoRecordsInOneProgramShareTheFile) {
  const std::string problems = WriteProblems();
  Record a(Folder());
  Record b(Folder());
  RoundRecorder recorder_a(a, Clock());
  RoundRecorder recorder_b(b, Clock());
  Drive drive_a(recorder_a);
  Drive drive_b(recorder_b);
  drive_a.Load(problems);
  drive_b.Load(problems);
  drive_a.Start();
  drive_b.Start();
  for (int n = 1; n <= 10; ++n) {
    drive_a.Problem(n, 1, QuestionOutcome::kRight);
    drive_b.Problem(n, 1, QuestionOutcome::kLeft);
  }
  drive_a.End(RoundEnd::kFinished, 100, 10);
  drive_b.End(RoundEnd::kFinished, 0, 0);
  EXPECT_FALSE(a.Error());
  EXPECT_FALSE(b.Error());
  Peek peek(RecordFile());
  EXPECT_EQ(peek.Rows("SELECT score FROM rounds ORDER BY score"),
            (std::vector<QVariantList>{{0}, {100}}));
  EXPECT_EQ(peek.Rows("SELECT times_asked, times_right FROM problem_stats"),
            (std::vector<QVariantList>{{20, 10}}));
}

}  // namespace
}  // namespace rekendo::testing
