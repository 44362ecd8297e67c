#include "answers.h"

namespace rekendo::text {

std::vector<std::string_view> SplitAnswers(std::string_view answers) {
  std::vector<std::string_view> pieces;
  for (;;) {
    const auto separator = answers.find(kAnswerSeparator);
    pieces.push_back(answers.substr(0, separator));
    if (separator == std::string_view::npos) return pieces;
    answers.remove_prefix(separator + 1);
  }
}

}  // namespace rekendo::text

namespace rekendo::text {

bool IsAcceptedAnswer(std::string_view answers, std::string_view typed) {
  for (;;) {
    const auto separator = answers.find(kAnswerSeparator);
    if (answers.substr(0, separator) == typed) return true;
    if (separator == std::string_view::npos) return false;
    answers.remove_prefix(separator + 1);
  }
}

}  // namespace rekendo::text
