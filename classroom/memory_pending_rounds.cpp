#include "memory_pending_rounds.h"

#include <algorithm>

namespace rekendo::classroom {

void MemoryPendingRounds::Add(ClassRound round) {
  std::lock_guard lock(mutex_);
  waiting_.push_back(std::move(round));
}

Result<std::vector<ClassRound>> MemoryPendingRounds::NextBatch(int limit) {
  std::lock_guard lock(mutex_);
  const auto count = std::min<std::size_t>(waiting_.size(), std::max(limit, 0));
  return std::vector<ClassRound>(waiting_.begin(), waiting_.begin() + count);
}

Status MemoryPendingRounds::MarkSent(const std::string& round_id) {
  std::lock_guard lock(mutex_);
  ++sent_[round_id];
  std::erase_if(waiting_, [&](const ClassRound& r) { return r.id == round_id; });
  return {};
}

void MemoryPendingRounds::RecordFailure(const std::string& round_id, const Error& error,
                                        bool will_retry) {
  std::lock_guard lock(mutex_);
  last_failure_ = error;
  ++failures_;
  if (round_id.empty()) return;
  auto it = std::find_if(waiting_.begin(), waiting_.end(),
                         [&](const ClassRound& r) { return r.id == round_id; });
  if (it == waiting_.end()) return;
  ClassRound round = std::move(*it);
  waiting_.erase(it);
  if (will_retry) {
    waiting_.push_back(std::move(round));  // tried now: to the back
  } else {
    given_up_.emplace(round_id, std::move(round));
  }
}

Result<int> MemoryPendingRounds::WaitingCount() {
  std::lock_guard lock(mutex_);
  return static_cast<int>(waiting_.size());
}

void MemoryPendingRounds::OfferSetAsideAgain() {
  std::lock_guard lock(mutex_);
  for (auto& [id, round] : given_up_) waiting_.push_back(std::move(round));
  given_up_.clear();
}

Result<int> MemoryPendingRounds::SetAsideCount() {
  std::lock_guard lock(mutex_);
  return static_cast<int>(given_up_.size());
}

int MemoryPendingRounds::SentCount() const {
  std::lock_guard lock(mutex_);
  return static_cast<int>(sent_.size());
}

std::map<std::string, int> MemoryPendingRounds::SentTimes() const {
  std::lock_guard lock(mutex_);
  return sent_;
}

std::set<std::string> MemoryPendingRounds::GivenUp() const {
  std::lock_guard lock(mutex_);
  std::set<std::string> ids;
  for (const auto& [id, round] : given_up_) ids.insert(id);
  return ids;
}

std::optional<Error> MemoryPendingRounds::LastFailure() const {
  std::lock_guard lock(mutex_);
  return last_failure_;
}

int MemoryPendingRounds::FailureCount() const {
  std::lock_guard lock(mutex_);
  return failures_;
}

}  // namespace rekendo::classroom
