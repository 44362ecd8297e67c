#include "set_view.h"

#include <QDir>
#include <QSqlDatabase>
#include <QThread>
#include <atomic>

#include "record_error.h"
#include "sqlite_connection.h"

namespace rekendo::record {

namespace {

Error About(Error error, const QString& path) {
  error.subject = QDir::toNativeSeparators(path).toStdString();
  return error;
}

}  // namespace

Result<SetView> ReadSetView(const QString& record_path, qint64 learner_id, const QString& hash,
                            const SetViewLimits& limits) {
  Result<SetView> result = ReadFailure(QSqlError(), record_path);
  {
    ScopedConnection connection("set-view", record_path, 1000, OpenMode::kReadOnly);
    QSqlDatabase& db = connection.db();
    if (!db.isOpen()) {
      result = ReadFailure(db.lastError(), record_path);
    } else {
      auto points = LoadScoreSeries(db, learner_id, hash, limits.chart_points);
      auto missed = LoadMostMissed(db, learner_id, hash, limits.missed);
      auto rounds = LoadRecentRounds(db, learner_id, hash, limits.rounds);
      if (!points) {
        result = About(points.error(), record_path);
      } else if (!missed) {
        result = About(missed.error(), record_path);
      } else if (!rounds) {
        result = About(rounds.error(), record_path);
      } else {
        result = SetView{std::move(points).value(), std::move(missed).value(),
                         std::move(rounds).value()};
      }
    }
  }
  return result;
}

}  // namespace rekendo::record
