// The teacher's view of a shared record: per learner the rounds since a day, their average,
// when they last played and their latest scores; the problems the class misses most. Read
// on a connection of its own, so a worker thread can read it while the window (and the
// countdown under it) go on.
#pragma once

#include <QString>
#include <QtGlobal>
#include <optional>
#include <string>
#include <vector>

#include "error.h"

namespace rekendo::record {

struct LearnerWeek {
  qint64 id = 0;
  QString name;
  int rounds = 0;                  // started since the day, whatever their ending
  // Of those played to the end with the default 40 seconds; rounds with another limit are
  // counted apart.
  std::optional<double> average;
  int other_limit_rounds = 0;
  std::optional<qint64> last_played;  // ms since 1970 UTC, any time; none: never played
  std::vector<int> recent_scores;  // the latest finished 40-second rounds, oldest first
  int due_today = 0;  // problems whose review falls due by the end of the day
};

struct ClassMissed {
  QString set_name;
  QString text;      // UTF-8, as kept
  QString accepted;  // "a または b"
  int asked = 0;     // by everyone
  int right = 0;
  int learners = 0;  // how many were asked it
};

struct ClassOverview {
  std::vector<LearnerWeek> learners;  // by name
  std::vector<ClassMissed> most_missed;  // the most wrong answers first
};

inline constexpr int kTrendRounds = 20;
inline constexpr int kClassMissedShown = 10;

// Every learner of the record at `record_path`, by name, and the problems missed most;
// `since_ms` is the start of the span, `day_end_ms` the end of today (for what falls due).
Result<ClassOverview> ReadClassOverview(const QString& record_path, qint64 since_ms,
                                        qint64 day_end_ms);

// The overview as a CSV table (UTF-8 with a byte-order mark, CRLF): a line per learner, then
// a line per problem missed most.
std::string ClassOverviewCsv(const ClassOverview& overview);

// The start of this week (Monday 00:00, local time) for the moment `now_ms`.
qint64 StartOfWeek(qint64 now_ms);

}  // namespace rekendo::record
