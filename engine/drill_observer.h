// What a round reports as it goes, for anything that keeps a record of it. The drill calls
// these after its own work for the step is done; an observer only listens and never changes
// the round. Texts are Shift-JIS bytes as the bank holds them, lent for the call only: an
// observer that keeps one copies it (the drill copies nothing for an observer that doesn't).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace rekendo {

enum class QuestionKind { kProblem, kTrivia, kMultipleChoice };

enum class QuestionOutcome {
  kRight,         // the typed answer matched
  kWrongAtTimeUp, // time ran out on a wrong (or empty) answer
  kLeft,          // Next Question pressed while the question was still open
  kOpenAtEnd,     // the round ended some other way while the question was open
};

enum class RoundEnd {
  kFinished,      // the tenth question done and the judgement shown
  kAbandoned,     // another file chosen or a new round started before the end
};

struct AskedQuestion {
  std::int32_t number = 0;      // 1 to 10 within the round
  QuestionKind kind = QuestionKind::kProblem;
  std::int32_t bank_index = 0;  // 1-based index in the problem or trivia table
  std::string_view text;        // as shown (a multiple-choice question with its choices)
  std::string_view accepted;    // the accepted answers, "$"-separated
};

struct LoadedFile {
  std::string_view path;          // as chosen; empty for bytes handed over in memory
  std::int32_t problem_count = 0;  // pairs loaded
  // SHA-256 (lower-case hex) of the bytes the drill read: the set's identity, whatever the
  // file is called or wherever it lies.
  std::string_view content_sha256;
};

struct ClosedQuestion {
  std::int32_t number = 0;
  QuestionOutcome outcome = QuestionOutcome::kOpenAtEnd;
  std::string_view typed;        // what was on the answer line when it closed
  std::int32_t wrong_tries = 0;  // wrong submissions before it closed
  std::int32_t seconds_used = 0;
};

// How a round is played, fixed when it starts.
struct RoundSettings {
  std::int32_t time_limit_seconds = 0;  // per question; 0 = no limit
};

class DrillObserver {
 public:
  virtual ~DrillObserver() = default;
  // A problem file was read.
  virtual void ProblemFileLoaded(const LoadedFile& /*file*/) {}
  virtual void RoundStarted(const RoundSettings& /*settings*/) {}
  virtual void QuestionAsked(const AskedQuestion& /*question*/) {}
  virtual void AnswerChecked(std::string_view /*typed*/, bool /*right*/) {}
  virtual void QuestionClosed(const ClosedQuestion& /*question*/) {}
  virtual void RoundEnded(RoundEnd /*how*/, std::int32_t /*score*/,
                          std::int32_t /*judgement_index*/) {}
};

}  // namespace rekendo
