#include "grade.h"

#include "drill_observer.h"

namespace rekendo::schedule {

std::optional<Grade> GradeFor(Answer answer) {
  switch (answer) {
    case Answer::kRightFirstTry: return Grade::kGood;
    case Answer::kRightAfterWrongTries: return Grade::kHard;
    case Answer::kWrongAtTimeUp: return Grade::kAgain;
    case Answer::kLeft:
    case Answer::kOpenAtEnd: return std::nullopt;
  }
  return std::nullopt;
}

Answer AnswerOf(QuestionOutcome outcome, std::int32_t wrong_tries) {
  switch (outcome) {
    case QuestionOutcome::kRight:
      return wrong_tries > 0 ? Answer::kRightAfterWrongTries : Answer::kRightFirstTry;
    case QuestionOutcome::kWrongAtTimeUp: return Answer::kWrongAtTimeUp;
    case QuestionOutcome::kLeft: return Answer::kLeft;
    case QuestionOutcome::kOpenAtEnd: return Answer::kOpenAtEnd;
  }
  return Answer::kOpenAtEnd;
}

std::optional<Grade> GradeForQuestion(QuestionKind kind, QuestionOutcome outcome,
                                      std::int32_t wrong_tries) {
  if (kind != QuestionKind::kProblem) return std::nullopt;
  return GradeFor(AnswerOf(outcome, wrong_tries));
}

std::optional<bool> CountsAsRight(Answer answer) {
  switch (answer) {
    case Answer::kRightFirstTry:
    case Answer::kRightAfterWrongTries: return true;
    case Answer::kWrongAtTimeUp:
    case Answer::kLeft: return false;
    case Answer::kOpenAtEnd: return std::nullopt;
  }
  return std::nullopt;
}

}  // namespace rekendo::schedule
