#include "level_proposal.h"

namespace rekendo {

namespace {

bool Mastered(const std::vector<record::TopicMastery>& mastery, const std::string& topic,
              int level) {
  for (const record::TopicMastery& row : mastery) {
    if (row.topic.toStdString() == topic && row.level == level) {
      return row.mastery == schedule::Mastery::kMastered;
    }
  }
  return false;
}

}  // namespace

std::optional<LevelProposal> ProposeNextLevel(
    const std::vector<record::TopicMastery>& mastery,
    const std::vector<generator::TopicSummary>& topics, schedule::MasteryRule rule) {
  for (int index = 0; index < static_cast<int>(topics.size()); ++index) {
    const generator::TopicSummary& topic = topics[static_cast<std::size_t>(index)];
    // The highest mastered level decides: レベル 1 and 2 mastered proposes 3.
    for (int level = generator::kLevelCount - 1; level >= 1; --level) {
      if (!Mastered(mastery, topic.name, level)) continue;
      if (Mastered(mastery, topic.name, level + 1)) break;
      return LevelProposal{
          index, level + 1,
          QStringLiteral("「%1」のレベル %2 を習得しました（直近 %3 問中 %4 問以上正解）。"
                         "レベル %5 に進みましょう。")
              .arg(QString::fromStdString(topic.japanese_name))
              .arg(level)
              .arg(rule.last_questions)
              .arg(rule.right_needed)
              .arg(level + 1)};
    }
  }
  return std::nullopt;
}

}  // namespace rekendo
