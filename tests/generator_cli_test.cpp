// rekendo-gen run end to end: the list, a written file, and exit status 2 for every error.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <variant>
#include <vector>

#include "problem_file.h"
#include "temp_files.h"

namespace rekendo {
namespace {

struct GenRun {
  int status;
  std::string out;
};

GenRun Gen(const std::string& arguments, bool with_stderr = false) {
  const std::string command =
      std::string("'") + REKENDO_GEN_PATH + "' " + arguments + (with_stderr ? " 2>&1" : " 2>/dev/null");
  FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) return {-1, {}};
  std::string out;
  char buffer[4096];
  for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, got);
  const int status = ::pclose(pipe);
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, out};
}

std::string Read(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream all;
  all << in.rdbuf();
  return all.str();
}

TEST(GeneratorCliTest, ListStartsEachLineWithATopicName) {
  const GenRun run = Gen("--list");
  EXPECT_EQ(run.status, 0);
  std::istringstream lines(run.out);
  std::string line;
  for (const auto& topic : generator::TopicList()) {
    ASSERT_TRUE(std::getline(lines, line));
    EXPECT_TRUE(line.starts_with(topic.name + "\t" + topic.japanese_name + "\t")) << line;
  }
  EXPECT_FALSE(std::getline(lines, line));
}

TEST(GeneratorCliTest, WritesTheLibrarysBytesToAFileOrStandardOutput) {
  testing::TempDir dir;
  const std::string path = dir.Path("因数分解.mon");
  dir.Write("因数分解.mon", "old");
  const auto expected = generator::GenerateProblemFile("factor", 3, 40, 5)->cp932;
  EXPECT_EQ(Gen("factor --level 3 --count 40 --seed 5 -o '" + path + "'").status, 0);
  EXPECT_EQ(Read(path), expected);
  const GenRun piped = Gen("factor --level 3 --count 40 --seed 5");
  EXPECT_EQ(piped.status, 0);
  EXPECT_EQ(piped.out, expected);
}

TEST(GeneratorCliTest, EveryErrorExitsTwoWithAMessage) {
  testing::TempDir dir;
  for (const std::string& arguments : std::vector<std::string>{"", "nosuch", "add --level 0", "add --count 1001", "add --count x", "add --seed -1",
        "add --bogus", "add sub", "mul --count 65", "add -o", "add -o '" + dir.Path("no/such/dir") + "'"}) {
    const GenRun run = Gen(arguments, true);
    EXPECT_EQ(run.status, 2) << arguments;
    EXPECT_TRUE(run.out.starts_with("rekendo-gen: ")) << arguments << ": " << run.out;
  }
  EXPECT_NE(Gen("mul --count 65", true).out.find("64"), std::string::npos);
}

}  // namespace
}  // namespace rekendo

#ifdef REKENDO_WITH_SHEET
namespace rekendo {
namespace {

TEST(GeneratorCliTest, SheetRunsRekendoSheetOnTheSameProblems) {
  testing::TempDir dir;
  const std::string pdf = dir.Path("かけ算.pdf");
  const std::string set = dir.Path("かけ算.mon");
  EXPECT_EQ(Gen("mul --level 2 --count 12 --seed 4 -o '" + set + "' --sheet '" + pdf + "'").status, 0);
  EXPECT_EQ(Read(set), generator::GenerateProblemFile("mul", 2, 12, 4)->cp932);
  EXPECT_TRUE(Read(pdf).starts_with("%PDF-"));
  // rekendo-sheet's own refusal (the PDF exists) is rekendo-gen's exit status.
  const GenRun again = Gen("mul --level 2 --count 12 --seed 4 --sheet '" + pdf + "'", true);
  EXPECT_EQ(again.status, 2);
  EXPECT_NE(again.out.find("rekendo-sheet: "), std::string::npos) << again.out;
}

}  // namespace
}  // namespace rekendo
#endif
