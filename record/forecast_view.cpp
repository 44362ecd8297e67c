#include "forecast_view.h"

#include <QDir>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QVariant>
#include <atomic>

#include "record_error.h"
#include "sqlite_connection.h"

namespace rekendo::record {

Result<schedule::SetForecast> ReadSetForecast(const Record& record, const QString& hash,
                                              schedule::UnixSeconds now) {
  schedule::SetForecast empty;
  empty.set_hash = hash.toStdString();
  if (!record.IsOpen()) return empty;
  Result<schedule::SetForecast> result = empty;
  {
    ScopedConnection connection("forecast", record.FilePath(), 1000, OpenMode::kReadOnly);
    QSqlDatabase& db = connection.db();
    QSqlQuery query(db);
    query.setForwardOnly(true);
    // One set of one learner: a range of the primary key, at most the set's 1000 problems.
    query.prepare(QStringLiteral(
        "SELECT bank_index, stability, difficulty, last_review, due FROM memory_states "
        "WHERE learner_id = ? AND set_hash = ?"));
    query.addBindValue(record.CurrentLearnerId());
    query.addBindValue(hash);
    if (!db.isOpen() || !query.exec()) {
      result = ReadFailure(db.isOpen() ? query.lastError() : db.lastError(), record.FilePath());
    } else {
      std::vector<schedule::ScheduledProblem> states;
      while (query.next()) {
        states.push_back({{empty.set_hash, query.value(0).toInt()},
                          {query.value(1).toDouble(), query.value(2).toDouble(),
                           query.value(3).toLongLong(), query.value(4).toLongLong()}});
      }
      const auto forecast = schedule::ForecastBySet(states, now, record.Schedule().utc_offset,
                                                    record.Schedule().scheduler);
      if (!forecast.empty()) result = forecast.front();
    }
    query.finish();
  }
  return result;
}

}  // namespace rekendo::record
