// Sends the closed rounds of the local queue to the class database, on a thread of its own:
// the countdown on the GUI thread never waits for the network. The worker owns its own
// connection (connections belong to the thread that opened them), tries at once when
// started and whenever told a round was queued, and after a failure tries again with a
// growing pause: a few seconds first, never more than a minute while the program runs.
//
//   auto uploader = std::make_unique<ClassUploader>(conninfo, queue);
//   connect(uploader.get(), &ClassUploader::StatusChanged, window, &Window::ShowClassStatus);
//   uploader->Start();
//   …  uploader->RoundQueued();  // after the record queued a closed round
#pragma once

#include <QMetaType>
#include <QObject>
#include <QThread>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "class_database.h"
#include "error.h"
#include "pending_rounds.h"

namespace rekendo::classroom {

struct UploadOptions {
  int batch_size = 20;
  // The pause after the first failure, doubled after each one in a row up to max_retry.
  std::chrono::milliseconds first_retry{2000};
  std::chrono::milliseconds max_retry{60000};
  // The cap for refusals only people can mend (a learner not registered yet, a class role
  // that is not the login's, a program older than the server): retried, but not every minute.
  std::chrono::milliseconds max_refused_retry{3600000};
  // Each pause is moved by up to this fraction either way, so thirty machines that lost
  // the server together do not all come back in the same millisecond.
  double jitter = 0.2;
  // With nothing to send, the queue is looked at again after this long (another copy of the
  // program may have queued rounds).
  std::chrono::milliseconds idle_poll{60000};
  SessionLimits limits;
  // One round's upload taking longer than this is stuck (a forwarder that holds the bytes,
  // a network that went silent): its connection is shut and the round tried again later.
  std::chrono::milliseconds stuck_after{45000};
};

struct UploadStatus {
  int waiting = -1;  // rounds waiting to be sent; -1 before the queue was read
  int set_aside = 0;  // rounds the server would not take, kept until the next start
  int sent = 0;      // rounds the server took since the worker started
  int failures_in_a_row = 0;
  std::optional<Error> last_error;  // the latest failure; cleared by the next success
  // The latest failure set its round aside: no retry is planned for it before the next start.
  bool last_error_set_aside = false;
  qint64 last_success_ms = 0;       // UTC; 0: none yet
  qint64 next_try_ms = 0;           // UTC; 0: none planned (sending, or nothing to send)
  bool connected = false;
};

// The pause before try number `failures + 1` after `failures` failures in a row, before
// jitter: first_retry, twice that, … at most max_retry (max_refused_retry when `refused`).
std::chrono::milliseconds RetryDelay(const UploadOptions& options, int failures,
                                     bool refused = false);

// Lives on its own thread (ClassUploader puts it there); its slots run there.
class UploadWorker : public QObject {
  Q_OBJECT
 public:
  UploadWorker(std::string conninfo, std::shared_ptr<PendingRounds> source, UploadOptions options);
  ~UploadWorker() override;

  // From any thread.
  UploadStatus Snapshot() const;
  // From any thread: no new try, and the statement under way is cancelled, so that Stop is
  // reached within moments whatever the server is doing.
  void Interrupt();

 public slots:
  void Start();
  // Try now: a round was queued, or the learner asked.
  void TryNow();
  // Drops the connection and ends the thread's event loop.
  void Stop();

 signals:
  void StatusChanged(const rekendo::classroom::UploadStatus& status);

 private:
  void Work();
  void Failed(const std::string& round_id, const Error& error, bool refused = false);
  void ScheduleIn(std::chrono::milliseconds delay);
  void UpdateWaiting();
  void Publish();

  std::string conninfo_;
  std::shared_ptr<PendingRounds> source_;
  UploadOptions options_;
  std::unique_ptr<ClassDatabase> db_;  // made and destroyed on the worker's thread
  std::shared_ptr<QueryCanceller> canceller_ = std::make_shared<QueryCanceller>();
  QTimer* timer_;
  std::atomic<bool> stopped_ = false;

  mutable std::mutex mutex_;
  UploadStatus status_;
};

// Owns the thread and the worker; made, used and destroyed on the GUI thread.
class ClassUploader : public QObject {
  Q_OBJECT
 public:
  ClassUploader(std::string conninfo, std::shared_ptr<PendingRounds> source,
                UploadOptions options = {}, QObject* parent = nullptr);
  // Stops the worker, cancelling a statement under way; waits up to `stop_wait` for it to
  // end. A worker still held up by the network then is left to finish on its own as the
  // program exits (the round stays queued, and is sent again next time).
  ~ClassUploader() override;

  void Start();
  void RoundQueued();
  UploadStatus Snapshot() const;

  std::chrono::milliseconds stop_wait{5000};

 signals:
  void StatusChanged(const rekendo::classroom::UploadStatus& status);

 private:
  QThread* thread_;
  UploadWorker* worker_;
};

}  // namespace rekendo::classroom

Q_DECLARE_METATYPE(rekendo::classroom::UploadStatus)
