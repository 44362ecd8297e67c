// Filling the bank: the problem-file selection and the data files of the first activation.
#include <gtest/gtest.h>

#include <string>

#include "drill.h"
#include "fake_view.h"
#include "io_error.h"
#include "sjis.h"
#include "temp_files.h"

namespace rekendo {
namespace {

using testing::FakeView;
using testing::Sjis;
using testing::TempDir;

Drill::FileChooser Choose(std::string path) {
  return [path] { return std::optional<std::string>(path); };
}
const Drill::FileChooser kCancel = [] { return std::optional<std::string>(); };

class LoadTest : public ::testing::Test {
 protected:
  TempDir dir;
  FakeView view;
  Drill drill{view, [] { return 1000u; }};
};

TEST_F(LoadTest, ProblemFileIsReadInPairsByPosition) {
  drill.ChooseProblemFile(Choose(dir.Write("p.mon", "q1\r\na1\r\nq2\r\n\r\nq3\r\na3")));
  EXPECT_EQ(drill.Bank().problem_count, 3);
  EXPECT_EQ(drill.Bank().problem_text[2], "q2");
  EXPECT_EQ(drill.Bank().problem_answer[2], "");
  EXPECT_EQ(drill.Bank().problem_answer[3], "a3");
  EXPECT_EQ(drill.Snapshot().stage, Stage::kReady);

  // An odd line count leaves the last answer empty; a trailing empty line adds an entry.
  drill.ChooseProblemFile(Choose(dir.Write("odd.mon", "q1\na1\nq2\n")));
  EXPECT_EQ(drill.Bank().problem_count, 2);
  EXPECT_EQ(drill.Bank().problem_answer[2], "");
  drill.ChooseProblemFile(Choose(dir.Write("trail.mon", "q1\na1\n\n")));
  EXPECT_EQ(drill.Bank().problem_count, 2);
  EXPECT_EQ(drill.Bank().problem_text[2], "");

  drill.ChooseProblemFile(Choose(dir.Write("empty.mon", "")));
  EXPECT_EQ(drill.Bank().problem_count, 0);
  EXPECT_EQ(drill.Snapshot().stage, Stage::kReady);
}

TEST_F(LoadTest, CtrlZEndsAPairFileOnlyWhereAPairBegins) {
  drill.ChooseProblemFile(Choose(dir.Write("z.mon",
                                            "q1\na1\n\x1A"
                                            "q2\na2\n")));
  EXPECT_EQ(drill.Bank().problem_count, 1);
  drill.ChooseProblemFile(Choose(dir.Write("z2.mon",
                                            "q1\n\x1A"
                                            "a1\nq2\na2\n")));
  EXPECT_EQ(drill.Bank().problem_count, 2);
  EXPECT_EQ(drill.Bank().problem_answer[1],
            "\x1A"
            "a1");
}

TEST_F(LoadTest, CancelledDialogForgetsTheOldFileButKeepsItsEntries) {
  drill.ChooseProblemFile(Choose(dir.Write("p.mon", "q1\na1\n")));
  drill.StartRound();
  ASSERT_FALSE(view.text(Label::ProblemPanel).empty());
  drill.ChooseProblemFile(kCancel);
  EXPECT_EQ(drill.Bank().problem_count, 0);
  EXPECT_EQ(drill.Bank().problem_text[1], "q1");
  EXPECT_EQ(view.text(Label::ProblemPanel), "");
  EXPECT_EQ(drill.Snapshot().stage, Stage::kReady);
  EXPECT_FALSE(view.timer_enabled);
}

TEST_F(LoadTest, TablesKeepTheirFirstThousandProblemsAndFiveHundredTrivia) {
  std::string problems;
  for (int i = 1; i <= 1003; ++i) problems += "q" + std::to_string(i) + "\na\n";
  drill.ChooseProblemFile(Choose(dir.Write("big.mon", problems)));
  EXPECT_EQ(drill.Bank().problem_count, 1000);
  EXPECT_EQ(drill.Bank().problem_text[1000], "q1000");

  // Multiple-choice entries past the table's end are not converted, so they draw nothing.
  std::string trivia;
  for (int i = 1; i <= 500; ++i) trivia += "t" + std::to_string(i) + "\nx\n";
  trivia += "t501\nright$wrong\n";
  drill.LoadDataFiles(dir.Write("j.han", ""), dir.Write("t.zat", trivia));
  EXPECT_EQ(drill.Bank().trivia_count, 500);
  EXPECT_EQ(drill.Bank().trivia_text[500], "t500");
  EXPECT_EQ(drill.Snapshot().random_state, 1000u);
}

TEST_F(LoadTest, FailedProblemLoadLeavesTheRunningRoundGoing) {
  drill.ChooseProblemFile(Choose(dir.Write("p.mon", "q1\na1\n")));
  drill.StartRound();
  drill.Tick();
  try {
    drill.ChooseProblemFile(Choose(dir.Path("vanished.mon")));
    FAIL() << "a missing file loaded";
  } catch (const IoError& error) {
    EXPECT_EQ(error.code(), 2);
  }
  EXPECT_EQ(drill.Bank().problem_count, 0);
  EXPECT_EQ(drill.Snapshot().stage, Stage::kRunning);
  EXPECT_EQ(drill.Snapshot().question_number, 1);
  EXPECT_TRUE(view.timer_enabled);
  EXPECT_EQ(view.text(Label::ProblemPanel), "");
  // The open question can still be answered; a new question needs a new file.
  drill.AppendKey("a1");
  drill.SubmitAnswer();
  EXPECT_EQ(drill.Snapshot().score, 10);
  drill.NextQuestion();
  EXPECT_EQ(drill.Snapshot().question_number, 1);
  drill.StartRound();
  EXPECT_EQ(drill.Snapshot().question_number, 1);
}

TEST_F(LoadTest, CountdownRunningOutWhileTheDialogIsOpen) {
  drill.ChooseProblemFile(Choose(dir.Write("p.mon", "q1\nright\n")));
  drill.StartRound();
  drill.AppendKey("wrong");
  const std::string next = dir.Write("next.mon", "n1\nn2\nn3\nn4\n");
  drill.ChooseProblemFile([&] {
    // The dialog's own event loop delivers the rest of the countdown.
    while (view.timer_enabled) drill.Tick();
    EXPECT_EQ(drill.Bank().problem_count, 0);
    EXPECT_EQ(view.text(Label::Verdict), Sjis("誤り"));
    EXPECT_EQ(view.text(Label::ProblemPanel), Sjis("\r\n\r\n答えは\r\n\r\n") + "right");
    return std::optional<std::string>(next);
  });
  EXPECT_EQ(drill.Bank().problem_count, 2);
  EXPECT_EQ(drill.Bank().problem_text[2], "n3");
  EXPECT_EQ(drill.Snapshot().stage, Stage::kReady);
  // The reveal stays alone in the emptied panel.
  EXPECT_EQ(view.text(Label::ProblemPanel), Sjis("\r\n\r\n答えは\r\n\r\n") + "right");
  EXPECT_EQ(view.text(Label::Score), Sjis("０点"));
}

TEST_F(LoadTest, JudgementFileTakesItsFirstElevenLines) {
  std::string lines;
  for (int i = 0; i < 13; ++i) lines += "m" + std::to_string(i) + "\r\n";
  drill.LoadDataFiles(dir.Write("j.han", lines), dir.Write("t.zat", ""));
  EXPECT_EQ(drill.Bank().judgement_text[0], "m0");
  EXPECT_EQ(drill.Bank().judgement_text[10], "m10");

  drill.LoadDataFiles(dir.Write("short.han",
                                "only\n\x1A"
                                "z\n"),
                      dir.Write("t.zat", ""));
  EXPECT_EQ(drill.Bank().judgement_text[0], "only");
  EXPECT_EQ(drill.Bank().judgement_text[1],
            "\x1A"
            "z");
  EXPECT_EQ(drill.Bank().judgement_text[2], "");
  EXPECT_EQ(drill.Bank().judgement_text[10], "");
}

TEST_F(LoadTest, TriviaEntriesWithChoicesAreConvertedAsTheyLoad) {
  drill.LoadDataFiles(
      dir.Write("j.han", ""),
      dir.Write("t.zat", Sjis("円周率は？\r\n３．１４\r\n素数は？\r\n７$８$９\r\n")));
  EXPECT_EQ(drill.Bank().trivia_count, 2);
  EXPECT_EQ(drill.Bank().trivia_text[1], Sjis("円周率は？"));
  EXPECT_EQ(drill.Bank().trivia_answer[1], Sjis("３．１４"));
  EXPECT_EQ(drill.Bank().trivia_text[2].rfind(Sjis("素数は？\r\n０："), 0), 0u);
  EXPECT_EQ(drill.Bank().trivia_answer[2].size(), 2u);
  EXPECT_FALSE(drill.Bank().trivia_has_choices[1]);
  EXPECT_TRUE(drill.Bank().trivia_has_choices[2]);
}

TEST_F(LoadTest, MissingDataFilesStopHalfwayAndKeepWhatWasThere) {
  drill.LoadDataFiles(dir.Write("j.han", "zero\n"), dir.Write("t.zat", "q\na\nq2\na2\n"));
  ASSERT_EQ(drill.Bank().trivia_count, 2);
  view.timer_enabled = true;

  drill.SetRandomState(7);
  EXPECT_THROW(drill.LoadDataFiles(dir.Path("gone.han"), dir.Write("t2.zat", "x\ny\n")), IoError);
  EXPECT_EQ(drill.Snapshot().random_state, 1000u);  // reseeded before the failure
  EXPECT_FALSE(view.timer_enabled);
  EXPECT_EQ(drill.Bank().judgement_text[0], "zero");
  EXPECT_EQ(drill.Bank().trivia_count, 2);

  EXPECT_THROW(drill.LoadDataFiles(dir.Write("j2.han", "new\n"), dir.Path("gone.zat")), IoError);
  EXPECT_EQ(drill.Bank().judgement_text[0], "new");
  EXPECT_EQ(drill.Bank().trivia_count, 0);
}

}  // namespace
}  // namespace rekendo
