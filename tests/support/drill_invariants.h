// What must hold after every step of the drill, whatever files and presses led there. Shared by
// the round fuzzer and the soak test; each returns the first broken rule, or "" when all hold.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "drill.h"
#include "answers.h"
#include "fake_view.h"

namespace rekendo::testing {

inline std::string DrillInvariantViolation(const Drill& drill, const FakeView& view) {
  const auto broken = [](std::string_view rule, long long value) {
    return std::string(rule) + " (value " + std::to_string(value) + ")";
  };
  if (const auto stage = static_cast<int>(drill.Snapshot().stage); stage < 0 || stage > 2) {
    return broken("Stage outside 0..2", stage);
  }
  if (drill.Snapshot().score < 0 || drill.Snapshot().score > kQuestionsPerRound * kPointsPerQuestion ||
      drill.Snapshot().score % kPointsPerQuestion != 0) {
    return broken("Score outside 0..100 in steps of 10", drill.Snapshot().score);
  }
  if (drill.Snapshot().question_number < 0 || drill.Snapshot().question_number > kQuestionsPerRound + 1) {
    return broken("question number outside 0..11", drill.Snapshot().question_number);
  }
  if (drill.Bank().problem_count < 0 || drill.Bank().problem_count > kMaxProblems) {
    return broken("ProblemCount outside the table", drill.Bank().problem_count);
  }
  if (drill.Bank().trivia_count < 0 || drill.Bank().trivia_count > kMaxTrivia) {
    return broken("TriviaCount outside the table", drill.Bank().trivia_count);
  }
  const bool question_open =
      drill.Snapshot().stage == Stage::kRunning && drill.Snapshot().question_number >= 1 && drill.Snapshot().question_number <= kQuestionsPerRound;
  if (question_open && (drill.Snapshot().current_index < 1 || drill.Snapshot().current_index > kMaxProblems)) {
    return broken("CurrentIndex outside the tables while a question is open", drill.Snapshot().current_index);
  }
  if (drill.Snapshot().elapsed < 0 || drill.Snapshot().elapsed > drill.Snapshot().time_limit) {
    return broken("Elapsed outside 0..Snapshot().time_limit", drill.Snapshot().elapsed);
  }
  if (drill.Snapshot().bar_top < BarFrame::kTop || drill.Snapshot().bar_height < 0 ||
      drill.Snapshot().bar_top + drill.Snapshot().bar_height > BarFrame::kTop + BarFrame::kHeight) {
    return broken("bar outside its frame, top", drill.Snapshot().bar_top);
  }
  if (view.timer_enabled != drill.TimerEnabled()) return "the drill misreads its timer";
  // A running timer ticks: it must have a question to count down, or the bar leaves its frame.
  if (view.timer_enabled &&
      (drill.Snapshot().stage != Stage::kRunning || drill.Snapshot().closed || drill.Snapshot().elapsed >= drill.Snapshot().time_limit)) {
    return broken("timer running with nothing left to count down, Elapsed", drill.Snapshot().elapsed);
  }
  if (view.text(Label::ProblemPanel) != drill.PanelText()) return "panel differs from the drill's copy";
  return {};
}

// Right after a question was set: it came from inside the loaded part of one of the tables.
inline std::string FreshQuestionViolation(const Drill& drill) {
  const auto index = drill.Snapshot().current_index;
  const bool problem = index >= 1 && index <= drill.Bank().problem_count &&
                       drill.Snapshot().accepted_answer == drill.Bank().problem_answer[index] &&
                       drill.PanelText() == drill.Bank().problem_text[index];
  const bool trivia = index >= 1 && index <= drill.Bank().trivia_count &&
                      drill.Snapshot().accepted_answer == drill.Bank().trivia_answer[index] &&
                      drill.PanelText() == drill.Bank().trivia_text[index];
  if (!problem && !trivia) {
    return "question " + std::to_string(drill.Snapshot().question_number) + " is not a loaded entry (index " +
           std::to_string(index) + ")";
  }
  return {};
}

}  // namespace rekendo::testing
