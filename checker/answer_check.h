// Checks on one answer line of a pair file.
#pragma once

#include <string_view>

#include "finding.h"

namespace rekendo::checker {

// Answers the learner types: every "$"-separated piece is accepted, so each must be made
// of keypad characters and none may be empty.
void CheckTypedAnswers(std::string_view answer, int line, FindingList& out);

// A trivia answer with "$": choices the drill shows numbered, the first one right. They are
// read, not typed, so any character will do; blank choices and more than ten are reported.
void CheckChoices(std::string_view answer, int line, FindingList& out);

}  // namespace rekendo::checker
