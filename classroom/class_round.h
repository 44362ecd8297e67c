// A closed round as the class database receives it: plain values, filled from the local
// record. Texts are UTF-8 (the record converts the drill's Shift-JIS), times are
// milliseconds since 1970-01-01 UTC. The id is made once by the learner's program, when the
// round is queued, and never changes: it is what makes an upload safe to repeat.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace rekendo::classroom {

struct ClassQuestion {
  int number = 0;        // 1 … 10
  std::string kind;      // "problem", "trivia" or "choice" (record_rows.h's KindCode)
  int bank_index = 0;    // the pair's index in its file
  std::string text;      // UTF-8
  std::string accepted;  // UTF-8, "$"-separated
  std::string typed;     // UTF-8
  std::string outcome;   // "right", "wrong", "left" or "open" (OutcomeCode)
  int wrong_tries = 0;
  int seconds_used = 0;
};

struct ClassRound {
  std::string id;  // a UUID in text form, e.g. "0b6c…-…"; made by the client
  // The learner's database role. Empty: whoever the connection logs in as. When set, it must
  // be that role: the database refuses a round in anyone else's name.
  std::string learner;
  std::string set_hash;   // SHA-256 of the problem file, 64 lower-case hex digits
  std::string file_name;  // UTF-8, what the learner saw
  int pair_count = 0;
  std::int64_t started_at_ms = 0;
  std::optional<std::int64_t> ended_at_ms;
  std::optional<int> score;
  std::optional<int> judgement_index;
  std::string ending;  // "finished" or "unfinished"
  int time_limit_seconds = 40;
  std::vector<ClassQuestion> questions;
};

}  // namespace rekendo::classroom
