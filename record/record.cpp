#include "record.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QThreadPool>
#include <QUuid>
#include <QSqlQuery>
#include <QVariant>
#include <sys/stat.h>

#include <atomic>
#include <filesystem>
#include <iterator>
#include <span>

#include "account_name.h"
#include "csv_export.h"
#include "dated_file.h"
#include "grade.h"
#include "kept_text.h"
#include "record_salvage.h"
#include "record_schema.h"
#include "sql_values.h"
#include "sqlite_connection.h"
#include "upload_queue.h"
#include "write_transaction.h"

namespace rekendo::record {

namespace {

// Runs `query` (already prepared and bound); the error when it failed.
std::optional<QSqlError> Execute(QSqlQuery& query) {
  if (!query.exec()) return query.lastError();
  return std::nullopt;
}

std::int64_t NewRoundId() {
  // Positive and 63 bits: fits a signed BIGINT in either database. Drawn from the system
  // each time, so two programs (or a forked copy) never share a sequence.
  return static_cast<std::int64_t>(QRandomGenerator::system()->generate64() >> 1) | 1;
}

}  // namespace

QString KindCode(QuestionKind kind) {
  switch (kind) {
    case QuestionKind::kProblem: return QStringLiteral("problem");
    case QuestionKind::kTrivia: return QStringLiteral("trivia");
    case QuestionKind::kMultipleChoice: return QStringLiteral("choice");
  }
  return QStringLiteral("problem");
}

QString OutcomeCode(QuestionOutcome outcome) {
  switch (outcome) {
    case QuestionOutcome::kRight: return QStringLiteral("right");
    case QuestionOutcome::kWrongAtTimeUp: return QStringLiteral("wrong");
    case QuestionOutcome::kLeft: return QStringLiteral("left");
    case QuestionOutcome::kOpenAtEnd: return QStringLiteral("open");
  }
  return QStringLiteral("open");
}

QString EndingCode(RoundEnding ending) {
  switch (ending) {
    case RoundEnding::kFinished: return QStringLiteral("finished");
    case RoundEnding::kUnfinished: return QStringLiteral("unfinished");
    case RoundEnding::kOpen: return QStringLiteral("open");
  }
  return QStringLiteral("open");
}

QuestionKind KindFromCode(const QString& code) {
  for (const auto kind : {QuestionKind::kTrivia, QuestionKind::kMultipleChoice}) {
    if (code == KindCode(kind)) return kind;
  }
  return QuestionKind::kProblem;
}

QuestionOutcome OutcomeFromCode(const QString& code) {
  for (const auto outcome : {QuestionOutcome::kRight, QuestionOutcome::kWrongAtTimeUp,
                             QuestionOutcome::kLeft}) {
    if (code == OutcomeCode(outcome)) return outcome;
  }
  return QuestionOutcome::kOpenAtEnd;
}

RoundEnding EndingFromCode(const QString& code) {
  for (const auto ending : {RoundEnding::kFinished, RoundEnding::kUnfinished}) {
    if (code == EndingCode(ending)) return ending;
  }
  return RoundEnding::kOpen;
}

Record::Record(QString folder, RecordOptions options)
    : folder_(std::move(folder)),
      options_(options),
      connection_name_(QStringLiteral("rekendo-record-%1")
                           .arg(reinterpret_cast<quintptr>(this), 0, 16)),
      lock_(QDir(folder_).filePath(QString::fromLatin1(kRecordFileName) + QLatin1String(".lock"))) {}

Record::~Record() { Close(); }

QString Record::FilePath() const {
  return QDir(folder_).filePath(QString::fromLatin1(kRecordFileName));
}

bool Record::Open() {
  FollowLiveFile();
  // Read-only for a passing reason (a lock held too long, a full disk): try writing again.
  const bool newer = error_ && error_->code == ErrorCode::kNewer;
  if (open_ && (!read_only_ || newer)) return true;
  if (open_) Close();
  std::error_code made;
  std::filesystem::create_directories(QFile::encodeName(folder_).toStdString(), made);
  if (made) {
    error_ = RecordFailure(RecordStep::kFolder, ErrorFromErrno(made.value(), {}).code, folder_,
                           QString::fromStdString(made.message()));
    return false;
  }
  lock_.Share();
  const bool opened = OpenFile();
  // A copy that could not open the record must not keep another from moving it aside.
  if (!opened) lock_.Release();
  return opened;
}

std::optional<Record::FileId> Record::LiveFileId() const {
  struct stat info {};
  if (::stat(QFile::encodeName(FilePath()).constData(), &info) != 0) return std::nullopt;
  return FileId{static_cast<quint64>(info.st_dev), static_cast<quint64>(info.st_ino)};
}

bool Record::FollowLiveFile() {
  if (!open_ || read_only_ || !file_id_) return false;
  const std::optional<FileId> live = LiveFileId();
  if (live && live->device == file_id_->device && live->inode == file_id_->inode) return false;
  // Moved or deleted under this copy (by hand, or the folder removed): what it would write
  // now would go into a file nobody reads again. The round under way goes on in the live
  // record: its row (and its set's) is read from the old file, still open, and made there.
  QSqlQuery round(db_);
  round.prepare(QStringLiteral(
      "SELECT r.set_hash, s.pair_count, s.latest_name, s.latest_path, s.latest_at, r.file_path, "
      "r.file_name, r.pair_count, r.started_at, r.uuid, r.time_limit FROM rounds r "
      "JOIN problem_sets s ON s.content_hash = r.set_hash WHERE r.id = ? AND r.ending = 'open'"));
  round.addBindValue(static_cast<qint64>(round_under_way_.value_or(0)));
  QVariantList kept;
  if (round_under_way_ && round.exec() && round.next()) {
    for (int i = 0; i < 11; ++i) kept << round.value(i);
  }
  round.finish();
  Close();
  // The lock file may have gone with the folder: the live one is taken from its path again.
  lock_.Release();
  notice_ = QStringLiteral(
      "記録のファイルが移されたか消されていました。%1 の記録に書き込みを続けます。")
                .arg(QDir::toNativeSeparators(FilePath()));
  if (Open() && !kept.isEmpty()) CarryRoundOver(kept);
  return true;
}

void Record::CarryRoundOver(const QVariantList& kept) {
  WriteTransaction transaction(db_);
  if (transaction.BeginError()) return;
  QSqlQuery set(db_);
  set.prepare(QStringLiteral(
      "INSERT OR IGNORE INTO problem_sets (content_hash, pair_count, latest_name, latest_path, "
      "latest_at) VALUES (?, ?, ?, ?, ?)"));
  for (int i = 0; i < 5; ++i) set.addBindValue(kept[i]);
  QSqlQuery round(db_);
  round.prepare(QStringLiteral(
      "INSERT OR IGNORE INTO rounds (id, set_hash, file_path, file_name, pair_count, "
      "started_at, uuid, time_limit, learner_id, ending) "
      "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, 'open')"));
  round.addBindValue(static_cast<qint64>(*round_under_way_));
  round.addBindValue(kept[0]);
  for (int i = 5; i < 11; ++i) round.addBindValue(kept[i]);
  round.addBindValue(CurrentLearnerId());
  if (set.exec() && round.exec()) transaction.Commit();
}

bool Record::OpenFile() {
  read_only_ = false;
  db_ = OpenSqlite(connection_name_, FilePath(), options_.busy_timeout_ms, OpenMode::kReadWrite);
  if (!db_.isOpen()) {
    const QSqlError error = db_.lastError();
    Close();
    Fail(RecordStep::kOpen, CauseOf(error), error.text());
    return false;
  }
  QSqlError read_error;
  const std::optional<int> version = ReadSchemaVersion(db_, &read_error);
  if (!version) {
    if (ClassifyFailure(read_error) == SqliteFailure::kCorrupt) return RecoverFromDamage();
    Fail(RecordStep::kOpen, CauseOf(read_error), read_error.text());
    return OpenForReading();
  }
  if (!LooksWhole()) return RecoverFromDamage();
  if (*version > kSchemaVersion) {
    Fail(RecordStep::kOpen, ErrorCode::kNewer, QStringLiteral("schema version %1").arg(*version));
    return OpenForReading();
  }
  const long file_system =
      options_.file_system_type != 0 ? options_.file_system_type : FileSystemTypeOf(folder_);
  std::optional<QSqlError> setup_error = SetUpWritableConnection(
      db_, IsNetworkFileSystem(file_system) ? Journal::kRollback : Journal::kWriteAheadLog);
  const bool ready = !setup_error && BringSchemaUpToDate(*version) && MarkOpenRoundsUnfinished();
  if (setup_error) FailWith(*setup_error);
  // Show what there is, even if nothing can be added (a read-only or full disk).
  if (!ready) return OpenForReading();
  error_.reset();  // an earlier failure to open is over
  open_ = true;
  file_id_ = LiveFileId();
  TakeSavedLearner();
  return true;
}

bool Record::OpenForReading() {
  const std::optional<rekendo::Error> reason = error_;
  for (const OpenMode mode : {OpenMode::kReadOnly, OpenMode::kImmutable}) {
    Close();
    db_ = OpenSqlite(connection_name_, FilePath(), options_.busy_timeout_ms, mode);
    QSqlError ignored;
    if (db_.isOpen() && ReadSchemaVersion(db_, &ignored)) {
      open_ = true;
      read_only_ = true;
      TakeSavedLearner();
      return true;
    }
  }
  Close();
  error_ = reason;
  return false;
}

QString Record::MoveCorruptFileAside() {
  Close();
  const QString path = FilePath();
  // Never from under another copy: it would go on writing into the file moved aside.
  if (!lock_.TakeAlone()) {
    // Closed here: this copy's shared lock must not hold the other back from moving it.
    lock_.Release();
    Fail(RecordStep::kOpen, ErrorCode::kCorrupt,
         QStringLiteral("another copy of the program has the damaged file open"));
    notice_ = QStringLiteral(
        "記録のファイルが壊れていますが、ほかのプログラムが開いているので移しませんでした。"
        "ほかのプログラムを閉じてから、もう一度開いてください。");
    return {};
  }
  const auto moved = files::MoveToNewDatedName(
      QFile::encodeName(path).toStdString(),
      QFileInfo(path).fileName().toStdString() + ".corrupt-", "");
  if (!moved) {
    lock_.Share();
    Fail(RecordStep::kOpen, ErrorCode::kCorrupt, QString::fromStdString(moved.error().Describe()));
    return {};
  }
  const QString aside = QFile::decodeName(QByteArray::fromStdString(*moved));
  // The log and its index belong with the file they were written for.
  for (const char* suffix : {"-wal", "-shm"}) {
    if (QFile::exists(path + QLatin1String(suffix))) {
      QFile::rename(path + QLatin1String(suffix), aside + QLatin1String(suffix));
    }
  }
  lock_.Share();
  return aside;
}

bool Record::LooksWhole() {
  // A quick check reads every page; on a record too large for that to be quick, damage is
  // found by the first statement that meets it instead.
  if (QFileInfo(FilePath()).size() > kCheckedRecordBytes) return true;
  QSqlQuery check(db_);
  if (!check.exec(QStringLiteral("PRAGMA quick_check(1)")) || !check.next()) {
    return ClassifyFailure(check.lastError()) != SqliteFailure::kCorrupt;
  }
  return check.value(0).toString() == QStringLiteral("ok");
}

bool Record::RecoverFromDamage() {
  recover_pending_ = false;
  // Only once at a time: the new file cannot be damaged, and if it somehow is, the error
  // stands instead of an endless round of moving files.
  if (recovering_) return false;
  recovering_ = true;
  // A choice made in this copy stands; otherwise the saved one is read from what came across.
  const bool chosen_before = chosen_learner_.has_value();
  const QString aside = MoveCorruptFileAside();
  const bool opened = !aside.isEmpty() && OpenFile();
  if (opened) {
    const Salvaged salvaged = SalvageInto(db_, aside);
    if (!chosen_before) {
      chosen_learner_.reset();
      TakeSavedLearner();
    }
    // What the problems' memory was is rebuilt from the questions that came across; should
    // that fail, the problems simply start afresh.
    {
      WriteTransaction transaction(db_);
      if (!transaction.BeginError() && !ReplayHistory(db_, options_.schedule)) {
        transaction.Commit();
      }
    }
    notice_ = QStringLiteral(
                  "記録のファイルが壊れていたので、%1 に移して新しく記録を始めました。"
                  "読めた %2 回分（%3 問）を新しい記録に移しました。")
                  .arg(QDir::toNativeSeparators(aside))
                  .arg(salvaged.rounds)
                  .arg(salvaged.questions);
  }
  recovering_ = false;
  return opened;
}

bool Record::BringSchemaUpToDate(int version) {
  if (version == kSchemaVersion) return true;
  WriteTransaction transaction(db_);
  if (transaction.BeginError()) return FailWith(*transaction.BeginError());
  // Another program may have done it while this one waited for the lock.
  QSqlError read_error;
  const std::optional<int> now = ReadSchemaVersion(db_, &read_error);
  if (!now) return FailWith(read_error);
  if (*now < kSchemaVersion) {
    MigrationValues values;
    values.first_learner_name =
        options_.first_learner_name.isEmpty() ? AccountName() : options_.first_learner_name;
    values.now_ms = QDateTime::currentMSecsSinceEpoch();
    if (auto error = MigrateSchema(db_, *now, kSchemaVersion, values)) return FailWith(*error);
    // Records from before the scheduler, or from before its same-day rule was mended, learn
    // from every answer they hold, in this same transaction: the file is brought up whole or
    // not at all.
    if (*now < 6) {
      if (auto error = ReplayHistory(db_, options_.schedule, options_.replay_progress)) {
        return FailWith(*error);
      }
    }
  }
  if (auto error = transaction.Commit()) return FailWith(*error);
  return true;
}

bool Record::MarkOpenRoundsUnfinished() {
  WriteTransaction transaction(db_);
  if (transaction.BeginError()) return FailWith(*transaction.BeginError());
  // Left open by a program that was killed: unfinished now, and sent like any other.
  if (auto error = QueueOpenRoundsForUpload(db_, QDateTime::currentMSecsSinceEpoch())) {
    return FailWith(*error);
  }
  QSqlQuery query(db_);
  if (!query.exec(QStringLiteral(
          "UPDATE rounds SET ending = 'unfinished' WHERE ending = 'open'"))) {
    return FailWith(query.lastError());
  }
  if (auto error = transaction.Commit()) return FailWith(*error);
  return true;
}

void Record::Fail(RecordStep step, ErrorCode code, const QString& detail) {
  error_ = RecordFailure(step, CauseOnDisk(code, folder_, FilePath()), FilePath(), detail);
}

bool Record::FailWith(const QSqlError& error) {
  const ErrorCode cause = CauseOf(error);
  Fail(RecordStep::kWrite, cause, error.text());
  if (cause == ErrorCode::kCorrupt && !read_only_) recover_pending_ = true;
  return false;
}

void Record::Succeeded() {
  if (!read_only_) error_.reset();
}

void Record::Close() {
  open_ = false;
  statements_.Clear();
  if (!db_.isValid()) return;
  db_.close();
  db_ = QSqlDatabase();
  QSqlDatabase::removeDatabase(connection_name_);
}

std::optional<std::int64_t> Record::StartRoundOnce(const RoundStart& start) {
  if (!CanWrite()) return std::nullopt;
  WriteTransaction transaction(db_);
  if (transaction.BeginError()) {
    FailWith(*transaction.BeginError());
    return std::nullopt;
  }
  QSqlQuery set(db_);
  set.prepare(QStringLiteral(
      "INSERT INTO problem_sets (content_hash, pair_count, latest_name, latest_path, latest_at) "
      "VALUES (?, ?, ?, ?, ?) "
      "ON CONFLICT (content_hash) DO UPDATE SET latest_name = excluded.latest_name, "
      "latest_path = excluded.latest_path, latest_at = excluded.latest_at "
      "WHERE excluded.latest_at >= problem_sets.latest_at"));
  set.addBindValue(start.set_hash);
  set.addBindValue(start.pair_count);
  set.addBindValue(NotNull(start.file_name));
  set.addBindValue(NotNull(start.file_path));
  set.addBindValue(start.started_at);
  if (auto error = Execute(set)) {
    FailWith(*error);
    return std::nullopt;
  }
  const std::int64_t id = NewRoundId();
  QSqlQuery round(db_);
  round.prepare(QStringLiteral(
      "INSERT INTO rounds (id, set_hash, file_path, file_name, pair_count, started_at, ending, "
      "learner_id, uuid, time_limit) VALUES (?, ?, ?, ?, ?, ?, 'open', ?, ?, ?)"));
  round.addBindValue(static_cast<qint64>(id));
  round.addBindValue(start.set_hash);
  round.addBindValue(NotNull(start.file_path));
  round.addBindValue(NotNull(start.file_name));
  round.addBindValue(start.pair_count);
  round.addBindValue(start.started_at);
  round.addBindValue(CurrentLearnerId());
  // Its name on the class server, unique across machines: made once, here.
  round.addBindValue(QUuid::createUuid().toString(QUuid::WithoutBraces));
  round.addBindValue(start.time_limit_seconds);
  if (auto error = Execute(round)) {
    FailWith(*error);
    return std::nullopt;
  }
  if (auto error = transaction.Commit()) {
    FailWith(*error);
    return std::nullopt;
  }
  Succeeded();
  round_under_way_ = id;
  return id;
}

bool Record::AddQuestionOnce(std::int64_t round_id, const QString& set_hash,
                             const QuestionRow& row) {
  static constexpr char kInsertQuestion[] =
      "INSERT INTO questions (round_id, number, kind, bank_index, text_sjis, text_utf8, "
      "accepted_sjis, accepted_utf8, typed_sjis, typed_utf8, outcome, wrong_tries, "
      "seconds_used, closed_at, text_length, text_sha256, accepted_length, accepted_sha256, "
      "typed_length) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)";
  static constexpr char kCountTally[] =
      "INSERT INTO problem_stats (learner_id, set_hash, bank_index, text_sjis, text_utf8, "
      "accepted_sjis, accepted_utf8, times_asked, times_right, last_asked, text_length, "
      "accepted_length) SELECT learner_id, ?, ?, ?, ?, ?, ?, 1, ?, ?, ?, ? FROM rounds "
      "WHERE id = ? "
      "ON CONFLICT (learner_id, set_hash, bank_index) DO UPDATE SET "
      "times_asked = problem_stats.times_asked + 1, "
      "times_right = problem_stats.times_right + excluded.times_right, "
      "last_asked = excluded.last_asked";
  if (!CanWrite()) return false;
  WriteTransaction transaction(db_, &statements_);
  if (transaction.BeginError()) return FailWith(*transaction.BeginError());
  const KeptText text = KeepText(row.text);
  const KeptText accepted = KeepText(row.accepted);
  const KeptText typed = KeepText(row.typed);
  QSqlError prepare_error;
  QSqlQuery* question = statements_.Get(db_, kInsertQuestion, &prepare_error);
  if (!question) return FailWith(prepare_error);
  const QByteArray text_sjis = Bytes(text.kept);
  const QString text_utf8 = Utf8FromSjis(text.kept);
  const QByteArray accepted_sjis = Bytes(accepted.kept);
  const QString accepted_utf8 = Utf8FromSjis(accepted.kept);
  const QVariant values[] = {
      static_cast<qint64>(round_id), row.number, KindCode(row.kind), row.bank_index,
      text_sjis, text_utf8, accepted_sjis, accepted_utf8, Bytes(typed.kept),
      Utf8FromSjis(typed.kept), OutcomeCode(row.outcome), row.wrong_tries, row.seconds_used,
      row.closed_at, static_cast<qint64>(text.full_length),
      QString::fromStdString(text.full_sha256), static_cast<qint64>(accepted.full_length),
      QString::fromStdString(accepted.full_sha256), static_cast<qint64>(typed.full_length)};
  for (int i = 0; i < static_cast<int>(std::size(values)); ++i) question->bindValue(i, values[i]);
  if (auto error = Execute(*question)) return FailWith(*error);

  // Trivia changes with the folder the program starts in; only the problem file's own
  // problems have a tally (and can be practised again).
  if (row.kind == QuestionKind::kProblem) {
    QSqlQuery* tally = statements_.Get(db_, kCountTally, &prepare_error);
    if (!tally) return FailWith(prepare_error);
    const QVariant counted[] = {
        set_hash, row.bank_index, text_sjis, text_utf8, accepted_sjis, accepted_utf8,
        row.outcome == QuestionOutcome::kRight ? 1 : 0, row.closed_at,
        static_cast<qint64>(text.full_length), static_cast<qint64>(accepted.full_length),
        static_cast<qint64>(round_id)};
    for (int i = 0; i < static_cast<int>(std::size(counted)); ++i) tally->bindValue(i, counted[i]);
    if (auto error = Execute(*tally)) return FailWith(*error);
    if (const auto grade = schedule::GradeForQuestion(row.kind, row.outcome, row.wrong_tries)) {
      if (auto error = ReviewProblem(db_, statements_, round_id, set_hash, row.bank_index, *grade,
                                     row.closed_at / 1000, options_.schedule)) {
        return FailWith(*error);
      }
    }
  }
  if (auto error = transaction.Commit()) return FailWith(*error);
  Succeeded();
  return true;
}

bool Record::EndRoundOnce(std::int64_t round_id, const RoundFinish& finish) {
  if (!CanWrite()) return false;
  // Ended and queued for the class server together: a round is never closed and forgotten.
  WriteTransaction transaction(db_);
  if (transaction.BeginError()) return FailWith(*transaction.BeginError());
  QSqlQuery query(db_);
  query.prepare(QStringLiteral(
      "UPDATE rounds SET ending = ?, score = ?, judgement_index = ?, ended_at = ? WHERE id = ?"));
  query.addBindValue(finish.finished ? QStringLiteral("finished") : QStringLiteral("unfinished"));
  query.addBindValue(OptionalInt(finish.score));
  query.addBindValue(OptionalInt(finish.judgement_index));
  query.addBindValue(finish.ended_at);
  query.addBindValue(static_cast<qint64>(round_id));
  if (auto error = Execute(query)) return FailWith(*error);
  if (query.numRowsAffected() == 0) {
    Fail(RecordStep::kWrite, ErrorCode::kNotFound,
         QStringLiteral("round %1 is not in the record").arg(round_id));
    return false;
  }
  if (auto error = QueueForUpload(db_, round_id, finish.ended_at)) return FailWith(*error);
  if (auto error = transaction.Commit()) return FailWith(*error);
  if (round_under_way_ == round_id) round_under_way_.reset();
  Succeeded();
  return true;
}

Result<std::vector<Learner>> Record::Learners() const {
  std::vector<Learner> learners;
  if (!open_) return learners;
  QSqlQuery query(db_);
  if (!query.exec(QStringLiteral("SELECT id, name FROM learners ORDER BY name, id"))) {
    return RecordFailure(RecordStep::kRead, CauseOf(query.lastError()), FilePath(),
                         query.lastError().text());
  }
  while (query.next()) learners.push_back({query.value(0).toLongLong(), query.value(1).toString()});
  return learners;
}

qint64 Record::CurrentLearnerId() const {
  if (!open_) return kFirstLearnerId;
  // This copy's choice while they are still on the record (the same id and the same
  // creation: an id freed by a removal can be given again); else whoever came first.
  QSqlQuery query(db_);
  query.prepare(QStringLiteral(
      "SELECT id FROM learners ORDER BY CASE WHEN id = ? AND created_at = ? THEN 0 ELSE 1 END, "
      "created_at, id LIMIT 1"));
  query.addBindValue(chosen_learner_ ? chosen_learner_->id : 0);
  query.addBindValue(chosen_learner_ ? chosen_learner_->created_at : 0);
  if (query.exec() && query.next()) return query.value(0).toLongLong();
  return kFirstLearnerId;
}

std::optional<Record::ChosenLearner> Record::ReadChosen(QSqlQuery& query) const {
  if (!query.exec() || !query.next()) return std::nullopt;
  return ChosenLearner{query.value(0).toLongLong(), query.value(1).toLongLong()};
}

void Record::TakeSavedLearner() {
  // Read once: what another copy chooses later is saved for its next start, never followed.
  if (chosen_learner_) return;
  QSqlQuery query(db_);
  query.prepare(QStringLiteral(
      "SELECT id, created_at FROM learners ORDER BY CASE WHEN CAST(id AS TEXT) = (SELECT value "
      "FROM settings WHERE name = 'learner') THEN 0 ELSE 1 END, created_at, id LIMIT 1"));
  chosen_learner_ = ReadChosen(query);
}

bool Record::SetCurrentLearner(qint64 learner_id) {
  if (!CanWrite()) return false;
  QSqlQuery query(db_);
  query.prepare(QStringLiteral(
      "INSERT INTO settings (name, value) SELECT 'learner', CAST(id AS TEXT) FROM learners "
      "WHERE id = ? ON CONFLICT (name) DO UPDATE SET value = excluded.value"));
  query.addBindValue(learner_id);
  if (auto error = Execute(query)) return FailWith(*error);
  if (query.numRowsAffected() == 0) {
    Fail(RecordStep::kWrite, ErrorCode::kNotFound,
         QStringLiteral("learner %1 is not in the record").arg(learner_id));
    return false;
  }
  QSqlQuery chosen(db_);
  chosen.prepare(QStringLiteral("SELECT id, created_at FROM learners WHERE id = ?"));
  chosen.addBindValue(learner_id);
  chosen_learner_ = ReadChosen(chosen);
  Succeeded();
  return true;
}

bool Record::RecordingEnabled() {
  if (!open_) return true;
  QSqlQuery query(db_);
  query.prepare(QStringLiteral("SELECT value FROM settings WHERE name = 'recording'"));
  if (!query.exec() || !query.next()) return true;
  return query.value(0).toString() != QStringLiteral("off");
}

bool Record::SetRecordingEnabled(bool enabled) {
  if (!CanWrite()) return false;
  QSqlQuery query(db_);
  query.prepare(QStringLiteral(
      "INSERT INTO settings (name, value) VALUES ('recording', ?) "
      "ON CONFLICT (name) DO UPDATE SET value = excluded.value"));
  query.addBindValue(enabled ? QStringLiteral("on") : QStringLiteral("off"));
  if (auto error = Execute(query)) return FailWith(*error);
  Succeeded();
  return true;
}

bool Record::NotePracticeOrigins(const QString& hash,
                                 const std::vector<schedule::ProblemKey>& origins) {
  if (!CanWrite()) return false;
  WriteTransaction transaction(db_);
  if (transaction.BeginError()) return FailWith(*transaction.BeginError());
  if (auto error = record::NotePracticeOrigins(db_, hash, origins)) return FailWith(*error);
  if (auto error = transaction.Commit()) return FailWith(*error);
  Succeeded();
  return true;
}

bool Record::NoteGeneratedSet(const QString& hash, const QString& topic, int level) {
  if (!Open() || !CanWrite()) return false;
  if (auto error =
          record::NoteGeneratedSet(db_, hash, topic, level, QDateTime::currentMSecsSinceEpoch())) {
    return FailWith(*error);
  }
  Succeeded();
  return true;
}

Result<std::vector<TopicMastery>> Record::Mastery() const {
  if (!open_) return std::vector<TopicMastery>{};
  auto mastery = LoadMastery(db_, CurrentLearnerId(), mastery_rule_);
  if (!mastery) {
    rekendo::Error error = mastery.error();
    error.subject = QDir::toNativeSeparators(FilePath()).toStdString();
    return error;
  }
  return mastery;
}

bool Record::DeleteAll(bool keep_rounds_for_class) {
  if (!CanWrite()) return false;
  // A round under way (the countdown runs on under the record window) keeps its rows, or its
  // next questions would have no round to belong to. With a class server, a round still
  // waiting for it keeps them too: deleting it would let a pupil keep a round from the
  // teacher. (Without one every closed round sits in the queue, and all of them go.)
  static const char* const kDeletesKeepingQueued[] = {
      "DELETE FROM questions WHERE round_id NOT IN (SELECT id FROM rounds WHERE ending = 'open') "
      "AND round_id NOT IN (SELECT round_id FROM upload_queue)",
      "DELETE FROM problem_stats",
      "DELETE FROM memory_states",
      "DELETE FROM rounds WHERE ending <> 'open' AND id NOT IN (SELECT round_id FROM upload_queue)",
      "DELETE FROM problem_sets WHERE content_hash NOT IN (SELECT set_hash FROM rounds)",
  };
  static const char* const kDeletesAll[] = {
      "DELETE FROM questions WHERE round_id NOT IN (SELECT id FROM rounds WHERE ending = 'open')",
      "DELETE FROM problem_stats",
      "DELETE FROM memory_states",
      "DELETE FROM upload_queue WHERE round_id NOT IN (SELECT id FROM rounds WHERE ending = 'open')",
      "DELETE FROM rounds WHERE ending <> 'open'",
      "DELETE FROM problem_sets WHERE content_hash NOT IN (SELECT set_hash FROM rounds)",
  };
  bool round_open = false;
  {
    WriteTransaction transaction(db_);
    if (transaction.BeginError()) return FailWith(*transaction.BeginError());
    const std::span<const char* const> deletes =
        keep_rounds_for_class ? std::span<const char* const>(kDeletesKeepingQueued)
                              : std::span<const char* const>(kDeletesAll);
    for (const char* statement : deletes) {
      QSqlQuery query(db_);
      if (!query.exec(QString::fromLatin1(statement))) return FailWith(query.lastError());
    }
    // The tallies are what the kept questions say, so they stay true to them.
    QSqlQuery tallies(db_);
    if (!tallies.exec(QString::fromLatin1(kRebuildTallies))) return FailWith(tallies.lastError());
    QSqlQuery open_rounds(db_);
    round_open = open_rounds.exec(QStringLiteral("SELECT 1 FROM rounds WHERE ending = 'open'")) &&
                 open_rounds.next();
    if (auto error = transaction.Commit()) return FailWith(*error);
  }
  // Gives the space back and leaves no deleted text in free pages; not while a round runs.
  // It takes as long as the file is large (seconds for a long record), so it runs on a
  // worker with a connection of its own, never on the countdown's thread. Another program
  // reading at the moment makes it fail, which loses nothing.
  if (!round_open) {
    QThreadPool::globalInstance()->start([path = FilePath()] {
      ScopedConnection connection("vacuum", path, 2000, OpenMode::kReadWrite);
      if (connection.isOpen()) QSqlQuery(connection.db()).exec(QStringLiteral("VACUUM"));
    });
  }
  Succeeded();
  return true;
}

// A write that met damage is tried once more in the new record the damage was moved out of.
template <typename Write>
auto Record::WithRecovery(Write&& write) -> decltype(write()) {
  FollowLiveFile();
  auto result = write();
  if (!result && recover_pending_ && RecoverFromDamage()) result = write();
  // A full disk: give back what the log holds, so that recording resumes once there is room.
  if (!result && error_ && error_->code == ErrorCode::kDiskFull && db_.isOpen()) {
    QSqlQuery(db_).exec(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
  }
  return result;
}

std::optional<std::int64_t> Record::StartRound(const RoundStart& start) {
  return WithRecovery([&] { return StartRoundOnce(start); });
}

bool Record::AddQuestion(std::int64_t round_id, const QString& set_hash, const QuestionRow& row) {
  return WithRecovery([&] { return AddQuestionOnce(round_id, set_hash, row); });
}

bool Record::EndRound(std::int64_t round_id, const RoundFinish& finish) {
  return WithRecovery([&] { return EndRoundOnce(round_id, finish); });
}

namespace {

// The query's result, its failure naming the record's file.
template <typename T>
Result<T> About(Result<T> result, const QString& path) {
  if (result) return result;
  Error error = result.error();
  error.subject = QDir::toNativeSeparators(path).toStdString();
  return error;
}

}  // namespace

Result<std::vector<SetSummary>> Record::SetSummaries() const {
  // Due by the end of the learner's local today, as 今日の練習 counts it.
  const QDateTime now = QDateTime::currentDateTime();
  const qint64 day_end = QDateTime(now.date().addDays(1), QTime(0, 0)).toSecsSinceEpoch();
  return About(LoadSetSummaries(db_, CurrentLearnerId(), day_end), FilePath());
}

Result<std::vector<ScorePoint>> Record::ScoreSeries(const QString& hash, int max_points) const {
  return About(LoadScoreSeries(db_, CurrentLearnerId(), hash, max_points), FilePath());
}

Result<std::vector<MissedProblem>> Record::MostMissed(const QString& hash, int limit) const {
  return About(LoadMostMissed(db_, CurrentLearnerId(), hash, limit), FilePath());
}

Result<std::vector<RoundDetail>> Record::RecentRounds(const QString& hash, int limit) const {
  return About(LoadRecentRounds(db_, CurrentLearnerId(), hash, limit), FilePath());
}

Status Record::ExportCsv(const QString& path, std::optional<qint64> learner_id) const {
  return record::ExportCsv(db_, path, learner_id);
}

}  // namespace rekendo::record
