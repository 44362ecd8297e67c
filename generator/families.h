// The topics each family file defines; topics.cpp lists them in the order shown to teachers.
// They are constant-initialised, so static initialisers elsewhere (benchmarks) may read them.
#pragma once

#include <string>

#include "full_width.h"
#include "topic.h"

namespace rekendo::generator {

extern const Topic kAddition;
extern const Topic kSubtraction;
extern const Topic kMultiplication;
extern const Topic kDivision;
extern const Topic kMixedOperations;
extern const Topic kSignedNumbers;
extern const Topic kDecimals;
extern const Topic kFractions;
extern const Topic kPowersAndRoots;
extern const Topic kLikeTerms;
extern const Topic kLinearEquations;
extern const Topic kExpansion;
extern const Topic kFactoring;

// "３８＋４７＝" asking for a whole number.
inline void AskValue(Problem& out, std::string expression, std::int64_t value) {
  out.text = std::move(expression);
  out.text += kEquals;
  out.answers = {Num(value)};
}

}  // namespace rekendo::generator
