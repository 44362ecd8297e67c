// The numbers the 成績 window shows for a known record, the practice set made from it, the
// CSV export read back, and deleting the record.
#include <QFile>

#include <QDir>
#include <set>
#include <tuple>

#include "csv_export.h"
#include "practice_set.h"
#include "record_queries.h"
#include "record_support.h"

namespace rekendo::testing {
namespace {

using namespace record;

const QString kSetA = QString(64, QLatin1Char('a'));
const QString kSetB = QString(64, QLatin1Char('b'));

struct Q {
  int index;
  QuestionOutcome outcome;
  QuestionKind kind = QuestionKind::kProblem;
};

std::string TextOf(int index) { return Sjis("問題" + std::to_string(index) + "，です"); }
std::string AnswerOf(int index) { return Sjis(index == 1 ? "６$６．０" : "７"); }

class KnownRecord : public RecordTest {
 protected:
  void SetUp() override { ASSERT_TRUE(record.Open()); }

  void Round(const QString& set, const QString& path, qint64 start, std::optional<int> score,
             const std::vector<Q>& questions, int time_limit = 40) {
    const auto id = record.StartRound({set, path, path.section('/', -1), 3, start, time_limit});
    ASSERT_TRUE(id);
    int number = 0;
    for (const Q& q : questions) {
      QuestionRow row;
      row.number = ++number;
      row.kind = q.kind;
      row.bank_index = q.index;
      row.text = TextOf(q.index);
      row.accepted = AnswerOf(q.index);
      row.typed = q.outcome == QuestionOutcome::kRight ? Sjis("６") : Sjis("－１");
      row.outcome = q.outcome;
      row.seconds_used = 5;
      row.closed_at = start + number;
      ASSERT_TRUE(record.AddQuestion(*id, set, row));
    }
    ASSERT_TRUE(record.EndRound(*id, {score.has_value(), score, score ? score : std::nullopt,
                                      start + 100}));
  }

  // Set A: three finished rounds (30, 50, 70) and one left unfinished; set B: one round.
  void Fill() {
    using enum QuestionOutcome;
    Round(kSetA, "/p/九九.mon", 1000, 30, {{1, kWrongAtTimeUp}, {2, kRight}, {3, kLeft}});
    Round(kSetA, "/p/九九.mon", 2000, 50, {{1, kWrongAtTimeUp}, {2, kRight}});
    Round(kSetA, "/p/九九.mon", 3000, 70,
          {{1, kRight}, {3, kWrongAtTimeUp}, {4, kWrongAtTimeUp, QuestionKind::kTrivia}});
    Round(kSetA, "/p/九九.mon", 4000, std::nullopt, {});
    Round(kSetB, "/p/分数, \"上\".mon", 500, 100, {});
  }

  Record record{Folder()};
};

TEST_F(KnownRecord, SummariesPerSet) {
  Fill();
  const auto sets = record.SetSummaries();
  ASSERT_TRUE(sets.ok()) << sets.error().Describe();
  ASSERT_EQ(sets.value().size(), 2u);
  const SetSummary& a = sets.value()[0];  // played last
  EXPECT_EQ(a.hash, kSetA);
  EXPECT_EQ(a.name, QStringLiteral("九九.mon"));
  EXPECT_EQ(a.rounds, 3);
  EXPECT_EQ(a.unfinished, 1);
  EXPECT_EQ(a.average, 50.0);
  EXPECT_EQ(a.best, 70);
  EXPECT_EQ(a.last_played, 4000);
  EXPECT_EQ(sets.value()[1].name, QStringLiteral("分数, \"上\".mon"));
  EXPECT_EQ(sets.value()[1].best, 100);
}

TEST_F(KnownRecord, RoundsWithAnotherTimeLimitAreCountedApart) {
  Fill();
  using enum QuestionOutcome;
  // 80 seconds and no limit: not the test the 40-second average and chart are about.
  Round(kSetA, "/p/九九.mon", 5000, 100, {{1, kRight}}, 80);
  Round(kSetA, "/p/九九.mon", 6000, 90, {{2, kRight}}, 0);
  const auto sets = record.SetSummaries();
  ASSERT_TRUE(sets.ok());
  const SetSummary& a = sets.value()[0];
  EXPECT_EQ(a.rounds, 5);
  EXPECT_EQ(a.average, 50.0);
  EXPECT_EQ(a.best, 70);
  EXPECT_EQ(a.other_limit_rounds, 2);
  EXPECT_EQ(a.other_limit_average, 95.0);
  const auto series = record.ScoreSeries(kSetA, 10);
  ASSERT_TRUE(series.ok());
  EXPECT_EQ(series.value().size(), 3u);
  const auto rounds = record.RecentRounds(kSetA, 2);
  ASSERT_TRUE(rounds.ok());
  EXPECT_EQ(rounds.value()[0].time_limit_seconds, 0);
  EXPECT_EQ(rounds.value()[1].time_limit_seconds, 80);
  // The CSV says each round's limit.
  const QString csv = Folder() + QStringLiteral("/all.csv");
  ASSERT_TRUE(record.ExportCsv(csv).ok());
  QFile file(csv);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QString text = QString::fromUtf8(file.readAll());
  EXPECT_TRUE(text.contains(QStringLiteral(",80 秒,")));
  EXPECT_TRUE(text.contains(QStringLiteral(",制限なし,")));
}

// A version-6 record gets the learner's indexes of version 7 and shows the same figures.
TEST_F(KnownRecord, AVersionSixRecordShowsTheSameFiguresWithItsNewIndexes) {
  Fill();
  Round(kSetA, "/p/九九.mon", 5000, 100, {{1, QuestionOutcome::kRight}}, 80);
  const auto before = record.SetSummaries();
  ASSERT_TRUE(before.ok());
  {
    Peek old(RecordFile(), QStringLiteral("old"));
    for (const char* sql : {"DROP INDEX rounds_by_learner_time", "DROP INDEX rounds_by_learner",
                            "CREATE INDEX rounds_by_learner ON rounds "
                            "(learner_id, set_hash, ending, started_at, score)",
                            "PRAGMA user_version = 6"}) {
      ASSERT_TRUE(old.Exec(QString::fromLatin1(sql))) << sql;
    }
  }
  Record again(Folder());
  ASSERT_TRUE(again.Open());
  Peek peek(RecordFile());
  EXPECT_EQ(peek.Value("PRAGMA user_version").toInt(), 7);
  EXPECT_EQ(peek.Value("SELECT group_concat(name, ' ') FROM "
                       "(SELECT name FROM pragma_index_info('rounds_by_learner') ORDER BY seqno)")
                .toString(),
            QStringLiteral("learner_id set_hash ending time_limit started_at score"));
  EXPECT_EQ(peek.Value("SELECT COUNT(*) FROM pragma_index_info('rounds_by_learner_time')").toInt(), 3);
  const auto after = again.SetSummaries();
  ASSERT_TRUE(after.ok());
  ASSERT_EQ(after->size(), before->size());
  for (std::size_t i = 0; i < after->size(); ++i) {
    const SetSummary& a = (*after)[i];
    const SetSummary& b = (*before)[i];
    EXPECT_EQ(std::tie(a.hash, a.rounds, a.unfinished, a.average, a.best, a.other_limit_rounds,
                       a.other_limit_average, a.last_played),
              std::tie(b.hash, b.rounds, b.unfinished, b.average, b.best, b.other_limit_rounds,
                       b.other_limit_average, b.last_played));
  }
}

TEST_F(KnownRecord, ScoreSeriesInTimeOrderAndAveragedWhenLong) {
  Fill();
  const auto all = record.ScoreSeries(kSetA, 10);
  ASSERT_TRUE(all.ok());
  ASSERT_EQ(all.value().size(), 3u);
  EXPECT_EQ(all.value()[0].time, 1000);
  EXPECT_EQ(all.value()[2].score, 70.0);
  // Two stretches of time: the first holds the rounds at 1000 and 2000.
  const auto two = record.ScoreSeries(kSetA, 2);
  ASSERT_EQ(two.value().size(), 2u);
  EXPECT_EQ(two.value()[0].time, 1000);
  EXPECT_EQ(two.value()[0].score, 40.0);
  EXPECT_EQ(two.value()[0].rounds, 2);
  EXPECT_EQ(two.value()[1].score, 70.0);
}

TEST_F(KnownRecord, MostMissedProblemsOfTheFileOnly) {
  Fill();
  const auto missed = record.MostMissed(kSetA, 10);
  ASSERT_TRUE(missed.ok());
  ASSERT_EQ(missed.value().size(), 2u);  // problem 2 was never missed, trivia is not counted
  EXPECT_EQ(missed.value()[0].bank_index, 1);
  EXPECT_EQ(missed.value()[0].asked, 3);
  EXPECT_EQ(missed.value()[0].right, 1);
  EXPECT_EQ(missed.value()[0].accepted, QStringLiteral("６ または ６．０"));
  EXPECT_EQ(missed.value()[1].bank_index, 3);
  EXPECT_EQ(missed.value()[1].asked, 2);
  EXPECT_EQ(missed.value()[1].right, 0);
}

TEST_F(KnownRecord, RecentRoundsNewestFirstWithTheirQuestions) {
  Fill();
  const auto rounds = record.RecentRounds(kSetA, 2);
  ASSERT_TRUE(rounds.ok());
  ASSERT_EQ(rounds.value().size(), 2u);
  EXPECT_EQ(rounds.value()[0].ending, record::RoundEnding::kUnfinished);
  EXPECT_FALSE(rounds.value()[0].score);
  EXPECT_TRUE(rounds.value()[0].questions.empty());
  ASSERT_EQ(rounds.value()[1].questions.size(), 3u);
  EXPECT_EQ(rounds.value()[1].questions[0].outcome, QuestionOutcome::kRight);
  EXPECT_EQ(rounds.value()[1].questions[2].kind, QuestionKind::kTrivia);
  EXPECT_EQ(rounds.value()[1].questions[2].outcome, QuestionOutcome::kWrongAtTimeUp);
}

TEST_F(KnownRecord, PracticeSetHoldsTheMostMissedAsProblemFileBytes) {
  Fill();
  const auto written = WritePracticeSet(record, kSetA, QStringLiteral("九九.mon"), 10);
  ASSERT_TRUE(written) << written.error().Describe();
  const PracticeSet& practice = *written;
  EXPECT_EQ(practice.problems, 2);
  EXPECT_TRUE(practice.path.startsWith(Folder() + QStringLiteral("/復習/九九の復習-")));
  QFile file(practice.path);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(file.readAll().toStdString(),
            TextOf(1) + "\r\n" + AnswerOf(1) + "\r\n" + TextOf(3) + "\r\n" + AnswerOf(3) + "\r\n");
  // Nothing missed yet: no file, a plain message.
  EXPECT_FALSE(WritePracticeSet(record, kSetB, QStringLiteral("b.mon"), 10));
}

TEST_F(KnownRecord, PracticeSetsMadeInTheSameSecondAreTwoFiles) {
  Fill();
  // Enough sets that at least two of them share a second, however slow the machine.
  std::set<QString> paths;
  for (int i = 0; i < 5; ++i) {
    const auto practice = WritePracticeSet(record, kSetA, QStringLiteral("九九.mon"), 10);
    ASSERT_TRUE(practice) << practice.error().Describe();
    paths.insert(practice->path);
  }
  EXPECT_EQ(paths.size(), 5u);
  EXPECT_EQ(QDir(Folder() + QStringLiteral("/復習")).entryList(QDir::Files).size(), 5);
}

// RFC 4180 reading, independent of the writer.
std::vector<std::vector<std::string>> ParseCsv(std::string_view text) {
  std::vector<std::vector<std::string>> rows(1);
  std::string field;
  bool quoted = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (quoted) {
      if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') field += text[++i];
      else if (c == '"') quoted = false;
      else field += c;
    } else if (c == '"') {
      quoted = true;
    } else if (c == ',') {
      rows.back().push_back(std::move(field));
      field.clear();
    } else if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
      rows.back().push_back(std::move(field));
      field.clear();
      rows.emplace_back();
      ++i;
    } else {
      field += c;
    }
  }
  if (rows.back().empty() && field.empty()) rows.pop_back();
  return rows;
}

TEST_F(KnownRecord, CsvReadsBackToTheRecordedValues) {
  Fill();
  const QString path = Folder() + QStringLiteral("/成績.csv");
  ASSERT_TRUE(record.ExportCsv(path));
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const std::string bytes = file.readAll().toStdString();
  ASSERT_TRUE(bytes.starts_with("\xEF\xBB\xBF"));
  const auto rows = ParseCsv(std::string_view(bytes).substr(3));
  // A header, eight questions, and a line each for the two rounds without questions.
  ASSERT_EQ(rows.size(), 11u);
  for (const auto& row : rows) ASSERT_EQ(row.size(), 20u);
  EXPECT_EQ(rows[0][0], "開始(UTC)");
  // Oldest first: set B's round at 500 ms, with its awkward file name intact.
  EXPECT_EQ(rows[1][0], "1970-01-01T00:00:00Z");
  EXPECT_EQ(rows[1][2], "分数, \"上\".mon");
  EXPECT_EQ(rows[1][9], "");
  const std::vector<std::string> first_question = {
      "1970-01-01T00:00:01Z", "1970-01-01T00:00:01Z", "九九.mon", "/p/九九.mon",
      kSetA.toStdString(), "3", "30", "30", "最後まで", "1", "問題", "1", "問題1，です",
      "６$６．０", "－１", "時間切れ", "0", "5", "40 秒"};
  EXPECT_EQ(std::vector<std::string>(rows[2].begin(), rows[2].end() - 1), first_question);
  // Whose round it was, on a record several learners share.
  EXPECT_EQ(rows[2].back(), record.Learners()->front().name.toStdString());
}

TEST_F(KnownRecord, DeleteAllEmptiesTheRecordButKeepsTheSwitch) {
  Fill();
  ASSERT_TRUE(record.SetRecordingEnabled(false));
  ASSERT_TRUE(record.DeleteAll());
  EXPECT_TRUE(record.SetSummaries()->empty());
  EXPECT_TRUE(record.MostMissed(kSetA, 10)->empty());
  EXPECT_FALSE(record.RecordingEnabled());
}

TEST_F(KnownRecord, DeletingDuringARoundKeepsThatRoundGoing) {
  // The countdown runs on under the record window: the round under way must survive.
  Fill();
  const auto running = record.StartRound({kSetB, "/p/b.mon", "b.mon", 3, 9000});
  ASSERT_TRUE(running);
  QuestionRow row;
  row.number = 1;
  row.bank_index = 2;
  row.text = TextOf(2);
  row.accepted = AnswerOf(2);
  row.outcome = QuestionOutcome::kWrongAtTimeUp;
  ASSERT_TRUE(record.AddQuestion(*running, kSetB, row));
  ASSERT_TRUE(record.DeleteAll());
  row.number = 2;
  row.outcome = QuestionOutcome::kRight;
  EXPECT_TRUE(record.AddQuestion(*running, kSetB, row));
  // The tallies count the questions the round kept, the one before the delete too.
  {
    Peek peek(RecordFile());
    EXPECT_EQ(peek.Rows("SELECT bank_index, times_asked, times_right FROM problem_stats"),
              (std::vector<QVariantList>{{2, 2, 1}}));
  }
  EXPECT_TRUE(record.EndRound(*running, {true, 10, 1, 9100}));
  EXPECT_FALSE(record.Error());
  const auto sets = record.SetSummaries().value();
  ASSERT_EQ(sets.size(), 1u);
  EXPECT_EQ(sets[0].rounds, 1);
  // A round that is gone is a failure, not a silent success.
  EXPECT_FALSE(record.EndRound(*running + 1, {true, 10, 1, 9200}));
}

}  // namespace
}  // namespace rekendo::testing
