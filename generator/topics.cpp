#include "topics.h"

#include <array>

#include "families.h"

namespace rekendo::generator {

namespace {

constexpr std::array<const Topic*, 13> kTopics = {
    &kAddition,      &kSubtraction,  &kMultiplication,  &kDivision,     &kMixedOperations,
    &kSignedNumbers, &kDecimals,     &kFractions,       &kPowersAndRoots, &kLikeTerms,
    &kLinearEquations, &kExpansion,  &kFactoring,
};

}  // namespace

std::span<const Topic* const> Topics() { return kTopics; }

const Topic* FindTopic(std::string_view name) {
  for (const Topic* topic : kTopics) {
    if (topic->name == name) return topic;
  }
  return nullptr;
}

}  // namespace rekendo::generator
