// Drawing distinct problems: each problem is an index into its level's forms, so a set
// never repeats one while the level has enough, and the number available is exact.
#pragma once

#include <cstdint>
#include <vector>

#include "topic.h"

namespace rekendo::generator {

// How many distinct problems the level (1 … 3) of `topic` has.
std::uint64_t Available(const Topic& topic, int level);

// `count` distinct problems of the level, drawn by `seed`; count must not exceed
// Available(). Forms with many problems are drawn as often as each other, so a small form
// is not crowded out and a large one does not crowd out the rest.
std::vector<Problem> DrawProblems(const Topic& topic, int level, int count, std::uint64_t seed);

}  // namespace rekendo::generator
