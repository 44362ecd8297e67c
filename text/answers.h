// Accepted answers: one line holds every answer the drill accepts, separated by "$". Each
// piece, an empty one included, is an answer of its own.
#pragma once

#include <string_view>
#include <vector>

namespace rekendo::text {

inline constexpr char kAnswerSeparator = '$';

// The pieces of `answers` in order; "" gives one empty piece, "a$" gives "a" and "".
std::vector<std::string_view> SplitAnswers(std::string_view answers);

// True when the line lists more than one piece (a trivia answer with choices).
inline bool HasSeveralAnswers(std::string_view answers) {
  return answers.find(kAnswerSeparator) != std::string_view::npos;
}

}  // namespace rekendo::text
