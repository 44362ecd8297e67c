// What the 成績 window shows, read with queries that aggregate in SQL: the window never
// holds more rows than it displays, however long the record. The record runs them on its own
// connection (Record::SetSummaries() and the like); nothing outside record/ sees a database.
#pragma once

#include <QByteArray>
#include <QSqlDatabase>
#include <QString>
#include <QtGlobal>
#include <optional>
#include <vector>

#include "error.h"
#include "record_rows.h"

namespace rekendo::record {

struct SetSummary {
  QString hash;
  QString name;  // the latest file name it was played under
  int pair_count = 0;
  int rounds = 0;      // finished rounds
  int unfinished = 0;  // rounds left before the end
  // Of finished rounds with the 40 seconds a question has by default: a round with more
  // time (or none) is not the same test, so its score is counted apart.
  std::optional<double> average;
  std::optional<int> best;
  int other_limit_rounds = 0;  // finished rounds with another time limit
  std::optional<double> other_limit_average;
  int due_today = 0;  // the learner's problems of it whose review falls due by day_end
  qint64 last_played = 0;  // ms since 1970 UTC, the latest start
};

// Every query reads one learner's rounds and tallies only (`learner_id`).

// Every problem set with a round, the most recently played first.
// `day_end` (seconds since 1970 UTC): the end of the learner's today, for what falls due.
Result<std::vector<SetSummary>> LoadSetSummaries(const QSqlDatabase& db, qint64 learner_id,
                                                 qint64 day_end = 0);

struct ScorePoint {
  qint64 time = 0;     // ms since 1970 UTC
  double score = 0;    // 0 to 100
  int rounds = 1;      // rounds averaged into the point
};

// Scores of the finished 40-second rounds of a set in time order. With more rounds than
// `max_points`, rounds are averaged over equal stretches of time, at most `max_points`.
Result<std::vector<ScorePoint>> LoadScoreSeries(const QSqlDatabase& db, qint64 learner_id,
                                                const QString& hash, int max_points);

struct MissedProblem {
  int bank_index = 0;
  QByteArray text_sjis;
  QByteArray accepted_sjis;
  QString text;
  QString accepted;  // the accepted answers joined by " または "
  int asked = 0;
  int right = 0;
  bool cut = false;  // the record kept only the start of its text or answers
};

// The problems of a set missed most often (asked less right), at most `limit`.
Result<std::vector<MissedProblem>> LoadMostMissed(const QSqlDatabase& db, qint64 learner_id,
                                                  const QString& hash, int limit);

struct QuestionDetail {
  int number = 0;
  QuestionKind kind = QuestionKind::kProblem;
  QString text;
  QString accepted;
  QString typed;
  QuestionOutcome outcome = QuestionOutcome::kOpenAtEnd;
  int wrong_tries = 0;
  int seconds_used = 0;
};

struct RoundDetail {
  qint64 started_at = 0;
  std::optional<qint64> ended_at;
  std::optional<int> score;
  RoundEnding ending = RoundEnding::kOpen;
  int time_limit_seconds = 40;  // per question; 0: no limit
  QString file_name;
  std::vector<QuestionDetail> questions;  // by number
};

// The latest `limit` rounds of a set, newest first, with their questions.
Result<std::vector<RoundDetail>> LoadRecentRounds(const QSqlDatabase& db, qint64 learner_id,
                                                  const QString& hash, int limit);

// SQL: true for a round played with the default 40 seconds (older rounds kept no limit: they
// all had 40).
inline constexpr const char* kDefaultTimeLimit = "COALESCE(time_limit, 40) = 40";

// The accepted answers of a "$"-separated line, for reading: "a または b".
QString JoinAnswers(const QString& accepted);

}  // namespace rekendo::record
