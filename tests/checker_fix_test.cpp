// --fix: the corrected copy, what it changes and keeps, and that the drill loads it.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "checker_support.h"
#include "drill.h"
#include "fake_view.h"
#include "fixer.h"
#include "sjis.h"
#include "temp_files.h"

namespace rekendo {
namespace {

using checker::FileKind;
using checker::FindingCode;
using checker::FixResult;
using testing::Dump;
using testing::ReadAll;
using testing::Sjis;
using testing::TempDir;

class FixTest : public ::testing::Test {
 protected:
  // Fixes `bytes` written as `name` into "out-" + name and returns what Fix said.
  FixResult FixInto(const std::string& name, const std::string& bytes, FileKind kind) {
    const std::string path = dir.Write(name, bytes);
    auto result = checker::FixFile(path, dir.Path("out-" + name), kind, false);
    EXPECT_TRUE(std::holds_alternative<FixResult>(result));
    EXPECT_EQ(ReadAll(path), bytes) << "the original must stay as it was";
    if (!std::holds_alternative<FixResult>(result)) return {};
    // The file holds the corrected bytes; FixResult carries them only for FixBytes.
    FixResult fixed = std::get<FixResult>(result);
    fixed.bytes = ReadAll(dir.Path("out-" + name));
    return fixed;
  }
  checker::Report Recheck(const std::string& name, FileKind kind) {
    auto result = checker::CheckFile(dir.Path("out-" + name), kind);
    return std::get<checker::Report>(result);
  }

  TempDir dir;
  testing::FakeView view;
  Drill drill{view, [] { return 0u; }};
};

TEST_F(FixTest, ProblemAnswersAreWidenedAndTheDrillLoadsThemClean) {
  const FixResult result =
      FixInto("p.mon", Sjis("x+1=12 のとき x は？\n11\nq\n-3$ー3\n\n\n"), FileKind::kProblem);
  // Questions keep their half-width text; only answers are typed.
  EXPECT_EQ(result.bytes, Sjis("x+1=12 のとき x は？\r\n１１\r\nq\r\n－３$－３\r\n"));
  EXPECT_EQ(result.widened, 6);
  EXPECT_EQ(result.dropped_blank_pairs, 1);
  const checker::Report again = Recheck("p.mon", FileKind::kProblem);
  EXPECT_TRUE(again.findings.empty()) << Dump(again);

  const std::string out = dir.Path("out-p.mon");
  drill.ChooseProblemFile([&] { return std::optional<std::string>(out); });
  EXPECT_EQ(drill.Bank().problem_count, 2);
  EXPECT_EQ(drill.Bank().problem_answer[1], Sjis("１１"));
  EXPECT_EQ(drill.Bank().problem_answer[2], Sjis("－３$－３"));
}

TEST_F(FixTest, TriviaChoicesStayAsWrittenAndTypedAnswersAreWidened) {
  const FixResult result =
      FixInto("t.zat", Sjis("和は？\r\n55\r\n素数は？\r\n2$1$4\r\n"), FileKind::kTrivia);
  EXPECT_EQ(result.bytes, Sjis("和は？\r\n５５\r\n素数は？\r\n2$1$4\r\n"));
  EXPECT_TRUE(Recheck("t.zat", FileKind::kTrivia).findings.empty());

  drill.LoadDataFiles(dir.Write("j.han", "j\r\n"), dir.Path("out-t.zat"));
  EXPECT_EQ(drill.Bank().trivia_count, 2);
  EXPECT_EQ(drill.Bank().trivia_answer[1], Sjis("５５"));
}

TEST_F(FixTest, Utf8IsConvertedAndLostCharactersAreReported) {
  const FixResult result = FixInto("u.mon", "\xEF\xBB\xBF問１\n−３\n𠮷\n４\n", FileKind::kProblem);
  EXPECT_TRUE(result.converted);
  EXPECT_EQ(result.bytes, Sjis("問１\r\n－３\r\n〓\r\n４\r\n"));
  ASSERT_EQ(result.unfixable.size(), 1u);
  EXPECT_EQ(result.unfixable[0].code, FindingCode::kMissingInCp932);
  EXPECT_EQ(result.unfixable[0].line, 3);
  EXPECT_TRUE(Recheck("u.mon", FileKind::kProblem).findings.empty());
}

TEST_F(FixTest, WhatHasNoObviousRepairIsKeptAndStillReported) {
  // Capitals are not lowered, "*" has no key, and lines hidden behind a Ctrl-Z stay hidden.
  const FixResult result =
      FixInto("k.mon", Sjis("q\nX*2\nq\n１\n") + "\x1Aq\n2\n", FileKind::kProblem);
  EXPECT_EQ(result.bytes, Sjis("q\r\nX*２\r\nq\r\n１\r\n") + "\x1Aq\r\n2\r\n");
  const checker::Report again = Recheck("k.mon", FileKind::kProblem);
  EXPECT_EQ(testing::CountOf(again, FindingCode::kUntypable), 2) << Dump(again);
  EXPECT_EQ(testing::CountOf(again, FindingCode::kCtrlZEndsFile), 1) << Dump(again);

  // A judgement file only gets its line ends and encoding fixed.
  EXPECT_EQ(FixInto("j.han", "a 1\nb\r\n", FileKind::kJudgement).bytes, "a 1\r\nb\r\n");
}

TEST_F(FixTest, InPlaceKeepsTheOriginalAsBak) {
  const std::string original = Sjis("q\n1\n");
  const std::string path = dir.Write("i.mon", original);
  ASSERT_TRUE(
      std::holds_alternative<FixResult>(checker::FixFile(path, path, FileKind::kProblem, true)));
  EXPECT_EQ(ReadAll(path + ".bak"), original);
  EXPECT_EQ(ReadAll(path), Sjis("q\r\n１\r\n"));
}

TEST_F(FixTest, UnreadableInputIsAnErrorAndWritesNothing) {
  auto result =
      checker::FixFile(dir.Path("missing.mon"), dir.Path("out.mon"), FileKind::kProblem, false);
  ASSERT_TRUE(std::holds_alternative<checker::CheckError>(result));
  EXPECT_EQ(std::get<checker::CheckError>(result).message, "ファイルが見つかりません");
  EXPECT_FALSE(std::filesystem::exists(dir.Path("out.mon")));
}

}  // namespace
}  // namespace rekendo
