#include "learner_overview.h"

#include <QDateTime>
#include <QDir>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>
#include <atomic>

#include "csv_export.h"
#include "record_error.h"
#include "record_queries.h"
#include "sqlite_connection.h"

namespace rekendo::record {

namespace {

Error ReadFailed(const QString& path, const QSqlError& error) { return ReadFailure(error, path); }

Result<ClassOverview> Query(const QSqlDatabase& db, const QString& path, qint64 since_ms,
                            qint64 day_end_ms) {
  const QString forty = QLatin1String(kDefaultTimeLimit);
  QSqlQuery query(db);
  query.setForwardOnly(true);
  query.prepare(QStringLiteral(
      "SELECT l.id, l.name, COUNT(r.id), "
      "AVG(CASE WHEN r.ending = 'finished' AND %1 THEN r.score END), "
      "SUM(CASE WHEN r.ending = 'finished' AND NOT (%1) THEN 1 ELSE 0 END), "
      "(SELECT MAX(started_at) FROM rounds WHERE learner_id = l.id), "
      "(SELECT COUNT(*) FROM memory_states m WHERE m.learner_id = l.id AND m.due < ?) "
      "FROM learners l LEFT JOIN rounds r ON r.learner_id = l.id AND r.started_at >= ? "
      "GROUP BY l.id, l.name ORDER BY l.name, l.id")
                    .arg(forty));
  query.addBindValue(day_end_ms / 1000);  // the scheduler counts in seconds
  query.addBindValue(since_ms);
  if (!query.exec()) return ReadFailed(path, query.lastError());
  ClassOverview overview;
  while (query.next()) {
    LearnerWeek row;
    row.id = query.value(0).toLongLong();
    row.name = query.value(1).toString();
    row.rounds = query.value(2).toInt();
    if (!query.value(3).isNull()) row.average = query.value(3).toDouble();
    row.other_limit_rounds = query.value(4).toInt();
    if (!query.value(5).isNull()) row.last_played = query.value(5).toLongLong();
    row.due_today = query.value(6).toInt();
    overview.learners.push_back(std::move(row));
  }
  query.finish();

  // The trend: each learner's latest 40-second rounds, read through the learner index.
  QSqlQuery scores(db);
  scores.setForwardOnly(true);
  scores.prepare(QStringLiteral("SELECT score FROM rounds WHERE learner_id = ? AND "
                                "ending = 'finished' AND %1 ORDER BY started_at DESC LIMIT ?")
                     .arg(forty));
  for (LearnerWeek& learner : overview.learners) {
    scores.bindValue(0, learner.id);
    scores.bindValue(1, kTrendRounds);
    if (!scores.exec()) return ReadFailed(path, scores.lastError());
    while (scores.next()) learner.recent_scores.insert(learner.recent_scores.begin(), scores.value(0).toInt());
  }

  QSqlQuery missed(db);
  missed.setForwardOnly(true);
  missed.prepare(QStringLiteral(
      "SELECT s.latest_name, MAX(t.text_utf8), MAX(t.accepted_utf8), SUM(t.times_asked), "
      "SUM(t.times_right), COUNT(*) FROM problem_stats t "
      "JOIN problem_sets s ON s.content_hash = t.set_hash "
      "GROUP BY t.set_hash, t.bank_index, s.latest_name "
      "HAVING SUM(t.times_right) < SUM(t.times_asked) "
      "ORDER BY SUM(t.times_asked) - SUM(t.times_right) DESC, SUM(t.times_asked) DESC, "
      "s.latest_name, t.bank_index LIMIT ?"));
  missed.addBindValue(kClassMissedShown);
  if (!missed.exec()) return ReadFailed(path, missed.lastError());
  while (missed.next()) {
    ClassMissed problem;
    problem.set_name = missed.value(0).toString();
    problem.text = missed.value(1).toString();
    problem.accepted = JoinAnswers(missed.value(2).toString());
    problem.asked = missed.value(3).toInt();
    problem.right = missed.value(4).toInt();
    problem.learners = missed.value(5).toInt();
    overview.most_missed.push_back(std::move(problem));
  }
  return overview;
}

}  // namespace

Result<ClassOverview> ReadClassOverview(const QString& record_path, qint64 since_ms,
                                        qint64 day_end_ms) {
  ScopedConnection connection("learner-overview", record_path, 1000, OpenMode::kReadOnly);
  if (!connection.isOpen()) return ReadFailed(record_path, connection.db().lastError());
  return Query(connection.db(), record_path, since_ms, day_end_ms);
}

std::string ClassOverviewCsv(const ClassOverview& overview) {
  std::string out = "\xEF\xBB\xBF";
  const auto line = [&out](std::initializer_list<QString> fields) {
    bool first = true;
    for (const QString& field : fields) {
      if (!first) out += ',';
      first = false;
      AppendCsvField(out, field.toStdString());
    }
    out += "\r\n";
  };
  const auto number = [](std::optional<double> value) {
    return value ? QString::number(*value, 'f', 1) : QString();
  };
  line({QStringLiteral("学習者"), QStringLiteral("今週の回数"), QStringLiteral("平均(40秒)"),
        QStringLiteral("ほかの制限時間の回数"), QStringLiteral("最後に解いた日(UTC)"),
        QStringLiteral("今日の復習")});
  for (const LearnerWeek& learner : overview.learners) {
    line({learner.name, QString::number(learner.rounds), number(learner.average),
          QString::number(learner.other_limit_rounds),
          learner.last_played
              ? QDateTime::fromMSecsSinceEpoch(*learner.last_played, Qt::UTC).toString(Qt::ISODate)
              : QString(),
          QString::number(learner.due_today)});
  }
  out += "\r\n";
  line({QStringLiteral("問題ファイル"), QStringLiteral("問題"), QStringLiteral("正解"),
        QStringLiteral("出題"), QStringLiteral("正解した"), QStringLiteral("出題された人数")});
  for (const ClassMissed& problem : overview.most_missed) {
    line({problem.set_name, problem.text, problem.accepted, QString::number(problem.asked),
          QString::number(problem.right), QString::number(problem.learners)});
  }
  return out;
}

qint64 StartOfWeek(qint64 now_ms) {
  const QDate today = QDateTime::fromMSecsSinceEpoch(now_ms).toLocalTime().date();
  return QDateTime(today.addDays(1 - today.dayOfWeek()), QTime(0, 0)).toMSecsSinceEpoch();
}

}  // namespace rekendo::record
