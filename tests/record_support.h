// Shared by the record tests: a record in a scratch folder, a problem file, a clock the
// test controls, observer events as short calls, and a second connection to look at rows.
#pragma once

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <iterator>

#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QString>
#include <QVariant>
#include <functional>
#include <string>
#include <vector>

#include "drill.h"
#include "drill_observer.h"
#include "record.h"
#include "round_recorder.h"
#include "sha256.h"
#include "sjis.h"
#include "temp_files.h"

// Readable failures: gtest finds this through QVariant's (global) namespace.
inline void PrintTo(const QVariant& value, std::ostream* out) {
  *out << (value.isNull() ? "NULL" : value.typeName()) << ":"
       << (value.typeId() == QMetaType::QByteArray ? value.toByteArray().toHex().toStdString()
                                                   : value.toString().toStdString());
}

namespace rekendo::testing {

// Problem text and accepted answers in Shift-JIS, for three pairs.
inline std::string ProblemFileBytes() {
  return Sjis("１＋１\r\n２\r\n２×３\r\n６$６．０\r\n１０÷４\r\n２．５\r\n");
}

inline QString Sha256Of(const std::string& bytes) {
  return QString::fromLatin1(
      QCryptographicHash::hash(QByteArray::fromStdString(bytes), QCryptographicHash::Sha256)
          .toHex());
}

// A connection of the test's own, to read rows the way a second program would.
class Peek {
 public:
  explicit Peek(const QString& path, const QString& name = QStringLiteral("peek")) : name_(name) {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name_);
    db.setDatabaseName(path);
    db.open();
  }
  ~Peek() {
    { QSqlDatabase::database(name_, false).close(); }
    QSqlDatabase::removeDatabase(name_);
  }
  Peek(const Peek&) = delete;
  Peek& operator=(const Peek&) = delete;

  QSqlDatabase db() const { return QSqlDatabase::database(name_, false); }
  std::vector<QVariantList> Rows(const QString& sql) const {
    std::vector<QVariantList> rows;
    QSqlQuery query(db());
    EXPECT_TRUE(query.exec(sql)) << sql.toStdString();
    while (query.next()) {
      QVariantList row;
      for (int i = 0; i < query.record().count(); ++i) {
        // A NULL compares equal to QVariant() whatever type the driver gave it.
        row << (query.value(i).isNull() ? QVariant() : query.value(i));
      }
      rows.push_back(row);
    }
    return rows;
  }
  QVariant Value(const QString& sql) const {
    const auto rows = Rows(sql);
    return rows.empty() ? QVariant() : rows.front().value(0);
  }
  bool Exec(const QString& sql) const {
    QSqlQuery query(db());
    return query.exec(sql);
  }

 private:
  QString name_;
};

class RecordTest : public ::testing::Test {
 protected:
  QString Folder() const { return QString::fromStdString((dir.path() / "record").string()); }
  QString RecordFile() const { return Folder() + QStringLiteral("/record.sqlite3"); }
  std::string WriteProblems(const std::string& name = "かけ算.mon") const {
    return dir.Write(name, ProblemFileBytes());
  }
  // Milliseconds that go up by a second at every reading.
  std::function<qint64()> Clock() {
    return [this] { return now_ += 1000; };
  }
  qint64 Now() const { return now_; }

  TempDir dir;

 private:
  qint64 now_ = 1'765'000'000'000;
};

// Takes the file back to what version 3 wrote: no learners, no memory, tallies by set alone.
inline void BackToVersionThree(const QString& record_file) {
  Peek old(record_file, QStringLiteral("old"));
  for (const char* sql : {
           "DROP TABLE practice_problems", "DROP TABLE generated_sets", "DROP TABLE memory_states", "DROP TABLE upload_queue",
           "DROP INDEX rounds_by_uuid", "DROP INDEX rounds_by_learner",
           "DROP INDEX IF EXISTS rounds_by_learner_time",
           "ALTER TABLE rounds DROP COLUMN uuid", "ALTER TABLE rounds DROP COLUMN learner_id",
           "CREATE TABLE old_stats AS SELECT set_hash, bank_index, text_sjis, text_utf8, "
           "accepted_sjis, accepted_utf8, times_asked, times_right, last_asked, text_length, "
           "accepted_length FROM problem_stats",
           "DROP TABLE problem_stats", "DROP TABLE learners",
           "ALTER TABLE old_stats RENAME TO problem_stats",
           "CREATE UNIQUE INDEX old_stats_key ON problem_stats (set_hash, bank_index)",
           "PRAGMA user_version = 3"}) {
    ASSERT_TRUE(old.Exec(QString::fromLatin1(sql))) << sql;
  }
}

// The observer events a drill sends, as one line each.
class Drive {
 public:
  explicit Drive(DrillObserver& observer) : observer_(observer) {}
  // As the drill reports a load: the file's path and the digest of its bytes.
  void Load(const std::string& path, int pairs = 3) {
    std::ifstream in(path, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), {}};
    Sha256 digest;
    digest.Add(bytes);
    observer_.ProblemFileLoaded({path, pairs, digest.HexDigest()});
  }
  void Start() { observer_.RoundStarted({rekendo::kTicksPerQuestion}); }
  void Ask(int number, QuestionKind kind, int index, const std::string& text_utf8,
           const std::string& accepted_utf8) {
    observer_.QuestionAsked({number, kind, index, Sjis(text_utf8), Sjis(accepted_utf8)});
  }
  void Close(int number, QuestionOutcome outcome, const std::string& typed_utf8 = "",
             int wrong_tries = 0, int seconds = 0) {
    observer_.QuestionClosed({number, outcome, Sjis(typed_utf8), wrong_tries, seconds});
  }
  void End(RoundEnd how, int score, int judgement) { observer_.RoundEnded(how, score, judgement); }
  // A whole question of the problem file: asked, answered and closed.
  void Problem(int number, int index, QuestionOutcome outcome) {
    Ask(number, QuestionKind::kProblem, index, "１＋１", "２");
    Close(number, outcome, outcome == QuestionOutcome::kRight ? "２" : "３", 0, 3);
  }

 private:
  DrillObserver& observer_;
};

// A program killed mid-round: a child process opens the record in `folder`, loads `problems`,
// starts a round and plays it with `play`, tells the parent and waits; the parent kills it
// there. Returns the child's wait status (-1 when it could not be started or said nothing).
inline int KillMidRound(const QString& folder, const std::string& problems,
                        const std::function<void(Drive&)>& play) {
  int fds[2];
  if (::pipe(fds) != 0) return -1;
  const pid_t child = ::fork();
  if (child < 0) return -1;
  if (child == 0) {
    ::close(fds[0]);
    record::Record record(folder);
    record::RoundRecorder recorder(record);
    Drive drive(recorder);
    drive.Load(problems);
    drive.Start();
    play(drive);
    const char ready = record.Error() ? 'E' : 'R';
    (void)!::write(fds[1], &ready, 1);
    for (;;) ::pause();
  }
  ::close(fds[1]);
  char ready = 0;
  const bool told = ::read(fds[0], &ready, 1) == 1 && ready == 'R';
  ::close(fds[0]);
  ::kill(child, SIGKILL);
  int status = 0;
  ::waitpid(child, &status, 0);
  return told ? status : -1;
}

}  // namespace rekendo::testing
