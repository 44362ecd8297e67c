#include "record_generator.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>
#include <map>
#include <string>
#include <utility>

#include "cp932.h"
#include "record.h"

namespace rekendo::bench {

namespace {

constexpr int kQuestions = 10;
constexpr qint64 kYear = 365LL * 24 * 3600 * 1000;
constexpr qint64 kStart = 1'733'000'000'000;  // 2024-11

struct Tally {
  int asked = 0;
  int right = 0;
};

std::string Sjis(const std::string& utf8) { return text::Utf8ToCp932(utf8).bytes; }

// "１２＋３４＝" in full-width digits, as the problem files write them.
std::string ProblemText(int set, int index) {
  static const char* const kDigits[] = {"０", "１", "２", "３", "４", "５", "６", "７", "８", "９"};
  std::string text;
  for (const char c : std::to_string(set * 1000 + index)) text += kDigits[c - '0'];
  return Sjis(text + "＋１＝");
}

QByteArray Blob(const std::string& bytes) { return QByteArray::fromStdString(bytes); }

bool Run(QSqlQuery& query, QString* error) {
  if (query.exec()) return true;
  *error = query.lastError().text();
  return false;
}

QString WriteRows(const QString& path, const QString& connection, const RecordSize& size);

}  // namespace

QString MakeBigRecord(const QString& folder, const RecordSize& size) {
  record::Record record(folder);
  const auto failure = [&record] {
    return record.Error() ? QString::fromStdString(record.Error()->Describe()) : QString();
  };
  if (!record.Open() || !record.CanWrite()) return failure();
  if (!record.DeleteAll()) return failure();
  // A connection of the generator's own: the record shows none of its database.
  const QString connection = QStringLiteral("rekendo-bench-generator");
  QString result = WriteRows(record.FilePath(), connection, size);
  QSqlDatabase::removeDatabase(connection);
  return result;
}

namespace {

QString WriteRows(const QString& path, const QString& connection, const RecordSize& size) {
  QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
  db.setDatabaseName(path);
  if (!db.open()) return db.lastError().text();
  QSqlQuery(db).exec(QStringLiteral("BEGIN"));

  QString error;
  QSqlQuery set_insert(db);
  set_insert.prepare(QStringLiteral("INSERT INTO problem_sets VALUES (?, ?, ?, ?, ?)"));
  QSqlQuery round_insert(db);
  round_insert.prepare(QStringLiteral(
      "INSERT INTO rounds (id, set_hash, file_path, file_name, pair_count, started_at, "
      "ended_at, score, judgement_index, ending, learner_id) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, 1)"));
  QSqlQuery question_insert(db);
  question_insert.prepare(QStringLiteral(
      "INSERT INTO questions (round_id, number, kind, bank_index, text_sjis, text_utf8, "
      "accepted_sjis, accepted_utf8, typed_sjis, typed_utf8, outcome, wrong_tries, "
      "seconds_used, closed_at) VALUES (?, ?, 'problem', ?, ?, ?, ?, ?, ?, ?, ?, 0, ?, ?)"));

  std::map<std::pair<int, int>, Tally> tallies;
  unsigned long long dice = 12345;
  const auto roll = [&dice](int n) {
    dice = dice * 6364136223846793005ULL + 1442695040888963407ULL;
    return static_cast<int>((dice >> 33) % static_cast<unsigned>(n));
  };
  const auto hash = [](int set) { return QStringLiteral("%1").arg(set + 1, 64, 10, QLatin1Char('0')); };
  const std::string answer = Sjis("１２３");
  const std::string wrong = Sjis("９");

  for (int set = 0; set < size.sets; ++set) {
    set_insert.bindValue(0, hash(set));
    set_insert.bindValue(1, size.problems_per_set);
    set_insert.bindValue(2, QStringLiteral("問題集%1.mon").arg(set + 1));
    set_insert.bindValue(3, QStringLiteral("/home/learner/問題集%1.mon").arg(set + 1));
    set_insert.bindValue(4, kStart + kYear);
    if (!Run(set_insert, &error)) return error;
  }
  for (int round = 0; round < size.rounds; ++round) {
    const int set = round % 2 == 0 || size.sets == 1 ? 0 : 1 + roll(size.sets - 1);
    const qint64 start = kStart + kYear / size.rounds * round;
    const qint64 id = round + 1;
    // Outcomes first: the round's row, which its questions refer to, carries the score.
    int indexes[kQuestions];
    bool rights[kQuestions];
    int score = 0;
    for (int q = 0; q < kQuestions; ++q) {
      indexes[q] = 1 + roll(size.problems_per_set);
      rights[q] = roll(100) < 40 + 40 * round / size.rounds + (indexes[q] % 7 == 0 ? -30 : 0);
      score += rights[q] ? 10 : 0;
    }
    const bool finished = round % 20 != 7;
    round_insert.bindValue(0, id);
    round_insert.bindValue(1, hash(set));
    round_insert.bindValue(2, QStringLiteral("/home/learner/問題集%1.mon").arg(set + 1));
    round_insert.bindValue(3, QStringLiteral("問題集%1.mon").arg(set + 1));
    round_insert.bindValue(4, size.problems_per_set);
    round_insert.bindValue(5, start);
    round_insert.bindValue(6, start + 300'000);
    round_insert.bindValue(7, score);
    round_insert.bindValue(8, finished ? QVariant(score / 10) : QVariant(QMetaType::fromType<int>()));
    round_insert.bindValue(9, finished ? QStringLiteral("finished") : QStringLiteral("unfinished"));
    if (!Run(round_insert, &error)) return error;
    for (int q = 0; q < kQuestions; ++q) {
      const int index = indexes[q];
      const bool right = rights[q];
      Tally& tally = tallies[{set, index}];
      ++tally.asked;
      tally.right += right ? 1 : 0;
      const std::string text = ProblemText(set, index);
      question_insert.bindValue(0, id);
      question_insert.bindValue(1, q + 1);
      question_insert.bindValue(2, index);
      question_insert.bindValue(3, Blob(text));
      question_insert.bindValue(4, QString::fromStdString(text::Cp932ToUtf8(text)));
      question_insert.bindValue(5, Blob(answer));
      question_insert.bindValue(6, QStringLiteral("１２３"));
      question_insert.bindValue(7, Blob(right ? answer : wrong));
      question_insert.bindValue(8, right ? QStringLiteral("１２３") : QStringLiteral("９"));
      question_insert.bindValue(9, right ? QStringLiteral("right") : QStringLiteral("wrong"));
      question_insert.bindValue(10, right ? 12 : 40);
      question_insert.bindValue(11, start + (q + 1) * 20'000);
      if (!Run(question_insert, &error)) return error;
    }
  }
  QSqlQuery tally_insert(db);
  tally_insert.prepare(QStringLiteral(
      "INSERT INTO problem_stats (learner_id, set_hash, bank_index, text_sjis, text_utf8, "
      "accepted_sjis, accepted_utf8, times_asked, times_right, last_asked) "
      "VALUES (1, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
  for (const auto& [key, tally] : tallies) {
    const std::string text = ProblemText(key.first, key.second);
    tally_insert.bindValue(0, hash(key.first));
    tally_insert.bindValue(1, key.second);
    tally_insert.bindValue(2, Blob(text));
    tally_insert.bindValue(3, QString::fromStdString(text::Cp932ToUtf8(text)));
    tally_insert.bindValue(4, Blob(answer));
    tally_insert.bindValue(5, QStringLiteral("１２３"));
    tally_insert.bindValue(6, tally.asked);
    tally_insert.bindValue(7, tally.right);
    tally_insert.bindValue(8, kStart + kYear);
    if (!Run(tally_insert, &error)) return error;
  }
  set_insert.finish();
  round_insert.finish();
  question_insert.finish();
  tally_insert.finish();
  QSqlQuery commit(db);
  if (!commit.exec(QStringLiteral("COMMIT"))) return commit.lastError().text();
  // The planner's statistics, as a long-used record would have them.
  QSqlQuery(db).exec(QStringLiteral("ANALYZE"));
  db.close();
  return {};
}

}  // namespace

}  // namespace rekendo::bench
