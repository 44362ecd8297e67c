#include "upload_queue.h"

#include <QSqlQuery>
#include <QVariant>

namespace rekendo::record {

std::optional<QSqlError> QueueForUpload(QSqlDatabase& db, std::int64_t round_id, qint64 now_ms) {
  QSqlQuery query(db);
  query.prepare(QStringLiteral(
      "INSERT INTO upload_queue (round_id, queued_at) SELECT id, ? FROM rounds "
      "WHERE id = ? AND uuid IS NOT NULL ON CONFLICT (round_id) DO NOTHING"));
  query.addBindValue(now_ms);
  query.addBindValue(static_cast<qint64>(round_id));
  if (!query.exec()) return query.lastError();
  return std::nullopt;
}

std::optional<QSqlError> QueueOpenRoundsForUpload(QSqlDatabase& db, qint64 now_ms) {
  QSqlQuery query(db);
  query.prepare(QStringLiteral(
      "INSERT INTO upload_queue (round_id, queued_at) SELECT id, ? FROM rounds "
      "WHERE ending = 'open' AND uuid IS NOT NULL ON CONFLICT (round_id) DO NOTHING"));
  query.addBindValue(now_ms);
  if (!query.exec()) return query.lastError();
  return std::nullopt;
}

}  // namespace rekendo::record
