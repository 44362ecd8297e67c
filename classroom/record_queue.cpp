#include "record_queue.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>
#include <functional>
#include <map>

#include "sqlite_connection.h"

namespace rekendo::classroom {

namespace {

// The upload thread may wait for the drill's own write a little longer than the drill
// waits for anyone.
constexpr int kBusyTimeoutMs = 5000;
constexpr int kFirstVersionWithQueue = 4;

Error QueueFailure(const QString& path, const QString& detail) {
  return Error{ErrorCode::kIo, "クラスに送る回を記録から読み出せませんでした。",
               QDir::toNativeSeparators(path).toStdString(), detail.toStdString()};
}

std::string Utf8(const QVariant& value) { return value.toString().toStdString(); }

// Runs `work` on a connection opened for it, closed and removed again before returning.
// A record not made yet, or not yet brought up to the version with the queue (the drill does
// that at its first round), has nothing to send: `nothing` is the answer then.
template <typename T>
Result<T> WithConnection(const QString& name, const QString& path, T nothing,
                         const std::function<Result<T>(QSqlDatabase&)>& work) {
  if (!QFileInfo::exists(path)) return nothing;
  Result<T> result = QueueFailure(path, {});
  {
    QSqlDatabase db =
        record::OpenSqlite(name, path, kBusyTimeoutMs, record::OpenMode::kReadWrite);
    QSqlError error;
    const std::optional<int> version = db.isOpen() ? record::ReadSchemaVersion(db, &error)
                                                   : std::nullopt;
    if (!db.isOpen()) {
      result = QueueFailure(path, db.lastError().text());
    } else if (!version) {
      result = QueueFailure(path, error.text());
    } else if (*version < kFirstVersionWithQueue) {
      result = std::move(nothing);
    } else {
      result = work(db);
    }
    db.close();
  }
  QSqlDatabase::removeDatabase(name);
  return result;
}

}  // namespace

RecordQueue::RecordQueue(QString record_path) : record_path_(std::move(record_path)) {}

QString RecordQueue::NewConnectionName() {
  return QStringLiteral("rekendo-upload-queue-%1-%2")
      .arg(reinterpret_cast<quintptr>(this), 0, 16)
      .arg(connections_.fetch_add(1));
}

Result<std::vector<ClassRound>> RecordQueue::NextBatch(int limit) {
  const QString path = record_path_;
  return WithConnection<std::vector<ClassRound>>(
      NewConnectionName(), path, {}, [&](QSqlDatabase& db) -> Result<std::vector<ClassRound>> {
        std::vector<ClassRound> batch;
        QSqlQuery rounds(db);
        rounds.setForwardOnly(true);
        // Never tried first, oldest first; then the one tried longest ago.
        rounds.prepare(QStringLiteral(
            "SELECT r.id, r.uuid, COALESCE(l.class_role, ''), r.set_hash, r.file_name, "
            "r.pair_count, r.started_at, r.ended_at, r.score, r.judgement_index, r.ending, "
            "COALESCE(r.time_limit, 40) FROM upload_queue q JOIN rounds r ON r.id = q.round_id "
            "LEFT JOIN learners l ON l.id = r.learner_id "
            "WHERE q.given_up = 0 AND r.uuid IS NOT NULL AND r.ending <> 'open' "
            "ORDER BY q.last_tried IS NOT NULL, q.last_tried, q.queued_at, r.id LIMIT ?"));
        rounds.addBindValue(limit);
        if (!rounds.exec()) return QueueFailure(path, rounds.lastError().text());
        std::map<qint64, std::size_t> position;
        while (rounds.next()) {
          ClassRound round;
          round.id = Utf8(rounds.value(1));
          round.learner = Utf8(rounds.value(2));
          round.set_hash = Utf8(rounds.value(3));
          round.file_name = Utf8(rounds.value(4));
          round.pair_count = rounds.value(5).toInt();
          round.started_at_ms = rounds.value(6).toLongLong();
          if (!rounds.value(7).isNull()) round.ended_at_ms = rounds.value(7).toLongLong();
          if (!rounds.value(8).isNull()) round.score = rounds.value(8).toInt();
          if (!rounds.value(9).isNull()) round.judgement_index = rounds.value(9).toInt();
          round.ending = Utf8(rounds.value(10));
          round.time_limit_seconds = rounds.value(11).toInt();
          position[rounds.value(0).toLongLong()] = batch.size();
          batch.push_back(std::move(round));
        }
        rounds.finish();
        for (const auto& [round_id, index] : position) {
          QSqlQuery questions(db);
          questions.setForwardOnly(true);
          questions.prepare(QStringLiteral(
              "SELECT number, kind, bank_index, text_utf8, accepted_utf8, typed_utf8, outcome, "
              "wrong_tries, seconds_used FROM questions WHERE round_id = ? ORDER BY number"));
          questions.addBindValue(round_id);
          if (!questions.exec()) return QueueFailure(path, questions.lastError().text());
          while (questions.next()) {
            ClassQuestion question;
            question.number = questions.value(0).toInt();
            question.kind = Utf8(questions.value(1));
            question.bank_index = questions.value(2).toInt();
            question.text = Utf8(questions.value(3));
            question.accepted = Utf8(questions.value(4));
            question.typed = Utf8(questions.value(5));
            question.outcome = Utf8(questions.value(6));
            question.wrong_tries = questions.value(7).toInt();
            question.seconds_used = questions.value(8).toInt();
            batch[index].questions.push_back(std::move(question));
          }
        }
        return batch;
      });
}

Status RecordQueue::MarkSent(const std::string& round_id) {
  const QString path = record_path_;
  const Result<bool> done = WithConnection<bool>(
      NewConnectionName(), path, true, [&](QSqlDatabase& db) -> Result<bool> {
        QSqlQuery query(db);
        query.prepare(QStringLiteral(
            "DELETE FROM upload_queue WHERE round_id IN (SELECT id FROM rounds WHERE uuid = ?)"));
        query.addBindValue(QString::fromStdString(round_id));
        if (!query.exec()) return QueueFailure(path, query.lastError().text());
        return true;
      });
  if (!done) return done.error();
  return {};
}

void RecordQueue::RecordFailure(const std::string& round_id, const Error& error,
                                bool will_retry) {
  // A failure before any round was tried belongs to the connection: the uploader's own
  // status says it, and no round is to blame.
  if (round_id.empty()) return;
  const QString path = record_path_;
  const Result<bool> kept = WithConnection<bool>(
      NewConnectionName(), path, true, [&](QSqlDatabase& db) -> Result<bool> {
        QSqlQuery query(db);
        query.prepare(QStringLiteral(
            "UPDATE upload_queue SET tries = tries + 1, last_tried = ?, last_error = ?, "
            "given_up = ? WHERE round_id IN (SELECT id FROM rounds WHERE uuid = ?)"));
        query.addBindValue(QDateTime::currentMSecsSinceEpoch());
        query.addBindValue(QString::fromStdString(error.message));
        query.addBindValue(will_retry ? 0 : 1);
        query.addBindValue(QString::fromStdString(round_id));
        if (!query.exec()) return QueueFailure(path, query.lastError().text());
        return true;
      });
  // Not kept: the round is simply tried again in the same order, which loses nothing.
  (void)kept;
}

void RecordQueue::OfferSetAsideAgain() {
  const QString path = record_path_;
  const Result<bool> done = WithConnection<bool>(
      NewConnectionName(), path, true, [&](QSqlDatabase& db) -> Result<bool> {
        QSqlQuery query(db);
        if (!query.exec(QStringLiteral("UPDATE upload_queue SET given_up = 0 WHERE given_up <> 0"))) {
          return QueueFailure(path, query.lastError().text());
        }
        return true;
      });
  // Not done: they stay set aside until the next start, which loses nothing.
  (void)done;
}

Result<int> RecordQueue::SetAsideCount() {
  const QString path = record_path_;
  return WithConnection<int>(NewConnectionName(), path, 0, [&](QSqlDatabase& db) -> Result<int> {
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("SELECT COUNT(*) FROM upload_queue WHERE given_up <> 0")) ||
        !query.next()) {
      return QueueFailure(path, query.lastError().text());
    }
    return query.value(0).toInt();
  });
}

Result<int> RecordQueue::WaitingCount() {
  const QString path = record_path_;
  return WithConnection<int>(NewConnectionName(), path, 0, [&](QSqlDatabase& db) -> Result<int> {
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral(
            "SELECT COUNT(*) FROM upload_queue q JOIN rounds r ON r.id = q.round_id "
            "WHERE q.given_up = 0 AND r.uuid IS NOT NULL AND r.ending <> 'open'")) ||
        !query.next()) {
      return QueueFailure(path, query.lastError().text());
    }
    return query.value(0).toInt();
  });
}

}  // namespace rekendo::classroom
