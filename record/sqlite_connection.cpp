#include "sqlite_connection.h"

#include <atomic>

#include <sys/vfs.h>

#include <QFile>
#include <QSqlQuery>
#include <QUrl>
#include <QVariant>

namespace rekendo::record {

namespace {

std::optional<QSqlError> Run(QSqlDatabase& db, const QString& sql) {
  QSqlQuery query(db);
  if (!query.exec(sql)) return query.lastError();
  return std::nullopt;
}

}  // namespace

ScopedConnection::ScopedConnection(const char* purpose, const QString& path,
                                   int busy_timeout_ms, OpenMode mode) {
  static std::atomic<int> made{0};
  name_ = QStringLiteral("rekendo-%1-%2").arg(QLatin1String(purpose)).arg(made.fetch_add(1));
  db_ = OpenSqlite(name_, path, busy_timeout_ms, mode);
}

ScopedConnection::~ScopedConnection() {
  db_.close();
  db_ = QSqlDatabase();  // the last handle goes before the connection is removed
  QSqlDatabase::removeDatabase(name_);
}

QSqlDatabase OpenSqlite(const QString& connection_name, const QString& path,
                        int busy_timeout_ms, OpenMode mode) {
  QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection_name);
  QString options = QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(busy_timeout_ms);
  if (mode == OpenMode::kImmutable) {
    db.setDatabaseName(QString::fromLatin1(QUrl::fromLocalFile(path).toEncoded()) +
                       QStringLiteral("?immutable=1"));
    options += QStringLiteral(";QSQLITE_OPEN_URI");
  } else {
    db.setDatabaseName(path);
  }
  if (mode != OpenMode::kReadWrite) options += QStringLiteral(";QSQLITE_OPEN_READONLY");
  db.setConnectOptions(options);
  db.open();
  return db;
}

bool IsNetworkFileSystem(long file_system_type) {
  switch (static_cast<unsigned long>(file_system_type) & 0xFFFFFFFFul) {
    case 0x6969:      // NFS
    case 0x517B:      // SMB
    case 0xFF534D42:  // CIFS
    case 0xFE534D42:  // SMB2
    case 0x5346414F:  // AFS
    case 0x73757245:  // Coda
    case 0x01021997:  // 9P
      return true;
    default:
      return false;
  }
}

long FileSystemTypeOf(const QString& folder) {
  struct statfs info {};
  if (::statfs(QFile::encodeName(folder).constData(), &info) != 0) return 0;
  return static_cast<long>(info.f_type);
}

std::optional<QSqlError> SetUpWritableConnection(QSqlDatabase& db, Journal journal) {
  // journal_mode answers with the mode it ended in rather than failing.
  QSqlQuery mode(db);
  if (!mode.exec(journal == Journal::kWriteAheadLog ? QStringLiteral("PRAGMA journal_mode = WAL")
                                                    : QStringLiteral("PRAGMA journal_mode = DELETE"))) {
    return mode.lastError();
  }
  if (auto error = Run(db, QStringLiteral("PRAGMA foreign_keys = ON"))) return error;
  // After a checkpoint the log shrinks back to this, so a large write cannot keep a small
  // disk full for good.
  if (auto error = Run(db, QStringLiteral("PRAGMA journal_size_limit = 1048576"))) return error;
  // In WAL mode NORMAL loses nothing when the program is killed, only (at worst) the last
  // commits on a power cut, and it saves an fsync per question. A rollback journal needs
  // FULL for the same.
  return Run(db, journal == Journal::kWriteAheadLog ? QStringLiteral("PRAGMA synchronous = NORMAL")
                                                    : QStringLiteral("PRAGMA synchronous = FULL"));
}

std::optional<int> ReadSchemaVersion(QSqlDatabase& db, QSqlError* error) {
  QSqlQuery query(db);
  if (!query.exec(QStringLiteral("PRAGMA user_version")) || !query.next()) {
    if (error) *error = query.lastError();
    return std::nullopt;
  }
  // user_version answers even for a file that is not a database; reading the schema makes
  // SQLite look at the file's pages.
  QSqlQuery schema(db);
  if (!schema.exec(QStringLiteral("SELECT COUNT(*) FROM sqlite_master"))) {
    if (error) *error = schema.lastError();
    return std::nullopt;
  }
  return query.value(0).toInt();
}

std::optional<QSqlError> WriteSchemaVersion(QSqlDatabase& db, int version) {
  return Run(db, QStringLiteral("PRAGMA user_version = %1").arg(version));
}

std::optional<QSqlError> BeginWrite(QSqlDatabase& db) {
  return Run(db, QStringLiteral("BEGIN IMMEDIATE"));
}

std::optional<QSqlError> Commit(QSqlDatabase& db) { return Run(db, QStringLiteral("COMMIT")); }

void Rollback(QSqlDatabase& db) { Run(db, QStringLiteral("ROLLBACK")); }

SqliteFailure ClassifyFailure(const QSqlError& error) {
  bool ok = false;
  // The primary result code is the low byte of an extended one.
  const int code = error.nativeErrorCode().toInt(&ok) & 0xFF;
  if (!ok) return SqliteFailure::kOther;
  switch (code) {
    case 5:   // SQLITE_BUSY
    case 6:   // SQLITE_LOCKED
      return SqliteFailure::kBusy;
    case 11:  // SQLITE_CORRUPT
    case 26:  // SQLITE_NOTADB
      return SqliteFailure::kCorrupt;
    case 8:   // SQLITE_READONLY
      return SqliteFailure::kReadOnly;
    case 13:  // SQLITE_FULL
      return SqliteFailure::kFull;
    case 14:  // SQLITE_CANTOPEN
      return SqliteFailure::kCantOpen;
    default:
      return SqliteFailure::kOther;
  }
}

}  // namespace rekendo::record
