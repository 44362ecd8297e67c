#include "problem_file.h"

#include "selection.h"
#include "cp932.h"
#include "topics.h"

namespace rekendo::generator {

namespace {

// The example of a level stays the same from run to run.
constexpr std::uint64_t kExampleSeed = 1;

std::string LevelName(const Topic& topic, int level) {
  return "「" + std::string(topic.japanese_name) + "」レベル " + std::to_string(level);
}

}  // namespace

std::string ProblemFileText(const std::vector<Problem>& problems) {
  std::string text;
  for (const Problem& problem : problems) {
    text += problem.text;
    text += "\r\n";
    for (std::size_t i = 0; i < problem.answers.size(); ++i) {
      if (i > 0) text += '$';
      text += problem.answers[i];
    }
    text += "\r\n";
  }
  return text;
}

namespace {

Error Refused(std::string message) { return {ErrorCode::kInvalidInput, std::move(message), {}, {}}; }

}  // namespace

Result<ProblemFile> GenerateProblemFile(std::string_view topic_name, int level, int count,
                                        std::uint64_t seed) {
  const Topic* topic = FindTopic(topic_name);
  if (topic == nullptr) {
    return Refused("「" + std::string(topic_name) + "」という単元はありません（一覧は rekendo-gen --list）");
  }
  if (level < 1 || level > kLevelCount) {
    return Refused("レベルは 1、2、3 のどれかです");
  }
  if (count < 1 || count > kMaxCount) {
    return Refused("問題数は 1 から " + std::to_string(kMaxCount) + " までです");
  }
  const std::uint64_t available = Available(*topic, level);
  if (static_cast<std::uint64_t>(count) > available) {
    return Refused(LevelName(*topic, level) + " の問題は " + std::to_string(available) +
                   " 問しかありません（" + std::to_string(count) + " 問は作れません）");
  }
  const std::string utf8 = ProblemFileText(DrawProblems(*topic, level, count, seed));
  text::Cp932Text converted = text::Utf8ToCp932(utf8);
  if (!converted.unmappable.empty()) {
    return Refused("Shift-JIS にない文字が問題に入りました（" + LevelName(*topic, level) + "）");
  }
  return ProblemFile{std::move(converted.bytes), count};
}

std::vector<TopicSummary> TopicList() {
  std::vector<TopicSummary> list;
  for (const Topic* topic : Topics()) {
    TopicSummary summary{std::string(topic->name), std::string(topic->japanese_name),
                         std::string(topic->note), {}, {}};
    for (int level = 1; level <= kLevelCount; ++level) {
      const Problem example = DrawProblems(*topic, level, 1, kExampleSeed).front();
      const auto i = static_cast<std::size_t>(level - 1);
      summary.examples[i] = example.text + " → " + example.answers.front();
      summary.available[i] = Available(*topic, level);
    }
    list.push_back(std::move(summary));
  }
  return list;
}

}  // namespace rekendo::generator
