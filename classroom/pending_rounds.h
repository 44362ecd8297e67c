// Where the upload worker takes its rounds from: the local queue of closed rounds not yet on
// the class server (the record's SQLite file in the program; memory in tests). Every call
// comes from the upload thread, so an implementation over SQLite opens its own connection
// there. A round stays in the queue until MarkSent: the upload before it may have reached
// the server or not, and sending it again is harmless (ClassDatabase::Upload is idempotent).
#pragma once

#include <string>
#include <vector>

#include "class_round.h"
#include "error.h"

namespace rekendo::classroom {

class PendingRounds {
 public:
  virtual ~PendingRounds() = default;

  // Up to `limit` rounds still to send, complete with their questions: those tried least
  // recently first (never tried: oldest first), so that a round the server keeps refusing
  // does not hold back the others. Rounds given up on (RecordFailure with will_retry false)
  // are not returned again.
  virtual Result<std::vector<ClassRound>> NextBatch(int limit) = 0;

  // The server has the round (stored now, or found there from an earlier try).
  virtual Status MarkSent(const std::string& round_id) = 0;

  // The latest failure, for the 成績 window: of one round (`round_id`), or of the connection
  // before any round was tried (`round_id` empty). `will_retry` false: the server will never
  // take this round (it refused its values, or its id is another learner's); keep it, for
  // people to look at, but leave it out of NextBatch.
  virtual void RecordFailure(const std::string& round_id, const Error& error, bool will_retry) = 0;

  // How many rounds wait to be sent (given-up ones not counted).
  virtual Result<int> WaitingCount() = 0;

  // Puts every given-up round back among those to send, with its reason kept until the next
  // try: the worker calls it at each start, so that nothing is given up for good (a round
  // the server still refuses is simply set aside again).
  virtual void OfferSetAsideAgain() = 0;

  // How many rounds are set aside (RecordFailure with will_retry false) until the next start.
  virtual Result<int> SetAsideCount() = 0;
};

}  // namespace rekendo::classroom
