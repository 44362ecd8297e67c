// Turns a trivia entry whose answer lists choices ("right$wrong$...") into a numbered
// multiple-choice question whose answer is the full-width digit of the right line.
#pragma once

#include <string>

#include "random_source.h"

namespace rekendo {

inline constexpr int kMaxChoices = 10;
// Draws taken from the random source by one conversion, whatever the number of choices.
inline constexpr int kShuffleDraws = 22;

// `question` gains one "\r\n<digit>：<choice>" line per choice, in shuffled order; `answer`
// (which holds at least one "$") becomes the digit of the right choice. Choices past the
// tenth are dropped: the right one is always first, so it is always kept.
void MakeMultipleChoice(std::string& question, std::string& answer, RandomSource& random);

}  // namespace rekendo
