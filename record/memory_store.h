// The scheduler's memory of every problem a learner has answered (memory_states): one review
// as a question closes, and the whole history replayed when an older record is brought up
// to date. Both run inside the caller's write transaction.
#pragma once

#include <QSqlDatabase>
#include <QSqlError>
#include <QString>
#include <QtGlobal>
#include <functional>
#include <optional>
#include <vector>

#include "error.h"
#include "fsrs.h"
#include "practice.h"
#include "statement_cache.h"

namespace rekendo::record {

// The scheduler at the learner's retention, and the learner's offset from UTC, which decides
// where one calendar day ends and the next begins.
struct MemorySchedule {
  schedule::Scheduler scheduler;
  schedule::UtcOffset utc_offset = 0;
};

// Reviews the problem `bank_index` of `set_hash` for the learner who plays round `round_id`,
// answered at `when`: the problem it was copied from, when it is one of a 今日の練習 file. A
// clock set back since the last review counts as the same moment, so the review is never
// lost. Its statements are kept in `statements`, prepared once for the connection.
std::optional<QSqlError> ReviewProblem(QSqlDatabase& db, StatementCache& statements,
                                       qint64 round_id, const QString& set_hash, int bank_index,
                                       schedule::Grade grade, schedule::UnixSeconds when,
                                       const MemorySchedule& schedule);

// Questions replayed so far, of how many.
using ReplayProgress = std::function<void(qint64 done, qint64 total)>;

// Replays every graded problem question of the record, oldest first, into memory_states
// (replacing what is there).
std::optional<QSqlError> ReplayHistory(QSqlDatabase& db, const MemorySchedule& schedule,
                                       const ReplayProgress& progress = {});

// Problem i (1-based) of the set `set_hash` is a copy of origins[i - 1].
std::optional<QSqlError> NotePracticeOrigins(QSqlDatabase& db, const QString& set_hash,
                                             const std::vector<schedule::ProblemKey>& origins);

// Every memory state of a learner.
Result<std::vector<schedule::ScheduledProblem>> LoadMemoryStates(const QSqlDatabase& db,
                                                                 qint64 learner_id);

// Up to `max_rows` of the learner's states due on the calendar day of `now`, the most overdue
// first (the lowest chance of recall, which falls as elapsed days / stability grows): the
// few that today's practice can use, sorted in SQL however many there are. The margin of a
// day and the rows to spare are for the scheduler's DueDay and order to decide exactly.
Result<std::vector<schedule::ScheduledProblem>> LoadDueStates(const QSqlDatabase& db,
                                                              qint64 learner_id,
                                                              const MemorySchedule& schedule,
                                                              schedule::UnixSeconds now,
                                                              int max_rows);

// The indexes of `set_hash` the learner has a memory of.
Result<std::vector<int>> LoadKnownIndexes(const QSqlDatabase& db, qint64 learner_id,
                                          const QString& set_hash);

}  // namespace rekendo::record
