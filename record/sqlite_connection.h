// Everything that is particular to SQLite sits here: opening the file with its options, the
// pragmas, the schema version in the file header, write transactions that take the lock up
// front, and reading the engine's result codes. The schema and the queries elsewhere are
// plain SQL that PostgreSQL accepts too.
#pragma once

#include <QSqlDatabase>
#include <QSqlError>
#include <QString>
#include <optional>

namespace rekendo::record {

enum class OpenMode {
  kReadWrite,
  kReadOnly,
  // Read-only without locks or the shared-memory file: the one way to read a record in
  // WAL mode on a read-only disk. Safe only when nothing else can write the file then.
  kImmutable,
};

// Adds a QSQLITE connection named `connection_name` on `path` and opens it. Waits up to
// `busy_timeout_ms` for a lock held by another connection. Check isOpen() on the result.
QSqlDatabase OpenSqlite(const QString& connection_name, const QString& path,
                        int busy_timeout_ms, OpenMode mode);

// A connection of its own to a record file for one piece of work, on any thread (Qt's
// connections belong to the thread that made them): named so that no other shares it,
// opened at once, closed and removed on every path when it goes out of scope.
class ScopedConnection {
 public:
  ScopedConnection(const char* purpose, const QString& path, int busy_timeout_ms, OpenMode mode);
  ~ScopedConnection();
  ScopedConnection(const ScopedConnection&) = delete;
  ScopedConnection& operator=(const ScopedConnection&) = delete;

  QSqlDatabase& db() { return db_; }
  bool isOpen() const { return db_.isOpen(); }

 private:
  QString name_;
  QSqlDatabase db_;
};

// How the record keeps its journal. The write-ahead log lets readers and the other program's
// writer go on without blocking each other, but it needs shared memory between the programs,
// which SQLite cannot have over a network file system; there a rollback journal is used.
enum class Journal { kWriteAheadLog, kRollback };

// True for the file systems of a network (NFS, SMB/CIFS, AFS, Coda, 9P), by statfs's f_type.
bool IsNetworkFileSystem(long file_system_type);
// The file system type of `folder` (statfs), or 0 when it cannot be told.
long FileSystemTypeOf(const QString& folder);

// The journal, foreign keys, and a commit that survives the process being killed without
// waiting for the disk.
std::optional<QSqlError> SetUpWritableConnection(QSqlDatabase& db, Journal journal);

// The schema version kept in the file header (PRAGMA user_version); nullopt with `error`
// set when the file cannot be read at all.
std::optional<int> ReadSchemaVersion(QSqlDatabase& db, QSqlError* error);
std::optional<QSqlError> WriteSchemaVersion(QSqlDatabase& db, int version);

// A write transaction that takes the write lock at its start, so that two programs writing
// at once wait for each other (up to the busy timeout) instead of failing halfway.
std::optional<QSqlError> BeginWrite(QSqlDatabase& db);
std::optional<QSqlError> Commit(QSqlDatabase& db);
void Rollback(QSqlDatabase& db);

enum class SqliteFailure {
  kBusy,      // locked by another connection past the timeout
  kCorrupt,   // not a database, or a damaged one
  kReadOnly,  // the file or its folder may not be written
  kFull,      // the disk is full
  kCantOpen,  // the file could not be opened or created
  kOther,
};
SqliteFailure ClassifyFailure(const QSqlError& error);

}  // namespace rekendo::record
