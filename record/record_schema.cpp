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

const QStringList* StepTo(int version) {
  switch (version) {
    case 1: return &kVersion1;
    case 2: return &kVersion2;
    case 3: return &kVersion3;
    default: return nullptr;
  }
}

}  // namespace

std::optional<QSqlError> MigrateSchema(QSqlDatabase& db, int from, int to) {
  for (int version = from + 1; version <= to; ++version) {
    const QStringList* step = StepTo(version);
    if (!step) return QSqlError(QStringLiteral("no step to schema version %1").arg(version));
    for (const QString& sql : *step) {
      QSqlQuery query(db);
      if (!query.exec(sql)) return query.lastError();
    }
  }
  return WriteSchemaVersion(db, to);
}

}  // namespace rekendo::record
