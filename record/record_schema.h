// The tables of the record and the steps that bring an older file up to date. Every step
// is plain SQL that PostgreSQL accepts too; the version number itself lives in the file
// header (see sqlite_connection.h).
#pragma once

#include <QSqlDatabase>
#include <QSqlError>
#include <QString>
#include <QtGlobal>
#include <optional>

namespace rekendo::record {

// The version this program writes. A file with a higher number is read but never written.
inline constexpr int kSchemaVersion = 7;

// What a step writes besides its tables.
struct MigrationValues {
  QString first_learner_name;  // the learner whatever the file held before becomes
  qint64 now_ms = 0;
};

// The id of the learner a record begins with (and whom everything older belongs to).
inline constexpr qint64 kFirstLearnerId = 1;

// Runs the steps from version `from` up to `to` (0 is an empty file) inside the caller's
// transaction and records `to` as the file's version.
std::optional<QSqlError> MigrateSchema(QSqlDatabase& db, int from, int to,
                                       const MigrationValues& values = {});

}  // namespace rekendo::record
