// Which drill outcomes are reviews for the scheduler, and with which grade.
//
//   right at the first try            Good (3)
//   right after wrong tries           Hard (2)
//   wrong when time ran out           Again (1)
//   left with Next Question           no review
//   still open when the round ended   no review
//   trivia (plain or multiple choice) never scheduled
#pragma once

#include <cstdint>
#include <optional>

#include "fsrs.h"

namespace rekendo {
// engine/drill_observer.h; declared here so that this header needs nothing of the engine.
enum class QuestionKind;
enum class QuestionOutcome;
}  // namespace rekendo

namespace rekendo::schedule {

// How a question closed, as far as the schedule cares.
enum class Answer {
  kRightFirstTry,
  kRightAfterWrongTries,
  kWrongAtTimeUp,
  kLeft,       // Next Question while still open
  kOpenAtEnd,  // the round ended another way while it was open
};

// The grade of the review, or nothing when the question is no review.
std::optional<Grade> GradeFor(Answer answer);

// The drill's report of a closed question (ClosedQuestion.outcome and .wrong_tries).
Answer AnswerOf(QuestionOutcome outcome, std::int32_t wrong_tries);

// GradeFor(AnswerOf(...)) for a problem; nothing for trivia.
std::optional<Grade> GradeForQuestion(QuestionKind kind, QuestionOutcome outcome,
                                      std::int32_t wrong_tries);

// Whether the question counts for mastery, and as right or not: right before the time-out is
// right; wrong at the time-out and left with Next Question are not; a question still open
// when the round ended does not count.
std::optional<bool> CountsAsRight(Answer answer);

}  // namespace rekendo::schedule
