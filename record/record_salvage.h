// What can still be read of a damaged record, carried into a new one: every row of its
// tables that SQLite can read, skipping the pages it cannot, and the tallies worked out again
// from the questions that came across.
#pragma once

#include <QSqlDatabase>
#include <QString>

namespace rekendo::record {

struct Salvaged {
  int rounds = 0;
  int questions = 0;
};

// Copies from the damaged file at `damaged_path` into `fresh`, an open record of today's
// schema with nothing in it yet. Whatever fails is passed over: the result counts what came.
Salvaged SalvageInto(QSqlDatabase& fresh, const QString& damaged_path);

// Rebuilds problem_stats from the questions (the statement 記録を消す uses too).
extern const char* const kRebuildTallies;

}  // namespace rekendo::record
