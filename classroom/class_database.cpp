#include "class_database.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QTimeZone>
#include <QVariant>
#include <atomic>
#include <thread>

#include <sys/socket.h>

#include <libpq-fe.h>

#include "class_error.h"
#include "class_schema.h"

namespace rekendo::classroom {

namespace {

QString NewConnectionName() {
  static std::atomic<int> counter{0};
  return QStringLiteral("rekendo-class-%1").arg(counter.fetch_add(1));
}

// PostgreSQL's text holds no NUL character, and libpq would cut the statement there.
QString Text(const std::string& utf8) {
  QString text = QString::fromStdString(utf8);
  text.replace(QChar(u'\0'), QChar(0xFFFD));
  return text;
}

QVariant Time(std::int64_t ms) { return QDateTime::fromMSecsSinceEpoch(ms, QTimeZone::utc()); }

template <typename T>
QVariant Optional(const std::optional<T>& value) {
  if (!value) return QVariant(QMetaType::fromType<T>());
  return QVariant::fromValue(*value);
}

QVariant OptionalTime(const std::optional<std::int64_t>& ms) {
  if (!ms) return QVariant(QMetaType::fromType<QDateTime>());
  return Time(*ms);
}

// Every question as one JSON array, bound as one value: one statement stores them all.
QString QuestionsJson(const ClassRound& round) {
  QJsonArray array;
  for (const ClassQuestion& q : round.questions) {
    array.append(QJsonObject{
        {QStringLiteral("number"), q.number},
        {QStringLiteral("kind"), Text(q.kind)},
        {QStringLiteral("bank_index"), q.bank_index},
        {QStringLiteral("problem_text"), Text(q.text)},
        {QStringLiteral("accepted"), Text(q.accepted)},
        {QStringLiteral("typed"), Text(q.typed)},
        {QStringLiteral("outcome"), Text(q.outcome)},
        {QStringLiteral("wrong_tries"), q.wrong_tries},
        {QStringLiteral("seconds_used"), q.seconds_used},
    });
  }
  return QString::fromUtf8(QJsonDocument(array).toJson(QJsonDocument::Compact));
}

const char* kUploading = "成績の送信";

// Binds by position, so a statement prepared once is bound afresh at every use.
void Bind(QSqlQuery& query, std::initializer_list<QVariant> values) {
  int index = 0;
  for (const QVariant& value : values) query.bindValue(index++, value);
}

}  // namespace

QueryCanceller::~QueryCanceller() {
  {
    std::lock_guard lock(mutex_);
    ending_ = true;
  }
  changed_.notify_all();
  if (watchdog_.joinable()) watchdog_.join();
  Detach();
}

void QueryCanceller::Abort() {
  std::lock_guard lock(mutex_);
  // Under the lock: the socket is the connection's until Detach, never a reused number.
  if (socket_ >= 0) ::shutdown(socket_, SHUT_RDWR);
}

void QueryCanceller::ArmDeadline(std::chrono::milliseconds after) {
  {
    std::lock_guard lock(mutex_);
    deadline_ = std::chrono::steady_clock::now() + after;
    if (!watchdog_.joinable()) watchdog_ = std::thread([this] { Watch(); });
  }
  changed_.notify_all();
}

void QueryCanceller::Disarm() {
  {
    std::lock_guard lock(mutex_);
    deadline_.reset();
  }
  changed_.notify_all();
}

void QueryCanceller::Watch() {
  std::unique_lock lock(mutex_);
  while (!ending_) {
    if (!deadline_) {
      changed_.wait(lock);
    } else if (std::chrono::steady_clock::now() >= *deadline_) {
      deadline_.reset();
      if (socket_ >= 0) ::shutdown(socket_, SHUT_RDWR);
    } else {
      changed_.wait_until(lock, *deadline_);
    }
  }
}

bool QueryCanceller::Cancel() {
  cancelled_ = true;
  void* cancel = nullptr;
  {
    std::lock_guard lock(mutex_);
    std::swap(cancel, cancel_);
  }
  if (!cancel) return false;
  // PQcancel opens a connection of its own and waits for the server to close it; a hung
  // network would hold the caller (the window closing) for as long. A thread of its own
  // takes the handle and frees it.
  std::thread([cancel] {
    char message[256];
    PQcancel(static_cast<PGcancel*>(cancel), message, sizeof message);
    PQfreeCancel(static_cast<PGcancel*>(cancel));
  }).detach();
  return true;
}

void QueryCanceller::Attach(void* pg_cancel, int socket) {
  std::lock_guard lock(mutex_);
  if (cancel_) PQfreeCancel(static_cast<PGcancel*>(cancel_));
  cancel_ = pg_cancel;
  socket_ = socket;
}

void QueryCanceller::Detach() { Attach(nullptr, -1); }

struct ClassDatabase::Statements {
  explicit Statements(const QSqlDatabase& db)
      : insert_round(db), find_mine(db), insert_questions(db) {}
  bool Prepare() {
    // The learner is the connection's role unless the round names one; the row-level policy
    // refuses any other.
    return insert_round.prepare(QStringLiteral(
               "INSERT INTO rekendo.rounds (id, learner, set_hash, file_name, pair_count, "
               "started_at, ended_at, score, judgement_index, ending, time_limit_seconds) "
               "VALUES (CAST(? AS uuid), coalesce(nullif(CAST(? AS text), ''), current_user), ?, "
               "?, ?, ?, ?, ?, ?, ?, ?) ON CONFLICT (id) DO NOTHING RETURNING learner")) &&
           find_mine.prepare(QStringLiteral(
               "SELECT 1 FROM rekendo.rounds WHERE id = CAST(? AS uuid) AND learner = "
               "coalesce(nullif(CAST(? AS text), ''), current_user)")) &&
           insert_questions.prepare(QStringLiteral(
               "INSERT INTO rekendo.questions (round_id, learner, number, kind, bank_index, "
               "problem_text, accepted, typed, outcome, wrong_tries, seconds_used) "
               "SELECT CAST(? AS uuid), CAST(? AS name), q.number, q.kind, q.bank_index, "
               "q.problem_text, q.accepted, q.typed, q.outcome, q.wrong_tries, q.seconds_used "
               "FROM json_to_recordset(CAST(? AS json)) AS q(number integer, kind text, "
               "bank_index integer, problem_text text, accepted text, typed text, outcome text, "
               "wrong_tries integer, seconds_used integer) "
               "ON CONFLICT (round_id, number) DO NOTHING"));
  }
  QSqlQuery insert_round;
  QSqlQuery find_mine;
  QSqlQuery insert_questions;
};

ClassDatabase::ClassDatabase(std::string conninfo, SessionLimits limits,
                             std::shared_ptr<QueryCanceller> canceller)
    : conninfo_(std::move(conninfo)),
      limits_(limits),
      canceller_(std::move(canceller)),
      connection_name_(NewConnectionName()) {}

ClassDatabase::~ClassDatabase() {
  Close();
  db_ = QSqlDatabase();
  if (QSqlDatabase::contains(connection_name_)) QSqlDatabase::removeDatabase(connection_name_);
}

bool ClassDatabase::IsOpen() const { return db_.isValid() && db_.isOpen(); }

void ClassDatabase::Close() {
  if (canceller_) canceller_->Detach();
  version_checked_ = false;
  statements_.reset();
  if (db_.isValid()) db_.close();
}

Status ClassDatabase::Open() {
  if (IsOpen()) return {};
  Result<ConnInfo> info = ConnInfo::Parse(conninfo_);
  if (!info) return info.error();
  const ConnInfo full = info->WithDefaults();
  where_ = info->Describe();
  if (!db_.isValid()) {
    db_ = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), connection_name_);
    if (!db_.isValid()) {
      return Error{ErrorCode::kOther,
                   "PostgreSQL のドライバー（Qt の QPSQL）がありません。"
                   "libqt6sql6-psql を入れてください。",
                   {},
                   db_.lastError().text().toStdString()};
    }
  }
  // Host, database, user and password stay empty: the whole string goes to libpq as the
  // connect options (see conninfo.h).
  db_.setConnectOptions(QString::fromStdString(full.ToConnectOptions()));
  if (!db_.open()) {
    Error error = ConnectFailure(db_.lastError(), where_);
    db_.close();
    return error;
  }
  if (canceller_) {
    const QVariant handle = db_.driver()->handle();
    // The driver's handle is the PGconn* (named by libpq's struct, pg_conn*).
    if (handle.isValid() && (qstrcmp(handle.typeName(), "PGconn*") == 0 ||
                             qstrcmp(handle.typeName(), "pg_conn*") == 0)) {
      PGconn* const connection = *static_cast<PGconn* const*>(handle.data());
      canceller_->Attach(PQgetCancel(connection), PQsocket(connection));
    }
  }
  // Per session, as values: the server's own settings may have no limit at all.
  QSqlQuery limits(db_);
  limits.prepare(QStringLiteral(
      "SELECT set_config('statement_timeout', ?, false), set_config('lock_timeout', ?, false)"));
  limits.addBindValue(QString::number(limits_.statement.count()));
  limits.addBindValue(QString::number(limits_.lock.count()));
  if (!limits.exec()) return Broken(StatementFailure(limits.lastError(), "接続の準備"));
  return {};
}

Status ClassDatabase::CheckServerVersion() {
  if (version_checked_) return {};
  Result<int> version = ReadSchemaVersion(db_);
  // A server made before the version was readable by learners is older than this program.
  if (!version && version.error().code != ErrorCode::kAccessDenied) {
    return Broken(version.error());
  }
  if (version && *version > kClassSchemaVersion) return ServerTooNew(*version);
  version_checked_ = true;
  return {};
}

Error ClassDatabase::Broken(Error error) {
  // After a failed statement the connection may be gone or inside an aborted transaction:
  // a new one is cheap and certain.
  Close();
  return error;
}

Result<std::string> ClassDatabase::CurrentUser() {
  if (Status s = Open(); !s) return s.error();
  QSqlQuery query(db_);
  if (!query.exec(QStringLiteral("SELECT current_user")) || !query.next()) {
    return Broken(StatementFailure(query.lastError(), "名前の確認"));
  }
  return query.value(0).toString().toStdString();
}

Status ClassDatabase::Upload(const ClassRound& round, UploadOutcome* outcome) {
  if (Status s = Open(); !s) return s;
  if (Status s = CheckServerVersion(); !s) return s;
  if (!db_.transaction()) return Broken(StatementFailure(db_.lastError(), kUploading));
  Status status = UploadInTransaction(round, outcome);
  if (!status) {
    db_.rollback();
    return Broken(status.error());
  }
  // A commit whose answer is lost leaves us not knowing; the caller tries again later and
  // finds the round there (kAlreadyThere).
  if (!db_.commit()) return Broken(StatementFailure(db_.lastError(), kUploading));
  return {};
}

Status ClassDatabase::UploadInTransaction(const ClassRound& round, UploadOutcome* outcome) {
  if (!statements_) {
    statements_ = std::make_unique<Statements>(db_);
    if (!statements_->Prepare()) {
      Error error = StatementFailure(statements_->insert_round.lastError().isValid()
                                         ? statements_->insert_round.lastError()
                                         : statements_->insert_questions.lastError(),
                                     kUploading);
      return error;
    }
  }
  QSqlQuery& insert = statements_->insert_round;
  Bind(insert, {Text(round.id), Text(round.learner), Text(round.set_hash), Text(round.file_name),
                round.pair_count, Time(round.started_at_ms), OptionalTime(round.ended_at_ms),
                Optional(round.score), Optional(round.judgement_index), Text(round.ending),
                round.time_limit_seconds});
  if (!insert.exec()) return StatementFailure(insert.lastError(), kUploading);
  const bool inserted = insert.next();
  const QString learner = inserted ? insert.value(0).toString() : QString();
  insert.finish();
  if (!inserted) {
    // The id is taken. Ours, from an earlier try, is visible to us; another learner's is
    // not (row-level security), and is left alone.
    QSqlQuery& mine = statements_->find_mine;
    Bind(mine, {Text(round.id), Text(round.learner)});
    if (!mine.exec()) return StatementFailure(mine.lastError(), kUploading);
    const bool ours = mine.next();
    mine.finish();
    if (!ours) {
      // kInvalidInput: this round can never be stored under its id, and whose it is stays
      // unsaid.
      return Error{ErrorCode::kInvalidInput,
                   "この回の番号（UUID）はほかの記録に使われているので、送れません。",
                   round.id,
                   {}};
    }
    if (outcome) *outcome = UploadOutcome::kAlreadyThere;
    return {};
  }
  if (!round.questions.empty()) {
    QSqlQuery& questions = statements_->insert_questions;
    Bind(questions, {Text(round.id), learner, QuestionsJson(round)});
    if (!questions.exec()) return StatementFailure(questions.lastError(), kUploading);
    questions.finish();
  }
  if (outcome) *outcome = UploadOutcome::kInserted;
  return {};
}

}  // namespace rekendo::classroom
