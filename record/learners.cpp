// The record's learners as the teacher changes them. Each change is its own transaction and
// answers with what went wrong instead of keeping it as the record's error: the dialog that
// asked shows it, and recording goes on untouched.
#include <QDateTime>
#include <QRegularExpression>
#include <QSqlQuery>
#include <algorithm>
#include <QVariant>

#include "record.h"
#include "sqlite_connection.h"
#include "write_transaction.h"

namespace rekendo::record {

namespace {

constexpr const char* kPinSetting = "teacher_pin";
// "<wrong tries in a row> <ms of the last one>"
constexpr const char* kPinFailuresSetting = "teacher_pin_failures";

Error Refused(ErrorCode code, const char* message) { return Error{code, message, {}, {}}; }

std::optional<QString> Trimmed(const QString& name) {
  const QString trimmed = name.trimmed();
  if (trimmed.isEmpty()) return std::nullopt;
  return trimmed;
}

bool NameTaken(const QSqlDatabase& db, const QString& name, qint64 other_than) {
  QSqlQuery query(db);
  query.prepare(QStringLiteral("SELECT 1 FROM learners WHERE name = ? AND id <> ?"));
  query.addBindValue(name);
  query.addBindValue(other_than);
  return query.exec() && query.next();
}

}  // namespace

Error Record::LearnerFailure(const QSqlError& error) const {
  return RecordFailure(RecordStep::kWrite, CauseOf(error), FilePath(), error.text());
}

Result<qint64> Record::AddLearner(const QString& name) {
  if (!CanWrite()) return Refused(ErrorCode::kReadOnly, "記録に書き込めないので、学習者を加えられません。");
  const auto trimmed = Trimmed(name);
  if (!trimmed) return Refused(ErrorCode::kInvalidInput, "名前を入れてください。");
  WriteTransaction transaction(db_);
  if (transaction.BeginError()) return LearnerFailure(*transaction.BeginError());
  if (NameTaken(db_, *trimmed, 0)) {
    return Refused(ErrorCode::kInvalidInput, "その名前の学習者はもういます。");
  }
  // One past the highest id: ids are the record's own, never shown.
  QSqlQuery next(db_);
  if (!next.exec(QStringLiteral("SELECT COALESCE(MAX(id), 0) + 1 FROM learners")) || !next.next()) {
    return LearnerFailure(next.lastError());
  }
  const qint64 id = next.value(0).toLongLong();
  next.finish();
  QSqlQuery query(db_);
  query.prepare(QStringLiteral("INSERT INTO learners (id, name, created_at) VALUES (?, ?, ?)"));
  query.addBindValue(id);
  query.addBindValue(*trimmed);
  query.addBindValue(QDateTime::currentMSecsSinceEpoch());
  if (!query.exec()) return LearnerFailure(query.lastError());
  if (auto error = transaction.Commit()) return LearnerFailure(*error);
  return id;
}

Status Record::RenameLearner(qint64 learner_id, const QString& name) {
  if (!CanWrite()) return Refused(ErrorCode::kReadOnly, "記録に書き込めないので、名前を変えられません。");
  const auto trimmed = Trimmed(name);
  if (!trimmed) return Refused(ErrorCode::kInvalidInput, "名前を入れてください。");
  WriteTransaction transaction(db_);
  if (transaction.BeginError()) return LearnerFailure(*transaction.BeginError());
  if (NameTaken(db_, *trimmed, learner_id)) {
    return Refused(ErrorCode::kInvalidInput, "その名前の学習者はもういます。");
  }
  QSqlQuery query(db_);
  query.prepare(QStringLiteral("UPDATE learners SET name = ? WHERE id = ?"));
  query.addBindValue(*trimmed);
  query.addBindValue(learner_id);
  if (!query.exec()) return LearnerFailure(query.lastError());
  if (query.numRowsAffected() == 0) {
    return Refused(ErrorCode::kNotFound, "その学習者は記録にいません。");
  }
  if (auto error = transaction.Commit()) return LearnerFailure(*error);
  return {};
}

Result<QString> Record::LearnerClassRole(qint64 learner_id) const {
  if (!open_) return Refused(ErrorCode::kIo, "記録を開けません。");
  QSqlQuery query(db_);
  query.prepare(QStringLiteral("SELECT COALESCE(class_role, '') FROM learners WHERE id = ?"));
  query.addBindValue(learner_id);
  if (!query.exec()) {
    return RecordFailure(RecordStep::kRead, CauseOf(query.lastError()), FilePath(),
                         query.lastError().text());
  }
  if (!query.next()) return Refused(ErrorCode::kNotFound, "その学習者は記録にいません。");
  return query.value(0).toString();
}

Status Record::SetLearnerClassRole(qint64 learner_id, const QString& role) {
  if (!CanWrite()) return Refused(ErrorCode::kReadOnly, "記録に書き込めないので、ロールを変えられません。");
  const QString trimmed = role.trimmed();
  static const QRegularExpression kRole(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]{0,62}$"));
  if (!trimmed.isEmpty() && !kRole.match(trimmed).hasMatch()) {
    return Refused(ErrorCode::kInvalidInput,
                   "ロールの名前は半角の英字・数字・_ で書いてください（例: s2026_01）。");
  }
  QSqlQuery query(db_);
  query.prepare(QStringLiteral("UPDATE learners SET class_role = ? WHERE id = ?"));
  query.addBindValue(trimmed.isEmpty() ? QVariant() : QVariant(trimmed));
  query.addBindValue(learner_id);
  if (!query.exec()) return LearnerFailure(query.lastError());
  if (query.numRowsAffected() == 0) return Refused(ErrorCode::kNotFound, "その学習者は記録にいません。");
  return {};
}

Result<int> Record::LearnerRoundCount(qint64 learner_id) const {
  if (!open_) return Refused(ErrorCode::kIo, "記録を開けません。");
  QSqlQuery query(db_);
  query.prepare(QStringLiteral("SELECT COUNT(*) FROM rounds WHERE learner_id = ?"));
  query.addBindValue(learner_id);
  if (!query.exec() || !query.next()) {
    return RecordFailure(RecordStep::kRead, CauseOf(query.lastError()), FilePath(),
                         query.lastError().text());
  }
  return query.value(0).toInt();
}

Status Record::RemoveLearner(qint64 learner_id) {
  if (!CanWrite()) return Refused(ErrorCode::kReadOnly, "記録に書き込めないので、学習者を消せません。");
  WriteTransaction transaction(db_);
  if (transaction.BeginError()) return LearnerFailure(*transaction.BeginError());
  QSqlQuery state(db_);
  state.prepare(QStringLiteral(
      "SELECT (SELECT COUNT(*) FROM learners), "
      "(SELECT COUNT(*) FROM learners WHERE id = ?), "
      "(SELECT COUNT(*) FROM rounds WHERE learner_id = ? AND ending = 'open')"));
  state.addBindValue(learner_id);
  state.addBindValue(learner_id);
  if (!state.exec() || !state.next()) return LearnerFailure(state.lastError());
  if (state.value(1).toInt() == 0) return Refused(ErrorCode::kNotFound, "その学習者は記録にいません。");
  if (state.value(0).toInt() <= 1) {
    return Refused(ErrorCode::kInvalidInput, "最後の学習者は消せません。");
  }
  if (state.value(2).toInt() > 0) {
    return Refused(ErrorCode::kBusy, "この学習者の回が進んでいます。回が終わってから消してください。");
  }
  state.finish();
  // Their tallies, memory and queued uploads go with the learner and the rounds through the
  // tables' ON DELETE CASCADE; the questions are removed first for the same reason.
  static const char* const kDeletes[] = {
      "DELETE FROM questions WHERE round_id IN (SELECT id FROM rounds WHERE learner_id = ?)",
      "DELETE FROM upload_queue WHERE round_id IN (SELECT id FROM rounds WHERE learner_id = ?)",
      "DELETE FROM problem_stats WHERE learner_id = ?",
      "DELETE FROM rounds WHERE learner_id = ?",
      "DELETE FROM learners WHERE id = ?",
      // Whoever comes next under the same id must not become the one who plays.
      "DELETE FROM settings WHERE name = 'learner' AND value = CAST(? AS TEXT)",
  };
  for (const char* statement : kDeletes) {
    QSqlQuery query(db_);
    query.prepare(QString::fromLatin1(statement));
    query.addBindValue(learner_id);
    if (!query.exec()) return LearnerFailure(query.lastError());
  }
  if (auto error = transaction.Commit()) return LearnerFailure(*error);
  return {};
}

std::optional<QString> Record::TeacherPinHash() const {
  if (!open_) return std::nullopt;
  QSqlQuery query(db_);
  query.prepare(QStringLiteral("SELECT value FROM settings WHERE name = ?"));
  query.addBindValue(QString::fromLatin1(kPinSetting));
  if (!query.exec() || !query.next()) return std::nullopt;
  return query.value(0).toString();
}

Status Record::SetTeacherPinHash(const QString& hash) {
  if (!CanWrite()) return Refused(ErrorCode::kReadOnly, "記録に書き込めないので、暗証番号を決められません。");
  QSqlQuery query(db_);
  query.prepare(QStringLiteral(
      "INSERT INTO settings (name, value) VALUES (?, ?) "
      "ON CONFLICT (name) DO UPDATE SET value = excluded.value"));
  query.addBindValue(QString::fromLatin1(kPinSetting));
  query.addBindValue(hash);
  if (!query.exec()) return LearnerFailure(query.lastError());
  return {};
}

Record::PinFailures Record::TeacherPinFailures() const {
  if (!open_) return {};
  QSqlQuery query(db_);
  query.prepare(QStringLiteral("SELECT value FROM settings WHERE name = ?"));
  query.addBindValue(QString::fromLatin1(kPinFailuresSetting));
  if (!query.exec() || !query.next()) return {};
  const QStringList parts = query.value(0).toString().split(QLatin1Char(' '));
  if (parts.size() != 2) return {};
  return {std::max(0, parts[0].toInt()), parts[1].toLongLong()};
}

void Record::NoteTeacherPinTry(bool right, qint64 now_ms) {
  if (!CanWrite()) return;
  const PinFailures before = TeacherPinFailures();
  if (right && before.count == 0) return;
  QSqlQuery query(db_);
  query.prepare(QStringLiteral(
      "INSERT INTO settings (name, value) VALUES (?, ?) "
      "ON CONFLICT (name) DO UPDATE SET value = excluded.value"));
  query.addBindValue(QString::fromLatin1(kPinFailuresSetting));
  query.addBindValue(right ? QStringLiteral("0 0")
                           : QStringLiteral("%1 %2").arg(before.count + 1).arg(now_ms));
  query.exec();  // at worst the wait is not kept; the PIN itself still decides
}

Status Record::ForgetTeacherPin() {
  if (!CanWrite()) {
    return Refused(ErrorCode::kReadOnly, "記録に書き込めないので、暗証番号を消せません。");
  }
  QSqlQuery query(db_);
  query.prepare(QStringLiteral("DELETE FROM settings WHERE name IN (?, ?)"));
  query.addBindValue(QString::fromLatin1(kPinSetting));
  query.addBindValue(QString::fromLatin1(kPinFailuresSetting));
  if (!query.exec()) return LearnerFailure(query.lastError());
  return {};
}

}  // namespace rekendo::record
