// The scheduler's two budgets on the record: a record from before the scheduler, holding
// 1,000,000 graded questions over a year on 100 sets of 1000 problems, brought up to date
// (its whole history replayed) in under 5 s; and today's practice built from the record's
// 100,000 memory states in under 50 ms.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>
#include <chrono>
#include <cstdio>
#include <filesystem>

#include "record.h"
#include "record_schema.h"
#include "scratch_dir.h"
#include "todays_practice.h"

namespace {

using rekendo::record::Record;

constexpr int kSets = 100;
constexpr int kProblemsPerSet = 1000;
constexpr int kRounds = 100'000;
constexpr int kQuestionsPerRound = 10;
constexpr qint64 kStartMs = 1'765'000'000'000;
constexpr qint64 kYearMs = 365LL * 86'400'000;

QString Hash(int set) { return QStringLiteral("%1").arg(set + 1, 64, 10, QLatin1Char('0')); }

// A version-3 record as that program wrote it; an error text, empty when done.
QString MakeOldRecord(const QString& path) {
  const QString name = QStringLiteral("old-record");
  QString error;
  {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
    db.setDatabaseName(path);
    db.open();
    QSqlQuery(db).exec(QStringLiteral("BEGIN"));
    if (auto failed = rekendo::record::MigrateSchema(db, 0, 3)) return failed->text();
    QSqlQuery set(db);
    set.prepare(QStringLiteral("INSERT INTO problem_sets VALUES (?, ?, ?, ?, ?)"));
    for (int s = 0; s < kSets; ++s) {
      set.bindValue(0, Hash(s));
      set.bindValue(1, kProblemsPerSet);
      set.bindValue(2, QStringLiteral("問題集%1.mon").arg(s + 1));
      set.bindValue(3, QStringLiteral("/home/learner/問題集%1.mon").arg(s + 1));
      set.bindValue(4, kStartMs);
      if (!set.exec()) return set.lastError().text();
    }
    QSqlQuery round(db);
    round.prepare(QStringLiteral(
        "INSERT INTO rounds (id, set_hash, file_path, file_name, pair_count, started_at, "
        "ended_at, score, judgement_index, ending) VALUES (?, ?, 'x.mon', 'x.mon', ?, ?, ?, 50, "
        "5, 'finished')"));
    QSqlQuery question(db);
    question.prepare(QStringLiteral(
        "INSERT INTO questions (round_id, number, kind, bank_index, text_sjis, text_utf8, "
        "accepted_sjis, accepted_utf8, typed_sjis, typed_utf8, outcome, wrong_tries, "
        "seconds_used, closed_at) VALUES (?, ?, 'problem', ?, X'8250', '１', X'8250', '１', "
        "X'8250', '１', ?, ?, 5, ?)"));
    unsigned long long dice = 12345;
    const auto roll = [&dice](int n) {
      dice = dice * 6364136223846793005ULL + 1442695040888963407ULL;
      return static_cast<int>((dice >> 33) % static_cast<unsigned>(n));
    };
    for (int r = 0; r < kRounds; ++r) {
      const qint64 start = kStartMs + kYearMs / kRounds * r;
      const int s = roll(kSets);
      round.bindValue(0, r + 1);
      round.bindValue(1, Hash(s));
      round.bindValue(2, kProblemsPerSet);
      round.bindValue(3, start);
      round.bindValue(4, start + 300'000);
      if (!round.exec()) return round.lastError().text();
      for (int q = 0; q < kQuestionsPerRound; ++q) {
        const int right = roll(100);
        question.bindValue(0, r + 1);
        question.bindValue(1, q + 1);
        question.bindValue(2, 1 + roll(kProblemsPerSet));
        question.bindValue(3, right < 70 ? QStringLiteral("right") : QStringLiteral("wrong"));
        question.bindValue(4, right < 20 ? 1 : 0);
        question.bindValue(5, start + (q + 1) * 20'000);
        if (!question.exec()) return question.lastError().text();
      }
    }
    // Every problem's tally, as the old program kept it beside its questions.
    QSqlQuery tally(db);
    tally.prepare(QStringLiteral(
        "INSERT INTO problem_stats (set_hash, bank_index, text_sjis, text_utf8, accepted_sjis, "
        "accepted_utf8, times_asked, times_right, last_asked) VALUES (?, ?, X'8250', '１', "
        "X'8250', '１', 10, 7, ?)"));
    for (int s = 0; s < kSets; ++s) {
      for (int index = 1; index <= kProblemsPerSet; ++index) {
        tally.bindValue(0, Hash(s));
        tally.bindValue(1, index);
        tally.bindValue(2, kStartMs + kYearMs);
        if (!tally.exec()) return tally.lastError().text();
      }
    }
    QSqlQuery commit(db);
    if (!commit.exec(QStringLiteral("COMMIT"))) error = commit.lastError().text();
    db.close();
  }
  QSqlDatabase::removeDatabase(name);
  return error;
}

const std::filesystem::path& OldRecordFile() {
  static rekendo::bench::ScratchDir* scratch = nullptr;  // lives until the program ends
  static std::filesystem::path file;
  if (!scratch) {
    scratch = new rekendo::bench::ScratchDir;
    file = scratch->path() / "old.sqlite3";
    const QString error = MakeOldRecord(QString::fromStdString(file.string()));
    if (!error.isEmpty()) std::fprintf(stderr, "%s\n", qPrintable(error));
    // REKENDO_KEEP_OLD_RECORD=FOLDER: a copy to start the program on (the upgrade's dialog).
    const QString keep = qEnvironmentVariable("REKENDO_KEEP_OLD_RECORD");
    if (!keep.isEmpty()) {
      std::filesystem::create_directories(keep.toStdString());
      std::filesystem::copy_file(file, std::filesystem::path(keep.toStdString()) /
                                           rekendo::record::kRecordFileName,
                                 std::filesystem::copy_options::overwrite_existing);
    }
  }
  return file;
}

// From a copy of the old file to the record open for writing, its memory replayed.
void BM_ReplayMillionQuestions(benchmark::State& state) {
  const std::filesystem::path& old = OldRecordFile();
  for (auto _ : state) {
    state.PauseTiming();
    rekendo::bench::ScratchDir dir;
    std::filesystem::copy_file(old, dir.path() / rekendo::record::kRecordFileName);
    Record record(QString::fromStdString(dir.path().string()));
    state.ResumeTiming();
    if (!record.Open() || !record.CanWrite()) {
      state.SkipWithError(record.Error() ? record.Error()->Describe().c_str() : "not open");
      break;
    }
  }
}
BENCHMARK(BM_ReplayMillionQuestions)->Iterations(3)->Unit(benchmark::kMillisecond);

// The record already replayed (once, untimed), then today's practice written over and over:
// the states read, chosen, their texts read, the origins noted and the file written.
void BM_TodaysPracticeFromRecord(benchmark::State& state) {
  static rekendo::bench::ScratchDir dir;
  static bool made = false;
  if (!made) {
    std::filesystem::copy_file(OldRecordFile(), dir.path() / rekendo::record::kRecordFileName);
    made = true;
  }
  Record record(QString::fromStdString(dir.path().string()));
  if (!record.Open()) {
    state.SkipWithError("record not open");
    return;
  }
  // A year and a month after the first round: most of the 100,000 problems are due.
  const rekendo::schedule::UnixSeconds now = (kStartMs + kYearMs) / 1000 + 30 * 86400;
  int reviews = 0;
  for (auto _ : state) {
    const auto practice = rekendo::record::WriteTodaysPractice(record, now, 20);
    if (!practice) {
      state.SkipWithError(practice.error().Describe().c_str());
      break;
    }
    reviews = practice->reviews;
  }
  state.counters["reviews"] = reviews;
}
BENCHMARK(BM_TodaysPracticeFromRecord)->Iterations(20)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
