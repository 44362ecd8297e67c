#include "record_queries.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QVariant>
#include <algorithm>
#include <map>

#include "record_error.h"

namespace rekendo::record {

namespace {

Error ReadFailed(const QSqlError& error) { return ReadFailure(error); }

std::optional<int> IntOrNothing(const QVariant& value) {
  if (value.isNull()) return std::nullopt;
  return value.toInt();
}

}  // namespace

QString JoinAnswers(const QString& accepted) {
  return accepted.split(QLatin1Char('$')).join(QStringLiteral(" または "));
}

Result<std::vector<SetSummary>> LoadSetSummaries(const QSqlDatabase& db, qint64 learner_id,
                                                 qint64 day_end) {
  std::vector<SetSummary> rows;
  QSqlQuery query(db);
  query.setForwardOnly(true);
  // One row per set, ending and time limit, read off the rounds_by_learner index in its own
  // order (cheaper than one CASE per figure per round); the rows of a set are added up
  // below. The due count goes through the states' key (learner, set), not through
  // memory_due, which would read every due state of the learner once per set.
  query.prepare(QStringLiteral(
      "SELECT s.content_hash, s.latest_name, s.pair_count, r.ending, r.usual, r.rounds, "
      "r.score_sum, r.scored, r.best, r.last_played, "
      "(SELECT COUNT(*) FROM memory_states m WHERE m.learner_id = ? AND "
      "m.set_hash = s.content_hash AND +m.due < ?) "
      "FROM problem_sets s JOIN ("
      "SELECT set_hash, ending, %1 AS usual, COUNT(*) AS rounds, SUM(score) AS score_sum, "
      "COUNT(score) AS scored, MAX(score) AS best, MAX(started_at) AS last_played "
      "FROM rounds WHERE learner_id = ? GROUP BY set_hash, ending, time_limit"
      ") r ON r.set_hash = s.content_hash ORDER BY s.content_hash")
                    .arg(QLatin1String(kDefaultTimeLimit)));
  query.addBindValue(learner_id);
  query.addBindValue(day_end);
  query.addBindValue(learner_id);
  if (!query.exec()) {
    return ReadFailed(query.lastError());
  }
  // Score sums and counts per set, for the two averages.
  struct Scores {
    qint64 usual_sum = 0, usual_count = 0, other_sum = 0, other_count = 0;
  };
  std::vector<Scores> scores;
  while (query.next()) {
    const QString hash = query.value(0).toString();
    if (rows.empty() || rows.back().hash != hash) {
      SetSummary set;
      set.hash = hash;
      set.name = query.value(1).toString();
      set.pair_count = query.value(2).toInt();
      set.due_today = query.value(10).toInt();
      rows.push_back(std::move(set));
      scores.emplace_back();
    }
    SetSummary& set = rows.back();
    Scores& sums = scores.back();
    const RoundEnding ending = EndingFromCode(query.value(3).toString());
    const bool usual = query.value(4).toBool();
    const int count = query.value(5).toInt();
    set.last_played = std::max(set.last_played, query.value(9).toLongLong());
    if (ending == RoundEnding::kUnfinished) set.unfinished += count;
    if (ending != RoundEnding::kFinished) continue;
    set.rounds += count;
    if (usual) {
      sums.usual_sum += query.value(6).toLongLong();
      sums.usual_count += query.value(7).toLongLong();
      if (!query.value(8).isNull()) {
        set.best = std::max(set.best.value_or(query.value(8).toInt()), query.value(8).toInt());
      }
    } else {
      set.other_limit_rounds += count;
      sums.other_sum += query.value(6).toLongLong();
      sums.other_count += query.value(7).toLongLong();
    }
  }
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const Scores& sums = scores[i];
    if (sums.usual_count > 0) {
      rows[i].average = static_cast<double>(sums.usual_sum) / static_cast<double>(sums.usual_count);
    }
    if (sums.other_count > 0) {
      rows[i].other_limit_average =
          static_cast<double>(sums.other_sum) / static_cast<double>(sums.other_count);
    }
  }
  std::stable_sort(rows.begin(), rows.end(), [](const SetSummary& a, const SetSummary& b) {
    return a.last_played > b.last_played;
  });
  return rows;
}

Result<std::vector<ScorePoint>> LoadScoreSeries(const QSqlDatabase& db, qint64 learner_id,
                                                const QString& hash, int max_points) {
  std::vector<ScorePoint> rows;
  QSqlQuery span(db);
  span.prepare(QStringLiteral(
      "SELECT COUNT(*), MIN(started_at), MAX(started_at) FROM rounds "
      "WHERE learner_id = ? AND set_hash = ? AND ending = 'finished' AND %1")
                   .arg(QLatin1String(kDefaultTimeLimit)));
  span.addBindValue(learner_id);
  span.addBindValue(hash);
  if (!span.exec() || !span.next()) {
    return ReadFailed(span.lastError());
  }
  const qint64 count = span.value(0).toLongLong();
  const qint64 first = span.value(1).toLongLong();
  const qint64 width = span.value(2).toLongLong() - first + 1;
  span.finish();
  if (count == 0) return rows;

  QSqlQuery points(db);
  points.setForwardOnly(true);
  if (count <= max_points) {
    points.prepare(QStringLiteral(
        "SELECT started_at, score, 1 FROM rounds WHERE learner_id = ? AND set_hash = ? "
        "AND ending = 'finished' AND %1 ORDER BY started_at")
                       .arg(QLatin1String(kDefaultTimeLimit)));
    points.addBindValue(learner_id);
    points.addBindValue(hash);
  } else {
    // Integer division puts each round in one of max_points equal stretches of time.
    points.prepare(QStringLiteral(
        "SELECT MIN(started_at), AVG(score), COUNT(*) FROM rounds "
        "WHERE learner_id = ? AND set_hash = ? AND ending = 'finished' AND %1 "
        "GROUP BY (started_at - ?) * ? / ? ORDER BY MIN(started_at)")
                       .arg(QLatin1String(kDefaultTimeLimit)));
    points.addBindValue(learner_id);
    points.addBindValue(hash);
    points.addBindValue(first);
    points.addBindValue(static_cast<qint64>(max_points));
    points.addBindValue(width);
  }
  if (!points.exec()) {
    return ReadFailed(points.lastError());
  }
  while (points.next()) {
    rows.push_back({points.value(0).toLongLong(), points.value(1).toDouble(),
                           points.value(2).toInt()});
  }
  return rows;
}

Result<std::vector<MissedProblem>> LoadMostMissed(const QSqlDatabase& db, qint64 learner_id,
                                                  const QString& hash, int limit) {
  std::vector<MissedProblem> rows;
  QSqlQuery query(db);
  query.setForwardOnly(true);
  query.prepare(QStringLiteral(
      "SELECT bank_index, text_sjis, accepted_sjis, text_utf8, accepted_utf8, times_asked, "
      "times_right, COALESCE(text_length, 0) > LENGTH(text_sjis) "
      "OR COALESCE(accepted_length, 0) > LENGTH(accepted_sjis) "
      "FROM problem_stats WHERE learner_id = ? AND set_hash = ? AND times_right < times_asked "
      "ORDER BY times_asked - times_right DESC, times_asked DESC, bank_index LIMIT ?"));
  query.addBindValue(learner_id);
  query.addBindValue(hash);
  query.addBindValue(limit);
  if (!query.exec()) {
    return ReadFailed(query.lastError());
  }
  while (query.next()) {
    MissedProblem problem;
    problem.bank_index = query.value(0).toInt();
    problem.text_sjis = query.value(1).toByteArray();
    problem.accepted_sjis = query.value(2).toByteArray();
    problem.text = query.value(3).toString();
    problem.accepted = JoinAnswers(query.value(4).toString());
    problem.asked = query.value(5).toInt();
    problem.right = query.value(6).toInt();
    problem.cut = query.value(7).toBool();
    rows.push_back(std::move(problem));
  }
  return rows;
}

Result<std::vector<RoundDetail>> LoadRecentRounds(const QSqlDatabase& db, qint64 learner_id,
                                                  const QString& hash, int limit) {
  std::vector<RoundDetail> rows;
  QSqlQuery rounds(db);
  rounds.setForwardOnly(true);
  rounds.prepare(QStringLiteral(
      "SELECT id, started_at, ended_at, score, ending, file_name, COALESCE(time_limit, 40) "
      "FROM rounds WHERE learner_id = ? AND set_hash = ? ORDER BY started_at DESC LIMIT ?"));
  rounds.addBindValue(learner_id);
  rounds.addBindValue(hash);
  rounds.addBindValue(limit);
  if (!rounds.exec()) {
    return ReadFailed(rounds.lastError());
  }
  std::map<qint64, std::size_t> position;  // round id to its row
  while (rounds.next()) {
    RoundDetail round;
    round.started_at = rounds.value(1).toLongLong();
    if (!rounds.value(2).isNull()) round.ended_at = rounds.value(2).toLongLong();
    round.score = IntOrNothing(rounds.value(3));
    round.ending = EndingFromCode(rounds.value(4).toString());
    round.file_name = rounds.value(5).toString();
    round.time_limit_seconds = rounds.value(6).toInt();
    position[rounds.value(0).toLongLong()] = rows.size();
    rows.push_back(std::move(round));
  }
  rounds.finish();
  if (rows.empty()) return rows;

  QSqlQuery questions(db);
  questions.setForwardOnly(true);
  questions.prepare(QStringLiteral(
      "SELECT round_id, number, kind, text_utf8, accepted_utf8, typed_utf8, outcome, "
      "wrong_tries, seconds_used FROM questions WHERE round_id IN ("
      "SELECT id FROM rounds WHERE learner_id = ? AND set_hash = ? ORDER BY started_at DESC "
      "LIMIT ?) ORDER BY round_id, number"));
  questions.addBindValue(learner_id);
  questions.addBindValue(hash);
  questions.addBindValue(limit);
  if (!questions.exec()) {
    return ReadFailed(questions.lastError());
  }
  while (questions.next()) {
    const auto round = position.find(questions.value(0).toLongLong());
    if (round == position.end()) continue;  // a round started between the two queries
    QuestionDetail question;
    question.number = questions.value(1).toInt();
    question.kind = KindFromCode(questions.value(2).toString());
    question.text = questions.value(3).toString();
    question.accepted = JoinAnswers(questions.value(4).toString());
    question.typed = questions.value(5).toString();
    question.outcome = OutcomeFromCode(questions.value(6).toString());
    question.wrong_tries = questions.value(7).toInt();
    question.seconds_used = questions.value(8).toInt();
    rows[round->second].questions.push_back(std::move(question));
  }
  return rows;
}

}  // namespace rekendo::record
