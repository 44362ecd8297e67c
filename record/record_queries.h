// What the 成績 window shows, read with queries that aggregate in SQL: the window never
// holds more rows than it displays, however long the record.
#pragma once

#include <QByteArray>
#include <QSqlDatabase>
#include <QString>
#include <QtGlobal>
#include <optional>
#include <vector>

namespace rekendo::record {

// Rows, or the driver's error text when the query failed.
template <typename Rows>
struct Loaded {
  Rows rows{};
  QString error;  // empty when it worked
  bool ok() const { return error.isEmpty(); }
};

struct SetSummary {
  QString hash;
  QString name;  // the latest file name it was played under
  int pair_count = 0;
  int rounds = 0;      // finished rounds
  int unfinished = 0;  // rounds left before the end
  std::optional<double> average;  // of finished rounds
  std::optional<int> best;
  qint64 last_played = 0;  // ms since 1970 UTC, the latest start
};

// Every problem set with a round, the most recently played first.
Loaded<std::vector<SetSummary>> LoadSetSummaries(const QSqlDatabase& db);

struct ScorePoint {
  qint64 time = 0;     // ms since 1970 UTC
  double score = 0;    // 0 to 100
  int rounds = 1;      // rounds averaged into the point
};

// Scores of the finished rounds of a set in time order. With more rounds than
// `max_points`, rounds are averaged over equal stretches of time, at most `max_points`.
Loaded<std::vector<ScorePoint>> LoadScoreSeries(const QSqlDatabase& db, const QString& hash,
                                                int max_points);

struct MissedProblem {
  int bank_index = 0;
  QByteArray text_sjis;
  QByteArray accepted_sjis;
  QString text;
  QString accepted;  // the accepted answers joined by " または "
  int asked = 0;
  int right = 0;
};

// The problems of a set missed most often (asked less right), at most `limit`.
Loaded<std::vector<MissedProblem>> LoadMostMissed(const QSqlDatabase& db, const QString& hash,
                                                  int limit);

struct QuestionDetail {
  int number = 0;
  QString kind;     // problem, trivia, choice
  QString text;
  QString accepted;
  QString typed;
  QString outcome;  // right, wrong, left, open
  int wrong_tries = 0;
  int seconds_used = 0;
};

struct RoundDetail {
  qint64 started_at = 0;
  std::optional<qint64> ended_at;
  std::optional<int> score;
  QString ending;  // open, finished, unfinished
  QString file_name;
  std::vector<QuestionDetail> questions;  // by number
};

// The latest `limit` rounds of a set, newest first, with their questions.
Loaded<std::vector<RoundDetail>> LoadRecentRounds(const QSqlDatabase& db, const QString& hash,
                                                  int limit);

// The accepted answers of a "$"-separated line, for reading: "a または b".
QString JoinAnswers(const QString& accepted);

}  // namespace rekendo::record
