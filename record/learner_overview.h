// The teacher's view of a shared record: per learner the rounds since a day, their average,
// when they last played; read on a connection of its own, so a worker thread can read it
// while the window (and the countdown under it) go on.
#pragma once

#include <QString>
#include <QtGlobal>
#include <optional>
#include <vector>

#include "error.h"

namespace rekendo::record {

struct LearnerWeek {
  qint64 id = 0;
  QString name;
  int rounds = 0;                  // started since the day, whatever their ending
  std::optional<double> average;   // of those played to the end
  std::optional<qint64> last_played;  // ms since 1970 UTC, any time; none: never played
};

// Every learner of the record at `record_path`, by name; `since_ms` is the start of the span.
Result<std::vector<LearnerWeek>> ReadLearnerOverview(const QString& record_path, qint64 since_ms);

// The start of this week (Monday 00:00, local time) for the moment `now_ms`.
qint64 StartOfWeek(qint64 now_ms);

}  // namespace rekendo::record
