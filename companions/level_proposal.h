// Which topic and level 問題を作る proposes: the next level of a topic the learner has
// mastered at the level below, and why, in words.
#pragma once

#include <QString>
#include <optional>
#include <vector>

#include "generated_sets.h"
#include "problem_file.h"

namespace rekendo {

struct LevelProposal {
  int topic_index = 0;  // into `topics`
  int level = 1;
  QString reason;
};

// The first topic (in the generator's order) whose level L is 習得 and level L + 1 is not;
// nothing when there is none.
std::optional<LevelProposal> ProposeNextLevel(
    const std::vector<record::TopicMastery>& mastery,
    const std::vector<generator::TopicSummary>& topics, schedule::MasteryRule rule = {});

}  // namespace rekendo
