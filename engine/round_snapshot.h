// Everything the round holds, as one read-only copy: what tests, tools and the record look
// at. Texts are Shift-JIS.
#pragma once

#include <cstdint>
#include <string>

namespace rekendo {

// What the start, next and 決定 buttons and the keypad may do. The order matters: each
// stage allows what the ones before it allow.
enum class Stage : std::int32_t {
  kNoFile = 0,   // no problem file chosen yet
  kReady = 1,    // a file chosen, or a round over
  kRunning = 2,  // a round under way
};

struct RoundSnapshot {
  Stage stage = Stage::kNoFile;
  std::int32_t question_number = 0;  // 1 to 10; 11 once the round has ended
  std::int32_t current_index = 0;    // the asked entry's index in its table
  std::int32_t elapsed = 0;          // seconds of the countdown gone
  std::int32_t time_limit = 0;       // the question's limit (40 unless set); 0 for none
  std::int32_t score = 0;
  bool closed = false;               // the question is answered or timed out
  bool scored = false;               // its points are given
  bool trivia_asked = false;         // this round's one trivia question has come
  std::string typed_answer;
  std::string accepted_answer;       // "$"-separated; joined by " または " once revealed
  std::int32_t bar_top = 0;
  std::int32_t bar_height = 0;
  std::uint32_t random_state = 0;
  std::string panel_text;
  bool timer_enabled = false;
};

}  // namespace rekendo
