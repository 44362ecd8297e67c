// The shipped sample files, read with the drill's own loaders, so that they never rot: every
// answer typable on the keypad, whole pairs, no empty answers, within the tables.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "answers.h"
#include "drill.h"
#include "fake_view.h"
#include "keypad_table.h"
#include "line_reader.h"

namespace rekendo {
namespace {

namespace fs = std::filesystem;
const fs::path kDataDir = REKENDO_DATA_DIR;

// Every line of a file as the drill reads it, and whether the file is whole CR LF lines.
struct Lines {
  std::vector<std::string> lines;
  bool ends_with_terminator = false;
};

Lines ReadLines(const fs::path& path) {
  Lines out;
  LineReader file(path.string());
  while (!file.AtEnd()) out.lines.push_back(file.ReadLine());
  file.Close();
  std::string raw(static_cast<std::size_t>(fs::file_size(path)), '\0');
  FILE* f = std::fopen(path.c_str(), "rb");
  const auto read = std::fread(raw.data(), 1, raw.size(), f);
  std::fclose(f);
  raw.resize(read);
  out.ends_with_terminator = raw.size() >= 2 && raw.compare(raw.size() - 2, 2, "\r\n") == 0;
  return out;
}

// Why `answer` can never be typed, or empty when it can.
std::string Untypable(std::string_view answer) {
  if (answer.empty()) return "empty answer";
  if (answer.size() % 2 != 0) return "odd byte count";
  for (std::size_t i = 0; i < answer.size(); i += 2) {
    if (FindKeyTyping(answer.substr(i, 2)) == nullptr)
      return "no key types byte pair " + std::to_string(i);
  }
  return {};
}

std::vector<fs::path> ProblemFiles() {
  std::vector<fs::path> files;
  for (const auto& entry : fs::directory_iterator(kDataDir)) {
    if (entry.path().extension() == ".mon") files.push_back(entry.path());
  }
  return files;
}

TEST(SampleData, ProblemSetsAreWholePairsOfTypableAnswers) {
  const auto files = ProblemFiles();
  ASSERT_GE(files.size(), 4u);
  for (const fs::path& path : files) {
    SCOPED_TRACE(path.filename().string());
    const Lines file = ReadLines(path);
    EXPECT_TRUE(file.ends_with_terminator);
    ASSERT_EQ(file.lines.size() % 2, 0u);
    EXPECT_GE(file.lines.size() / 2, 50u);
    EXPECT_LE(file.lines.size() / 2, static_cast<std::size_t>(kMaxProblems));
    for (std::size_t i = 1; i < file.lines.size(); i += 2) {
      EXPECT_FALSE(file.lines[i - 1].empty()) << "line " << i;
      for (const std::string_view piece : text::SplitAnswers(file.lines[i])) {
        EXPECT_EQ(Untypable(piece), "") << "line " << i + 1;
      }
    }

    // And the drill loads exactly those pairs.
    testing::FakeView view;
    Drill drill(view);
    drill.ChooseProblemFile([&] { return std::optional<std::string>(path.string()); });
    EXPECT_EQ(drill.Bank().problem_count, static_cast<int>(file.lines.size() / 2));
  }
}

TEST(SampleData, TriviaAnswersAreTypableOrChoiceLists) {
  const fs::path path = kDataDir / kTriviaFileName;
  const Lines file = ReadLines(path);
  EXPECT_TRUE(file.ends_with_terminator);
  ASSERT_EQ(file.lines.size() % 2, 0u);
  const std::size_t pairs = file.lines.size() / 2;
  EXPECT_GE(pairs, 30u);
  EXPECT_LE(pairs, static_cast<std::size_t>(kMaxTrivia));
  std::size_t choice_questions = 0;
  for (std::size_t i = 1; i < file.lines.size(); i += 2) {
    const auto pieces = text::SplitAnswers(file.lines[i]);
    if (pieces.size() == 1) {
      EXPECT_EQ(Untypable(pieces[0]), "") << "line " << i + 1;
      continue;
    }
    ++choice_questions;
    EXPECT_LE(pieces.size(), 10u) << "line " << i + 1;
    for (const std::string_view choice : pieces) EXPECT_FALSE(choice.empty()) << "line " << i + 1;
  }
  EXPECT_GE(choice_questions * 4, pairs);  // about a third are multiple choice

  testing::FakeView view;
  Drill drill(view);
  drill.LoadDataFiles((kDataDir / kJudgementFileName).string(), path.string());
  EXPECT_EQ(drill.Bank().trivia_count, static_cast<int>(pairs));
}

TEST(SampleData, JudgementFileHasElevenMessages) {
  const Lines file = ReadLines(kDataDir / kJudgementFileName);
  EXPECT_TRUE(file.ends_with_terminator);
  ASSERT_EQ(file.lines.size(), 11u);
  for (const std::string& message : file.lines) EXPECT_FALSE(message.empty());
}

}  // namespace
}  // namespace rekendo
