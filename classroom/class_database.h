// One connection to the class database (Qt's QPSQL driver) and the learner's one write:
// uploading a closed round. A connection belongs to the thread that opened it: make,
// use and destroy a ClassDatabase on one thread (the upload worker's, or the command's).
//
// No password is kept anywhere by the program: libpq finds one in ~/.pgpass (or the file
// given by passfile= / PGPASSFILE), in a service file, or needs none (peer, GSSAPI, a client
// certificate).
#pragma once

#include <QSqlDatabase>
#include <QString>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "class_round.h"
#include "conninfo.h"
#include "error.h"

namespace rekendo::classroom {

enum class UploadOutcome {
  kInserted,      // the round and its questions are now on the server
  kAlreadyThere,  // an earlier try had stored it; nothing was written
};

// Limits set on every session, so that a table locked by someone else or a server that
// stalls fails the statement instead of holding the caller (and the program's end) for ever.
struct SessionLimits {
  std::chrono::milliseconds statement{30000};
  std::chrono::milliseconds lock{10000};
};

// Cancels what a connection is doing, from any thread: the one way to end a statement
// while the thread that runs it waits inside libpq.
class QueryCanceller {
 public:
  QueryCanceller() = default;
  ~QueryCanceller();
  QueryCanceller(const QueryCanceller&) = delete;
  QueryCanceller& operator=(const QueryCanceller&) = delete;

  // Asks the server, on a thread of its own, to cancel the statement under way on the
  // connection attached, if any (true then); never waits. Remembered, for a caller about to
  // start a statement (Cancelled).
  bool Cancel();
  bool Cancelled() const { return cancelled_; }

  // Shuts the connection's socket: the call waiting in libpq returns at once with a lost
  // connection. For what a cancel cannot reach, such as a forwarder that takes the bytes and
  // never answers (the cancel would go the same way, and TCP sees nothing wrong).
  void Abort();

  // Aborts unless Disarm comes within `after`: a try that is stuck, whatever the network
  // does, is given up and made again later.
  void ArmDeadline(std::chrono::milliseconds after);
  void Disarm();

 private:
  friend class ClassDatabase;
  void Attach(void* pg_cancel, int socket);  // takes a PGcancel*
  void Detach();
  void Watch();

  std::mutex mutex_;
  std::condition_variable changed_;
  void* cancel_ = nullptr;
  int socket_ = -1;
  std::optional<std::chrono::steady_clock::time_point> deadline_;
  bool ending_ = false;
  std::thread watchdog_;  // started by the first ArmDeadline
  std::atomic<bool> cancelled_ = false;
};

class ClassDatabase {
 public:
  // Nothing connects yet. `conninfo` as ConnInfo::Parse reads it.
  explicit ClassDatabase(std::string conninfo, SessionLimits limits = {},
                         std::shared_ptr<QueryCanceller> canceller = nullptr);
  ~ClassDatabase();
  ClassDatabase(const ClassDatabase&) = delete;
  ClassDatabase& operator=(const ClassDatabase&) = delete;

  // Connects unless connected. kInvalidInput for a connection string that cannot be used,
  // kAuthentication, kNetwork, kServer or kNotFound (ConnectFailure) for the rest.
  Status Open();
  bool IsOpen() const;
  // Drops the connection; the next Open connects again.
  void Close();

  // Stores the round and its questions in one transaction, once the server's schema is
  // known to be one this program writes to (kNewer, with nothing sent, when it is newer).
  // Safe to repeat: a round whose id
  // is already on the server in this learner's name is left as it is (kAlreadyThere); so a
  // retry after a lost acknowledgement, or two copies of the program, never make a second
  // copy. An id held by another learner's round fails with kInvalidInput, and that round is
  // neither read nor touched. A failure leaves nothing on the server and closes the
  // connection when it broke (the next call connects again).
  Status Upload(const ClassRound& round, UploadOutcome* outcome = nullptr);

  // The role the connection acts as.
  Result<std::string> CurrentUser();

  // The open connection, for rekendo-class's own statements.
  QSqlDatabase& Connection() { return db_; }
  // Where it connects, without a password, for messages.
  const std::string& Where() const { return where_; }

 private:
  Status UploadInTransaction(const ClassRound& round, UploadOutcome* outcome);
  Status CheckServerVersion();
  // Closes the connection when `error` says it broke.
  Error Broken(Error error);

  // The upload's statements, prepared once per connection.
  struct Statements;
  std::unique_ptr<Statements> statements_;
  std::string conninfo_;
  SessionLimits limits_;
  std::shared_ptr<QueryCanceller> canceller_;
  bool version_checked_ = false;
  std::string where_;
  QString connection_name_;
  QSqlDatabase db_;
};

}  // namespace rekendo::classroom
