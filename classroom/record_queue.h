// PendingRounds over the learner's record: the rounds its upload_queue table holds, read
// from the record's SQLite file. Every call opens a connection of its own for the call, on
// the calling (upload) thread, so nothing is shared with the GUI thread's connection and
// nothing outlives the thread. Tries, the latest failure and given-up rounds are kept in
// upload_queue, so they survive the program.
#pragma once

#include <QString>
#include <atomic>

#include "pending_rounds.h"

namespace rekendo::classroom {

class RecordQueue : public PendingRounds {
 public:
  explicit RecordQueue(QString record_path);

  Result<std::vector<ClassRound>> NextBatch(int limit) override;
  Status MarkSent(const std::string& round_id) override;
  void RecordFailure(const std::string& round_id, const Error& error, bool will_retry) override;
  Result<int> WaitingCount() override;
  void OfferSetAsideAgain() override;
  Result<int> SetAsideCount() override;

 private:
  QString NewConnectionName();

  QString record_path_;
  std::atomic<int> connections_{0};
};

}  // namespace rekendo::classroom
