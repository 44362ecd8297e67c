// The questions a round draws from: the problem file's pairs, the trivia entries (multiple
// choice already converted) and the eleven judgement messages. Index 0 of the problem and
// trivia tables is unused, so an entry's index is its pair number in the file.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace rekendo {

inline constexpr int kMaxProblems = 1000;
inline constexpr int kMaxTrivia = 500;
inline constexpr int kJudgementCount = 11;

struct QuestionBank {
  std::array<std::string, kMaxProblems + 1> problem_text;
  std::array<std::string, kMaxProblems + 1> problem_answer;
  std::int32_t problem_count = 0;
  std::array<std::string, kMaxTrivia + 1> trivia_text;
  std::array<std::string, kMaxTrivia + 1> trivia_answer;
  // True where the entry listed choices and was turned into a numbered question.
  std::array<bool, kMaxTrivia + 1> trivia_has_choices{};
  std::int32_t trivia_count = 0;
  std::array<std::string, kJudgementCount> judgement_text;
};

}  // namespace rekendo
