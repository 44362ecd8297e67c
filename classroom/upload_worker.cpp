#include "upload_worker.h"

#include <QDateTime>
#include <QRandomGenerator>
#include <algorithm>

#include "class_database.h"
#include "class_error.h"

namespace rekendo::classroom {

std::chrono::milliseconds RetryDelay(const UploadOptions& options, int failures, bool refused) {
  const auto cap = refused ? std::max(options.max_refused_retry, options.max_retry)
                           : options.max_retry;
  auto delay = options.first_retry;
  for (int i = 1; i < failures && delay < cap; ++i) delay *= 2;
  return std::min(delay, cap);
}

UploadWorker::UploadWorker(std::string conninfo, std::shared_ptr<PendingRounds> source,
                           UploadOptions options)
    : conninfo_(std::move(conninfo)),
      source_(std::move(source)),
      options_(options),
      timer_(new QTimer(this)) {
  qRegisterMetaType<UploadStatus>();
  timer_->setSingleShot(true);
  connect(timer_, &QTimer::timeout, this, &UploadWorker::Work);
}

UploadWorker::~UploadWorker() = default;

UploadStatus UploadWorker::Snapshot() const {
  std::lock_guard lock(mutex_);
  return status_;
}

void UploadWorker::Interrupt() {
  stopped_ = true;
  canceller_->Cancel();
  // What a cancel cannot reach (a hung forwarder) ends too.
  canceller_->Abort();
}

void UploadWorker::Start() {
  if (!db_) db_ = std::make_unique<ClassDatabase>(conninfo_, options_.limits, canceller_);
  // What was set aside last time is offered once more: the school may have mended it since.
  source_->OfferSetAsideAgain();
  Work();
}

void UploadWorker::TryNow() {
  if (stopped_) return;
  // A try under way reads the queue again when it ends; otherwise go now.
  ScheduleIn(std::chrono::milliseconds(0));
}

void UploadWorker::Stop() {
  stopped_ = true;
  timer_->stop();
  db_.reset();  // closes and removes the connection on this thread
  {
    std::lock_guard lock(mutex_);
    status_.connected = false;
    status_.next_try_ms = 0;
  }
  thread()->quit();
}

void UploadWorker::ScheduleIn(std::chrono::milliseconds delay) {
  if (stopped_) return;
  {
    std::lock_guard lock(mutex_);
    status_.next_try_ms = QDateTime::currentMSecsSinceEpoch() + delay.count();
  }
  timer_->start(delay);
}

void UploadWorker::UpdateWaiting() {
  Result<int> waiting = source_->WaitingCount();
  Result<int> set_aside = source_->SetAsideCount();
  std::lock_guard lock(mutex_);
  if (waiting) status_.waiting = *waiting;
  if (set_aside) status_.set_aside = *set_aside;
}

void UploadWorker::Publish() { emit StatusChanged(Snapshot()); }

void UploadWorker::Failed(const std::string& round_id, const Error& error, bool refused) {
  source_->RecordFailure(round_id, error, true);
  // Counted before the failure shows, so that whoever sees the failure sees the count too.
  UpdateWaiting();
  int failures;
  {
    std::lock_guard lock(mutex_);
    failures = ++status_.failures_in_a_row;
    status_.last_error = error;
    status_.last_error_set_aside = false;
    status_.connected = db_ && db_->IsOpen();
  }
  const bool long_pause = refused || WaitsForPeople(error);
  auto delay = RetryDelay(options_, failures, long_pause);
  const double spread = options_.jitter * (2 * QRandomGenerator::global()->generateDouble() - 1);
  delay = std::min(RetryDelay(options_, 1 << 20, long_pause),
                   std::chrono::milliseconds(static_cast<long long>(delay.count() * (1 + spread))));
  ScheduleIn(delay);
  Publish();
}

void UploadWorker::Work() {
  if (stopped_ || !db_) return;
  {
    std::lock_guard lock(mutex_);
    status_.next_try_ms = 0;
  }
  Result<std::vector<ClassRound>> batch = source_->NextBatch(options_.batch_size);
  if (!batch) return Failed({}, batch.error());
  if (batch->empty()) {
    UpdateWaiting();
    ScheduleIn(options_.idle_poll);
    Publish();
    return;
  }
  if (Status s = db_->Open(); !s) return Failed({}, s.error());
  bool sent_any = false;
  std::optional<Error> refusal;
  for (const ClassRound& round : *batch) {
    if (stopped_) return;
    canceller_->ArmDeadline(options_.stuck_after);
    Status uploaded = db_->Upload(round);
    canceller_->Disarm();
    if (Status s = uploaded; !s) {
      if (!WorthRetrying(s.error())) {
        // The server will never take this one; kept and shown, and the rest go on.
        source_->RecordFailure(round.id, s.error(), false);
        std::lock_guard lock(mutex_);
        status_.last_error = s.error();
        status_.last_error_set_aside = true;
        continue;
      }
      if (WaitsForPeople(s.error())) {
        // Kept for a later try; another learner's round in a shared record may still go.
        source_->RecordFailure(round.id, s.error(), true);
        refusal = s.error();
        continue;
      }
      return Failed(round.id, s.error());
    }
    sent_any = true;
    // A failure to mark it only means it is sent again next time, and found there.
    if (Status s = source_->MarkSent(round.id); !s) return Failed(round.id, s.error());
    std::lock_guard lock(mutex_);
    ++status_.sent;
    status_.failures_in_a_row = 0;
    status_.last_error.reset();
    status_.last_error_set_aside = false;
    status_.last_success_ms = QDateTime::currentMSecsSinceEpoch();
    status_.connected = true;
  }
  // Nothing but refusals: wait for people to mend them (the refused rounds were tried last,
  // so a batch without a success holds nothing else).
  if (refusal && !sent_any) return Failed({}, *refusal, true);
  UpdateWaiting();
  Publish();
  // More may wait: go on, through the event loop so that a Stop gets in between batches.
  ScheduleIn(std::chrono::milliseconds(0));
}

ClassUploader::ClassUploader(std::string conninfo, std::shared_ptr<PendingRounds> source,
                             UploadOptions options, QObject* parent)
    : QObject(parent),
      thread_(new QThread),
      worker_(new UploadWorker(std::move(conninfo), std::move(source), options)) {
  thread_->setObjectName(QStringLiteral("rekendo-class-upload"));
  worker_->moveToThread(thread_);
  connect(worker_, &UploadWorker::StatusChanged, this, &ClassUploader::StatusChanged);
}

ClassUploader::~ClassUploader() {
  if (thread_->isRunning()) {
    worker_->Interrupt();
    QMetaObject::invokeMethod(worker_, &UploadWorker::Stop, Qt::QueuedConnection);
    if (!thread_->wait(QDeadlineTimer(stop_wait.count()))) {
      // Held up in the network: let it end with the process. The worker keeps the queue
      // alive through its shared_ptr; it closes the connection when the call returns.
      disconnect(worker_, nullptr, this, nullptr);
      return;
    }
  }
  delete worker_;
  delete thread_;
}

void ClassUploader::Start() {
  if (thread_->isRunning()) return;
  thread_->start();
  QMetaObject::invokeMethod(worker_, &UploadWorker::Start, Qt::QueuedConnection);
}

void ClassUploader::RoundQueued() {
  QMetaObject::invokeMethod(worker_, &UploadWorker::TryNow, Qt::QueuedConnection);
}

UploadStatus ClassUploader::Snapshot() const { return worker_->Snapshot(); }

}  // namespace rekendo::classroom
