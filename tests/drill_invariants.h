// What must hold after every step of the drill, whatever files and presses led there. Shared by
// the round fuzzer and the soak test; each returns the first broken rule, or "" when all hold.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "drill.h"
#include "fake_view.h"

namespace rekendo::testing {

// Splits an accepted answer at its "$" signs: every piece is a right answer.
inline std::vector<std::string_view> AcceptedPieces(std::string_view answer) {
  std::vector<std::string_view> pieces;
  for (auto dollar = answer.find('$'); dollar != std::string_view::npos;
       dollar = answer.find('$')) {
    pieces.push_back(answer.substr(0, dollar));
    answer.remove_prefix(dollar + 1);
  }
  pieces.push_back(answer);
  return pieces;
}

inline std::string DrillInvariantViolation(const Drill& drill, const FakeView& view) {
  const auto broken = [](std::string_view rule, long long value) {
    return std::string(rule) + " (value " + std::to_string(value) + ")";
  };
  if (drill.Stage < 0 || drill.Stage > 2) return broken("Stage outside 0..2", drill.Stage);
  if (drill.Score < 0 || drill.Score > kQuestionsPerRound * kPointsPerQuestion ||
      drill.Score % kPointsPerQuestion != 0) {
    return broken("Score outside 0..100 in steps of 10", drill.Score);
  }
  if (drill.QuestionNo < 0 || drill.QuestionNo > kQuestionsPerRound + 1) {
    return broken("QuestionNo outside 0..11", drill.QuestionNo);
  }
  if (drill.ProblemCount < 0 || drill.ProblemCount > kMaxProblems) {
    return broken("ProblemCount outside the table", drill.ProblemCount);
  }
  if (drill.TriviaCount < 0 || drill.TriviaCount > kMaxTrivia) {
    return broken("TriviaCount outside the table", drill.TriviaCount);
  }
  const bool question_open =
      drill.Stage == 2 && drill.QuestionNo >= 1 && drill.QuestionNo <= kQuestionsPerRound;
  if (question_open && (drill.CurrentIndex < 1 || drill.CurrentIndex > kMaxProblems)) {
    return broken("CurrentIndex outside the tables while a question is open", drill.CurrentIndex);
  }
  if (drill.Elapsed < 0 || drill.Elapsed > drill.TimeLimit) {
    return broken("Elapsed outside 0..TimeLimit", drill.Elapsed);
  }
  if (drill.BarTop < BarFrame::kTop || drill.BarHeight < 0 ||
      drill.BarTop + drill.BarHeight > BarFrame::kTop + BarFrame::kHeight) {
    return broken("bar outside its frame, top", drill.BarTop);
  }
  if (view.timer_enabled != drill.TimerEnabled()) return "the drill misreads its timer";
  // A running timer ticks: it must have a question to count down, or the bar leaves its frame.
  if (view.timer_enabled &&
      (drill.Stage != 2 || drill.Closed || drill.Elapsed >= drill.TimeLimit)) {
    return broken("timer running with nothing left to count down, Elapsed", drill.Elapsed);
  }
  if (view.text(Label::Mondai) != drill.PanelText()) return "panel differs from the drill's copy";
  return {};
}

// Right after a question was set: it came from inside the loaded part of one of the tables.
inline std::string FreshQuestionViolation(const Drill& drill) {
  const auto index = drill.CurrentIndex;
  const bool problem = index >= 1 && index <= drill.ProblemCount &&
                       drill.CorrectAnswer == drill.ProblemAnswer[index] &&
                       drill.PanelText() == drill.ProblemText[index];
  const bool trivia = index >= 1 && index <= drill.TriviaCount &&
                      drill.CorrectAnswer == drill.TriviaAnswer[index] &&
                      drill.PanelText() == drill.TriviaText[index];
  if (!problem && !trivia) {
    return "question " + std::to_string(drill.QuestionNo) + " is not a loaded entry (index " +
           std::to_string(index) + ")";
  }
  return {};
}

}  // namespace rekendo::testing
