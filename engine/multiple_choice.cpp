#include "multiple_choice.h"

#include <array>
#include <string_view>
#include <utility>

#include "answers.h"
#include "sjis_texts.h"

namespace rekendo {

void MakeMultipleChoice(std::string& question, std::string& answer, RandomSource& random) {
  std::array<std::string, kMaxChoices> choices;
  int choice_count = 0;
  std::string_view rest = answer;
  for (;;) {
    const auto separator = rest.find(text::kAnswerSeparator);
    choices[choice_count++] = rest.substr(0, separator);
    if (separator == std::string_view::npos || choice_count == kMaxChoices) break;
    rest.remove_prefix(separator + 1);
  }

  int correct_slot = 0;
  const auto count = static_cast<std::uint32_t>(choice_count);
  for (int exchange = 0; exchange < kShuffleDraws / 2; ++exchange) {
    const auto i = static_cast<int>(random.RandomBelow(count));
    const auto j = static_cast<int>(random.RandomBelow(count));
    std::swap(choices[i], choices[j]);
    if (i == correct_slot) {
      correct_slot = j;
    } else if (j == correct_slot) {
      correct_slot = i;
    }
  }

  for (int k = 0; k < choice_count; ++k) {
    question += sjis::kLineBreak;
    question += sjis::kDigits[k];
    question += sjis::kFullWidthColon;
    question += choices[k];
  }
  answer = sjis::kDigits[correct_slot];
}

}  // namespace rekendo
