// Made-up rounds for the class tests and benchmarks: the same learner and number give the
// same round (and the same UUID), so a program started again sends the same rounds.
#pragma once

#include <string>

#include "class_round.h"

namespace rekendo::classroom::testing {

// Round `index` of `learner` with `questions` questions; `learner` empty leaves the round's
// learner to the connection.
ClassRound SampleRound(const std::string& learner, int index, int questions = 10,
                       bool name_learner = false);

// A UUID made from a name (version 5), in text form.
std::string NameUuid(const std::string& name);

}  // namespace rekendo::classroom::testing
