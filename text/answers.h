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

namespace rekendo::text {

// True when `typed` equals one of the pieces of `answers`, byte for byte. Scans in place:
// a list of a million bytes costs no allocation.
bool IsAcceptedAnswer(std::string_view answers, std::string_view typed);

}  // namespace rekendo::text
