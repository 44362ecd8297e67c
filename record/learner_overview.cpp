#include "learner_overview.h"

#include <QDateTime>
#include <QDir>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>
#include <atomic>

#include "sqlite_connection.h"

namespace rekendo::record {

namespace {

Error ReadFailed(const QString& path, const QString& detail) {
  return Error{ErrorCode::kIo, "記録を読めませんでした。", QDir::toNativeSeparators(path).toStdString(),
               detail.toStdString()};
}

Result<std::vector<LearnerWeek>> Query(const QSqlDatabase& db, const QString& path, qint64 since_ms) {
  QSqlQuery query(db);
  query.setForwardOnly(true);
  query.prepare(QStringLiteral(
      "SELECT l.id, l.name, COUNT(r.id), AVG(CASE WHEN r.ending = 'finished' THEN r.score END), "
      "(SELECT MAX(started_at) FROM rounds WHERE learner_id = l.id) "
      "FROM learners l LEFT JOIN rounds r ON r.learner_id = l.id AND r.started_at >= ? "
      "GROUP BY l.id, l.name ORDER BY l.name, l.id"));
  query.addBindValue(since_ms);
  if (!query.exec()) return ReadFailed(path, query.lastError().text());
  std::vector<LearnerWeek> rows;
  while (query.next()) {
    LearnerWeek row;
    row.id = query.value(0).toLongLong();
    row.name = query.value(1).toString();
    row.rounds = query.value(2).toInt();
    if (!query.value(3).isNull()) row.average = query.value(3).toDouble();
    if (!query.value(4).isNull()) row.last_played = query.value(4).toLongLong();
    rows.push_back(std::move(row));
  }
  return rows;
}

}  // namespace

Result<std::vector<LearnerWeek>> ReadLearnerOverview(const QString& record_path, qint64 since_ms) {
  // Connections belong to one thread each: every call has a name of its own.
  static std::atomic<int> calls{0};
  const QString name = QStringLiteral("rekendo-learner-overview-%1").arg(calls.fetch_add(1));
  Result<std::vector<LearnerWeek>> result = ReadFailed(record_path, {});
  {
    QSqlDatabase db = OpenSqlite(name, record_path, 1000, OpenMode::kReadOnly);
    result = db.isOpen() ? Query(db, record_path, since_ms)
                         : Result<std::vector<LearnerWeek>>(ReadFailed(record_path, db.lastError().text()));
    db.close();
  }
  QSqlDatabase::removeDatabase(name);
  return result;
}

qint64 StartOfWeek(qint64 now_ms) {
  const QDate today = QDateTime::fromMSecsSinceEpoch(now_ms).toLocalTime().date();
  return QDateTime(today.addDays(1 - today.dayOfWeek()), QTime(0, 0)).toMSecsSinceEpoch();
}

}  // namespace rekendo::record
