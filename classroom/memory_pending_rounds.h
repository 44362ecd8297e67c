// PendingRounds in memory, for tests and the load and benchmark tools. Thread-safe: the
// test fills it on its own thread while the worker takes from it.
#pragma once

#include <deque>
#include <map>
#include <mutex>
#include <optional>
#include <set>

#include "pending_rounds.h"

namespace rekendo::classroom {

class MemoryPendingRounds : public PendingRounds {
 public:
  void Add(ClassRound round);

  Result<std::vector<ClassRound>> NextBatch(int limit) override;
  Status MarkSent(const std::string& round_id) override;
  void RecordFailure(const std::string& round_id, const Error& error, bool will_retry) override;
  Result<int> WaitingCount() override;
  void OfferSetAsideAgain() override;
  Result<int> SetAsideCount() override;

  // What the tests look at.
  int SentCount() const;
  // How often each round was marked sent (a second time would be a bug of the worker).
  std::map<std::string, int> SentTimes() const;
  std::set<std::string> GivenUp() const;
  std::optional<Error> LastFailure() const;
  int FailureCount() const;

 private:
  mutable std::mutex mutex_;
  std::deque<ClassRound> waiting_;  // least recently tried first
  std::map<std::string, int> sent_;
  std::map<std::string, ClassRound> given_up_;
  std::optional<Error> last_failure_;
  int failures_ = 0;
};

}  // namespace rekendo::classroom
