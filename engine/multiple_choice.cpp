#include "multiple_choice.h"

#include <array>
#include <string_view>
#include <utility>

#include "sjis_texts.h"

namespace rekendo {

void sentakumondai(std::string& question, std::string& answer, RandomSource& random) {
  std::array<std::string, kMaxChoices> choices;
  int choice_count = 0;
  std::string_view rest = answer;
  for (;;) {
    const auto dollar = rest.find('$');
    if (dollar == std::string_view::npos) {
      choices[choice_count++] = rest;
      break;
    }
    choices[choice_count++] = rest.substr(0, dollar);
    rest.remove_prefix(dollar + 1);
    if (choice_count == kMaxChoices) break;
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
