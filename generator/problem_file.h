// The generator's library call: a problem file in the drill's format, ready to write.
// The command line and the drill's 問題を作る dialog both make their files through it.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "error.h"
#include "topic.h"

namespace rekendo::generator {

inline constexpr int kDefaultCount = 20;
inline constexpr int kMaxCount = 1000;  // the drill reads no more problems than this

struct ProblemFile {
  std::string cp932;  // pairs of lines, problem then answers joined by "$", CR LF
  int count = 0;
};

// `count` distinct problems of `topic` (its command-line name) at `level`, the same bytes
// for the same seed.
// A request that cannot be met is a kInvalidInput error whose message tells the teacher why.
Result<ProblemFile> GenerateProblemFile(std::string_view topic, int level, int count,
                                        std::uint64_t seed);

// The file's text in UTF-8, before the one conversion to CP932.
std::string ProblemFileText(const std::vector<Problem>& problems);

// What a chooser shows of a topic.
struct TopicSummary {
  std::string name;
  std::string japanese_name;
  std::string note;
  std::array<std::string, kLevelCount> examples;  // "問題 → 答え"
  std::array<std::uint64_t, kLevelCount> available;
};
std::vector<TopicSummary> TopicList();

}  // namespace rekendo::generator
