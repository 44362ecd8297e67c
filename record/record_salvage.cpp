#include "record_salvage.h"

#include <QDateTime>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QVariant>
#include <algorithm>
#include <optional>

#include "upload_queue.h"

namespace rekendo::record {

const char* const kRebuildTallies =
    "INSERT INTO problem_stats (learner_id, set_hash, bank_index, text_sjis, text_utf8, "
    "accepted_sjis, accepted_utf8, times_asked, times_right, last_asked, text_length, "
    "accepted_length) "
    "SELECT r.learner_id, r.set_hash, q.bank_index, q.text_sjis, q.text_utf8, q.accepted_sjis, "
    "q.accepted_utf8, COUNT(*), SUM(CASE WHEN q.outcome = 'right' THEN 1 ELSE 0 END), "
    "MAX(q.closed_at), MAX(q.text_length), MAX(q.accepted_length) "
    "FROM questions q JOIN rounds r ON r.id = q.round_id "
    "WHERE q.kind = 'problem' GROUP BY r.learner_id, r.set_hash, q.bank_index";

namespace {

// Rows are copied in stretches of rowids; a stretch that cannot be read is halved until the
// unreadable rows are found and left behind.
constexpr qint64 kStretch = 256;
// Where MAX(rowid) itself cannot be read, the copy goes on this far past the last row read.
constexpr qint64 kGiveUpAfter = 8 * kStretch;

bool Run(QSqlDatabase& db, const QString& sql) { return QSqlQuery(db).exec(sql); }

QStringList ColumnsOf(QSqlDatabase& db, const QString& schema, const QString& table) {
  QStringList columns;
  QSqlQuery query(db);
  if (!query.exec(QStringLiteral("PRAGMA %1.table_info(%2)").arg(schema, table))) return columns;
  while (query.next()) columns << query.value(1).toString();
  return columns;
}

// Where a table's rows go: `schema`.`table` (main, or a temp table to sort them first).
struct Target {
  QString schema;
  QString table;
};

// Copies the rows of `table` with rowids in [first, last] that `condition` lets through;
// the number copied, or -1 when the stretch could not be read.
int CopyStretch(QSqlDatabase& db, const QString& table, const Target& into, const QString& columns,
                const QString& condition, qint64 first, qint64 last) {
  QSqlQuery query(db);
  query.prepare(QStringLiteral("INSERT OR IGNORE INTO %4.%5 (%2) SELECT %2 FROM damaged.%1 "
                               "NOT INDEXED WHERE rowid BETWEEN ? AND ?%3")
                    .arg(table, columns, condition, into.schema, into.table));
  query.addBindValue(first);
  query.addBindValue(last);
  // Each stretch its own transaction: damage met by one rolls back only that one.
  if (!query.exec()) return -1;
  return query.numRowsAffected();
}

int CopyRange(QSqlDatabase& db, const QString& table, const Target& into, const QString& columns,
              const QString& condition, qint64 first, qint64 last) {
  const int copied = CopyStretch(db, table, into, columns, condition, first, last);
  if (copied >= 0 || first == last) return std::max(copied, 0);
  const qint64 middle = first + (last - first) / 2;
  return CopyRange(db, table, into, columns, condition, first, middle) +
         CopyRange(db, table, into, columns, condition, middle + 1, last);
}

// Copies what can be read of one table into the new record's table of the same name, or
// into `into`; `condition` keeps rows whose references came too.
int CopyTable(QSqlDatabase& db, const QString& table, const QString& condition = {},
              std::optional<Target> into = std::nullopt) {
  if (!into) into = Target{QStringLiteral("main"), table};
  const QStringList fresh = ColumnsOf(db, into->schema, into->table);
  const QStringList old = ColumnsOf(db, QStringLiteral("damaged"), table);
  QStringList shared;
  for (const QString& column : fresh) {
    if (old.contains(column)) shared << column;
  }
  if (shared.isEmpty()) return 0;
  const QString columns = shared.join(QStringLiteral(", "));
  QSqlQuery highest(db);
  const bool known = highest.exec(QStringLiteral("SELECT MAX(rowid) FROM damaged.%1").arg(table)) &&
                     highest.next();
  const qint64 top = known ? highest.value(0).toLongLong() : -1;
  highest.finish();
  int copied = 0;
  qint64 last_found = 0;
  for (qint64 first = 1; known ? first <= top : first <= last_found + kGiveUpAfter;
       first += kStretch) {
    const int stretch =
        CopyRange(db, table, *into, columns, condition, first, first + kStretch - 1);
    if (stretch > 0) last_found = first + kStretch - 1;
    copied += stretch;
  }
  return copied;
}

// Questions whose round row was lost still say which round they were in and when, and a
// readable tally of the same problem text says which set and learner: the round is made
// again for them, unfinished and without a uuid, so never sent under a name the server may
// know already. Where no tally tells, the set is one made up for them and the learner the
// first. The questions and tallies are read into temp tables first, a stretch at a time, as
// everything else is.
int RebuildLostRounds(QSqlDatabase& db) {
  static const char* const kTables[] = {
      "CREATE TEMP TABLE lost_questions AS SELECT * FROM main.questions WHERE 0",
      "CREATE TEMP TABLE lost_tallies AS SELECT * FROM main.problem_stats WHERE 0",
  };
  for (const char* sql : kTables) Run(db, QString::fromLatin1(sql));
  CopyTable(db, QStringLiteral("questions"),
            QStringLiteral(" AND round_id NOT IN (SELECT id FROM main.rounds)"),
            Target{QStringLiteral("temp"), QStringLiteral("lost_questions")});
  CopyTable(db, QStringLiteral("problem_stats"), {},
            Target{QStringLiteral("temp"), QStringLiteral("lost_tallies")});
  static const char* const kSteps[] = {
      "CREATE INDEX temp.lost_tallies_by_text ON lost_tallies (bank_index, text_sjis)",
      "CREATE TEMP TABLE lost_rounds AS SELECT q.round_id AS id, MIN(q.closed_at) AS started_at, "
      "MAX(q.closed_at) AS ended_at, MAX(s.set_hash) AS set_hash, "
      "MAX(s.learner_id) AS learner_id FROM temp.lost_questions q LEFT JOIN temp.lost_tallies s "
      "ON q.kind = 'problem' AND s.bank_index = q.bank_index AND s.text_sjis = q.text_sjis "
      "GROUP BY q.round_id",
      "INSERT OR IGNORE INTO main.problem_sets (content_hash, pair_count, latest_name, "
      "latest_path, latest_at) SELECT 'salvaged', 0, '（壊れた記録から戻した回）', '', "
      "MAX(ended_at) FROM temp.lost_rounds WHERE set_hash IS NULL "
      "OR set_hash NOT IN (SELECT content_hash FROM main.problem_sets) HAVING COUNT(*) > 0",
      "INSERT OR IGNORE INTO main.rounds (id, set_hash, file_path, file_name, pair_count, "
      "started_at, ended_at, ending, learner_id) SELECT l.id, p.content_hash, p.latest_path, "
      "p.latest_name, p.pair_count, l.started_at, l.ended_at, 'unfinished', "
      "COALESCE((SELECT id FROM main.learners WHERE id = l.learner_id), "
      "(SELECT MIN(id) FROM main.learners)) FROM temp.lost_rounds l JOIN main.problem_sets p "
      "ON p.content_hash = CASE WHEN l.set_hash IN (SELECT content_hash FROM main.problem_sets) "
      "THEN l.set_hash ELSE 'salvaged' END",
  };
  int rebuilt = 0;
  for (const char* step : kSteps) {
    QSqlQuery query(db);
    if (!query.exec(QString::fromUtf8(step))) break;
    rebuilt = query.numRowsAffected();
  }
  for (const char* table : {"lost_rounds", "lost_tallies", "lost_questions"}) {
    Run(db, QStringLiteral("DROP TABLE IF EXISTS temp.%1").arg(QLatin1String(table)));
  }
  return std::max(rebuilt, 0);
}

}  // namespace

Salvaged SalvageInto(QSqlDatabase& fresh, const QString& damaged_path) {
  Salvaged salvaged;
  QSqlQuery attach(fresh);
  attach.prepare(QStringLiteral("ATTACH DATABASE ? AS damaged"));
  attach.addBindValue(damaged_path);
  if (!attach.exec()) return salvaged;
  CopyTable(fresh, QStringLiteral("settings"));
  // The new record's first learner takes the name the damaged one had for them, if it can
  // be read; a learner whose row was lost comes back under a made-up name with their rounds.
  Run(fresh, QStringLiteral("UPDATE main.learners SET name = (SELECT name FROM damaged.learners "
                            "NOT INDEXED WHERE id = main.learners.id) WHERE id IN "
                            "(SELECT id FROM damaged.learners NOT INDEXED)"));
  CopyTable(fresh, QStringLiteral("learners"));
  Run(fresh, QStringLiteral("INSERT OR IGNORE INTO main.learners (id, name, created_at) "
                            "SELECT learner_id, '学習者 ' || learner_id, MIN(started_at) "
                            "FROM damaged.rounds NOT INDEXED WHERE learner_id IS NOT NULL "
                            "GROUP BY learner_id"));
  CopyTable(fresh, QStringLiteral("problem_sets"));
  CopyTable(fresh, QStringLiteral("generated_sets"));
  // A round whose set's row was lost still names its set: the set is made again from it.
  Run(fresh, QStringLiteral(
                 "INSERT OR IGNORE INTO main.problem_sets (content_hash, pair_count, latest_name, "
                 "latest_path, latest_at) SELECT set_hash, pair_count, file_name, file_path, "
                 "started_at FROM damaged.rounds NOT INDEXED"));
  // Sets named only by the tallies or the memory (their own row and their rounds' lost).
  for (const char* table : {"problem_stats", "memory_states"}) {
    Run(fresh, QStringLiteral("INSERT OR IGNORE INTO main.problem_sets (content_hash, pair_count, "
                              "latest_name, latest_path, latest_at) SELECT set_hash, "
                              "MAX(bank_index) + 1, '（壊れた記録から戻した問題集）', '', 0 "
                              "FROM damaged.%1 NOT INDEXED "
                              "GROUP BY set_hash")
                   .arg(QLatin1String(table)));
  }
  salvaged.rounds = CopyTable(
      fresh, QStringLiteral("rounds"),
      QStringLiteral(" AND set_hash IN (SELECT content_hash FROM main.problem_sets)"));
  salvaged.rounds += RebuildLostRounds(fresh);
  salvaged.questions = CopyTable(fresh, QStringLiteral("questions"),
                                 QStringLiteral(" AND round_id IN (SELECT id FROM main.rounds)"));
  // Not for a rebuilt round: without its uuid it is never sent.
  CopyTable(fresh, QStringLiteral("upload_queue"),
            QStringLiteral(" AND round_id IN (SELECT id FROM main.rounds WHERE uuid IS NOT NULL)"));
  CopyTable(fresh, QStringLiteral("memory_states"),
            QStringLiteral(" AND learner_id IN (SELECT id FROM main.learners) AND set_hash IN "
                           "(SELECT content_hash FROM main.problem_sets)"));
  Run(fresh, QStringLiteral("DETACH DATABASE damaged"));
  // A round the damaged file had open was left by a program that is gone; the tallies are
  // what the questions that came across say.
  if (Run(fresh, QStringLiteral("BEGIN IMMEDIATE"))) {
    // Queued first, as a start queues the rounds a killed program left open.
    const bool done =
        !QueueOpenRoundsForUpload(fresh, QDateTime::currentMSecsSinceEpoch()) &&
        Run(fresh, QStringLiteral("UPDATE rounds SET ending = 'unfinished' WHERE ending = 'open'")) &&
        Run(fresh, QStringLiteral("DELETE FROM problem_stats")) &&
        Run(fresh, QString::fromLatin1(kRebuildTallies));
    Run(fresh, done ? QStringLiteral("COMMIT") : QStringLiteral("ROLLBACK"));
  }
  return salvaged;
}

}  // namespace rekendo::record
