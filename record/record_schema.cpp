#include "record_schema.h"

#include <QSqlQuery>
#include <QStringList>

#include "sqlite_connection.h"

namespace rekendo::record {

namespace {

// Version 1: problem sets by content hash, rounds, their questions, and a running tally per
// problem so that the most missed problems of a set need no scan of every question.
// Ids of rounds are drawn at random by the program (no AUTOINCREMENT or SERIAL, which the
// two databases spell differently). BYTEA holds the Shift-JIS bytes: PostgreSQL's name
// for a byte string, and a type SQLite stores blobs under unchanged.
const QStringList kVersion1 = {
    QStringLiteral(R"(CREATE TABLE problem_sets (
  content_hash VARCHAR(64) NOT NULL PRIMARY KEY,
  pair_count INTEGER NOT NULL,
  latest_name TEXT NOT NULL,
  latest_path TEXT NOT NULL,
  latest_at BIGINT NOT NULL
))"),
    QStringLiteral(R"(CREATE TABLE rounds (
  id BIGINT NOT NULL PRIMARY KEY,
  set_hash VARCHAR(64) NOT NULL REFERENCES problem_sets (content_hash),
  file_path TEXT NOT NULL,
  file_name TEXT NOT NULL,
  pair_count INTEGER NOT NULL,
  started_at BIGINT NOT NULL,
  ended_at BIGINT,
  score INTEGER,
  judgement_index INTEGER,
  ending VARCHAR(10) NOT NULL CHECK (ending IN ('open', 'finished', 'unfinished'))
))"),
    // The per-set summary and the score chart read only this index.
    QStringLiteral("CREATE INDEX rounds_by_set_ending ON rounds (set_hash, ending, started_at, score)"),
    // The latest rounds of a set, whatever their ending.
    QStringLiteral("CREATE INDEX rounds_by_set_time ON rounds (set_hash, started_at)"),
    // Rounds left open by a program that was killed, found at the next start.
    QStringLiteral("CREATE INDEX rounds_open ON rounds (ending) WHERE ending = 'open'"),
    QStringLiteral(R"(CREATE TABLE questions (
  round_id BIGINT NOT NULL REFERENCES rounds (id) ON DELETE CASCADE,
  number INTEGER NOT NULL,
  kind VARCHAR(8) NOT NULL CHECK (kind IN ('problem', 'trivia', 'choice')),
  bank_index INTEGER NOT NULL,
  text_sjis BYTEA NOT NULL,
  text_utf8 TEXT NOT NULL,
  accepted_sjis BYTEA NOT NULL,
  accepted_utf8 TEXT NOT NULL,
  typed_sjis BYTEA NOT NULL,
  typed_utf8 TEXT NOT NULL,
  outcome VARCHAR(8) NOT NULL CHECK (outcome IN ('right', 'wrong', 'left', 'open')),
  wrong_tries INTEGER NOT NULL,
  seconds_used INTEGER NOT NULL,
  closed_at BIGINT NOT NULL,
  PRIMARY KEY (round_id, number)
))"),
    QStringLiteral(R"(CREATE TABLE problem_stats (
  set_hash VARCHAR(64) NOT NULL REFERENCES problem_sets (content_hash),
  bank_index INTEGER NOT NULL,
  text_sjis BYTEA NOT NULL,
  text_utf8 TEXT NOT NULL,
  accepted_sjis BYTEA NOT NULL,
  accepted_utf8 TEXT NOT NULL,
  times_asked INTEGER NOT NULL,
  times_right INTEGER NOT NULL,
  last_asked BIGINT NOT NULL,
  PRIMARY KEY (set_hash, bank_index)
))"),
};

// Version 2: the learner's settings (recording on or off).
const QStringList kVersion2 = {
    QStringLiteral(R"(CREATE TABLE settings (
  name VARCHAR(32) NOT NULL PRIMARY KEY,
  value TEXT NOT NULL
))"),
};

// Version 3: texts are kept cut to what the window shows, with the whole text's length and
// SHA-256 (NULL in older rows, which were kept whole); each round's time limit (NULL: the
// 40 seconds every older round had).
const QStringList kVersion3 = {
    QStringLiteral("ALTER TABLE questions ADD COLUMN text_length INTEGER"),
    QStringLiteral("ALTER TABLE questions ADD COLUMN text_sha256 VARCHAR(64)"),
    QStringLiteral("ALTER TABLE questions ADD COLUMN accepted_length INTEGER"),
    QStringLiteral("ALTER TABLE questions ADD COLUMN accepted_sha256 VARCHAR(64)"),
    QStringLiteral("ALTER TABLE questions ADD COLUMN typed_length INTEGER"),
    QStringLiteral("ALTER TABLE problem_stats ADD COLUMN text_length INTEGER"),
    QStringLiteral("ALTER TABLE problem_stats ADD COLUMN accepted_length INTEGER"),
    QStringLiteral("ALTER TABLE rounds ADD COLUMN time_limit INTEGER"),
};

// Version 4: learners sharing one record (a family PC, a school login), what the class
// server still has to receive, the memory of every problem for the scheduler, and the topic
// and level of the sets 問題を作る made. Whatever the file held before belongs to the first
// learner (id 1), named when the file is brought up to date. A round's uuid is its name on
// the class server; rounds older than this have none and are never sent. The tallies are
// kept per learner now, so their key changes: the table is copied into a new one.
const QStringList kVersion4 = {
    QStringLiteral(R"(CREATE TABLE learners (
  id BIGINT NOT NULL PRIMARY KEY,
  name TEXT NOT NULL UNIQUE,
  created_at BIGINT NOT NULL,
  class_role TEXT
))"),
    QStringLiteral("INSERT INTO learners (id, name, created_at) VALUES (1, :learner, :now)"),
    QStringLiteral("ALTER TABLE rounds ADD COLUMN learner_id BIGINT REFERENCES learners (id)"),
    QStringLiteral("ALTER TABLE rounds ADD COLUMN uuid VARCHAR(36)"),
    QStringLiteral("UPDATE rounds SET learner_id = 1"),
    QStringLiteral("CREATE UNIQUE INDEX rounds_by_uuid ON rounds (uuid)"),
    QStringLiteral(
        "CREATE INDEX rounds_by_learner ON rounds (learner_id, set_hash, ending, started_at, score)"),
    QStringLiteral(R"(CREATE TABLE learner_problem_stats (
  learner_id BIGINT NOT NULL REFERENCES learners (id) ON DELETE CASCADE,
  set_hash VARCHAR(64) NOT NULL REFERENCES problem_sets (content_hash),
  bank_index INTEGER NOT NULL,
  text_sjis BYTEA NOT NULL,
  text_utf8 TEXT NOT NULL,
  accepted_sjis BYTEA NOT NULL,
  accepted_utf8 TEXT NOT NULL,
  times_asked INTEGER NOT NULL,
  times_right INTEGER NOT NULL,
  last_asked BIGINT NOT NULL,
  text_length INTEGER,
  accepted_length INTEGER,
  PRIMARY KEY (learner_id, set_hash, bank_index)
))"),
    QStringLiteral(
        "INSERT INTO learner_problem_stats (learner_id, set_hash, bank_index, text_sjis, "
        "text_utf8, accepted_sjis, accepted_utf8, times_asked, times_right, last_asked, "
        "text_length, accepted_length) SELECT 1, set_hash, bank_index, text_sjis, text_utf8, "
        "accepted_sjis, accepted_utf8, times_asked, times_right, last_asked, text_length, "
        "accepted_length FROM problem_stats"),
    QStringLiteral("DROP TABLE problem_stats"),
    QStringLiteral("ALTER TABLE learner_problem_stats RENAME TO problem_stats"),
    // A closed round waits here until the class server has it. given_up: the server will
    // never take it (kept for people to look at, not sent again).
    QStringLiteral(R"(CREATE TABLE upload_queue (
  round_id BIGINT NOT NULL PRIMARY KEY REFERENCES rounds (id) ON DELETE CASCADE,
  queued_at BIGINT NOT NULL,
  tries INTEGER NOT NULL DEFAULT 0,
  last_tried BIGINT,
  last_error TEXT,
  given_up INTEGER NOT NULL DEFAULT 0
))"),
    // Times in seconds since 1970-01-01 UTC, as the scheduler counts them.
    QStringLiteral(R"(CREATE TABLE memory_states (
  learner_id BIGINT NOT NULL REFERENCES learners (id) ON DELETE CASCADE,
  set_hash VARCHAR(64) NOT NULL REFERENCES problem_sets (content_hash),
  bank_index INTEGER NOT NULL,
  stability DOUBLE PRECISION NOT NULL,
  difficulty DOUBLE PRECISION NOT NULL,
  last_review BIGINT NOT NULL,
  due BIGINT NOT NULL,
  reviews INTEGER NOT NULL,
  lapses INTEGER NOT NULL,
  PRIMARY KEY (learner_id, set_hash, bank_index)
))"),
    QStringLiteral("CREATE INDEX memory_due ON memory_states (learner_id, due)"),
    QStringLiteral(R"(CREATE TABLE generated_sets (
  content_hash VARCHAR(64) NOT NULL PRIMARY KEY,
  topic VARCHAR(32) NOT NULL,
  level INTEGER NOT NULL,
  made_at BIGINT NOT NULL
))"),
};

// Version 5: where each problem of a 今日の練習 file came from, so that answering it there
// reviews the problem in its own set (the file is a set of its own, by its bytes).
const QStringList kVersion5 = {
    QStringLiteral(R"(CREATE TABLE practice_problems (
  set_hash VARCHAR(64) NOT NULL,
  bank_index INTEGER NOT NULL,
  origin_hash VARCHAR(64) NOT NULL,
  origin_index INTEGER NOT NULL,
  PRIMARY KEY (set_hash, bank_index)
))"),
};

// Version 6: no new table. Memory computed before a same-day Hard kept its stability (as the
// FSRS reference implementations do) is recomputed from the history in the same transaction.
const QStringList kVersion6 = {};

// Version 7: 成績's per-set figures count 40-second rounds apart, so the learner's index
// carries the time limit too (next to the ending, which it is grouped with) and answers
// them without reading a single round's row; a learner's latest rounds of a set come from
// an index in that order.
const QStringList kVersion7 = {
    QStringLiteral("DROP INDEX IF EXISTS rounds_by_learner"),
    QStringLiteral("CREATE INDEX IF NOT EXISTS rounds_by_learner ON rounds "
                   "(learner_id, set_hash, ending, time_limit, started_at, score)"),
    QStringLiteral(
        "CREATE INDEX IF NOT EXISTS rounds_by_learner_time ON rounds (learner_id, set_hash, started_at)"),
};

const QStringList* StepTo(int version) {
  switch (version) {
    case 1: return &kVersion1;
    case 2: return &kVersion2;
    case 3: return &kVersion3;
    case 4: return &kVersion4;
    case 5: return &kVersion5;
    case 6: return &kVersion6;
    case 7: return &kVersion7;
    default: return nullptr;
  }
}

}  // namespace

std::optional<QSqlError> MigrateSchema(QSqlDatabase& db, int from, int to,
                                       const MigrationValues& values) {
  for (int version = from + 1; version <= to; ++version) {
    const QStringList* step = StepTo(version);
    if (!step) return QSqlError(QStringLiteral("no step to schema version %1").arg(version));
    for (const QString& sql : *step) {
      QSqlQuery query(db);
      if (!query.prepare(sql)) return query.lastError();
      // The only values a step needs; bound, never spliced into the text.
      if (sql.contains(QStringLiteral(":learner"))) {
        query.bindValue(QStringLiteral(":learner"), values.first_learner_name);
      }
      if (sql.contains(QStringLiteral(":now"))) {
        query.bindValue(QStringLiteral(":now"), values.now_ms);
      }
      if (!query.exec()) return query.lastError();
    }
  }
  return WriteSchemaVersion(db, to);
}

}  // namespace rekendo::record
