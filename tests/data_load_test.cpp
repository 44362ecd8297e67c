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
  drill.BitBtnsentakuClick(Choose(dir.Write("p.mon", "q1\r\na1\r\nq2\r\n\r\nq3\r\na3")));
  EXPECT_EQ(drill.ProblemCount, 3);
  EXPECT_EQ(drill.ProblemText[2], "q2");
  EXPECT_EQ(drill.ProblemAnswer[2], "");
  EXPECT_EQ(drill.ProblemAnswer[3], "a3");
  EXPECT_EQ(drill.Stage, 1);

  // An odd line count leaves the last answer empty; a trailing empty line adds an entry.
  drill.BitBtnsentakuClick(Choose(dir.Write("odd.mon", "q1\na1\nq2\n")));
  EXPECT_EQ(drill.ProblemCount, 2);
  EXPECT_EQ(drill.ProblemAnswer[2], "");
  drill.BitBtnsentakuClick(Choose(dir.Write("trail.mon", "q1\na1\n\n")));
  EXPECT_EQ(drill.ProblemCount, 2);
  EXPECT_EQ(drill.ProblemText[2], "");

  drill.BitBtnsentakuClick(Choose(dir.Write("empty.mon", "")));
  EXPECT_EQ(drill.ProblemCount, 0);
  EXPECT_EQ(drill.Stage, 1);
}

TEST_F(LoadTest, CtrlZEndsAPairFileOnlyWhereAPairBegins) {
  drill.BitBtnsentakuClick(Choose(dir.Write("z.mon",
                                            "q1\na1\n\x1A"
                                            "q2\na2\n")));
  EXPECT_EQ(drill.ProblemCount, 1);
  drill.BitBtnsentakuClick(Choose(dir.Write("z2.mon",
                                            "q1\n\x1A"
                                            "a1\nq2\na2\n")));
  EXPECT_EQ(drill.ProblemCount, 2);
  EXPECT_EQ(drill.ProblemAnswer[1],
            "\x1A"
            "a1");
}

TEST_F(LoadTest, CancelledDialogForgetsTheOldFileButKeepsItsEntries) {
  drill.BitBtnsentakuClick(Choose(dir.Write("p.mon", "q1\na1\n")));
  drill.BitBtnkaisiClick();
  ASSERT_FALSE(view.text(Label::Mondai).empty());
  drill.BitBtnsentakuClick(kCancel);
  EXPECT_EQ(drill.ProblemCount, 0);
  EXPECT_EQ(drill.ProblemText[1], "q1");
  EXPECT_EQ(view.text(Label::Mondai), "");
  EXPECT_EQ(drill.Stage, 1);
  EXPECT_FALSE(view.timer_enabled);
}

TEST_F(LoadTest, TablesKeepTheirFirstThousandProblemsAndFiveHundredTrivia) {
  std::string problems;
  for (int i = 1; i <= 1003; ++i) problems += "q" + std::to_string(i) + "\na\n";
  drill.BitBtnsentakuClick(Choose(dir.Write("big.mon", problems)));
  EXPECT_EQ(drill.ProblemCount, 1000);
  EXPECT_EQ(drill.ProblemText[1000], "q1000");

  // Multiple-choice entries past the table's end are not converted, so they draw nothing.
  std::string trivia;
  for (int i = 1; i <= 500; ++i) trivia += "t" + std::to_string(i) + "\nx\n";
  trivia += "t501\nright$wrong\n";
  drill.LoadDataFiles(dir.Write("j.han", ""), dir.Write("t.zat", trivia));
  EXPECT_EQ(drill.TriviaCount, 500);
  EXPECT_EQ(drill.TriviaText[500], "t500");
  EXPECT_EQ(drill.Random.state, 1000u);
}

TEST_F(LoadTest, FailedProblemLoadLeavesTheRunningRoundGoing) {
  drill.BitBtnsentakuClick(Choose(dir.Write("p.mon", "q1\na1\n")));
  drill.BitBtnkaisiClick();
  drill.Timer1Timer();
  try {
    drill.BitBtnsentakuClick(Choose(dir.Path("vanished.mon")));
    FAIL() << "a missing file loaded";
  } catch (const IoError& error) {
    EXPECT_EQ(error.code(), 2);
  }
  EXPECT_EQ(drill.ProblemCount, 0);
  EXPECT_EQ(drill.Stage, 2);
  EXPECT_EQ(drill.QuestionNo, 1);
  EXPECT_TRUE(view.timer_enabled);
  EXPECT_EQ(view.text(Label::Mondai), "");
  // The open question can still be answered; a new question needs a new file.
  drill.AppendKey("a1");
  drill.ButtonketteiClick();
  EXPECT_EQ(drill.Score, 10);
  drill.BitBtnnextClick();
  EXPECT_EQ(drill.QuestionNo, 1);
  drill.BitBtnkaisiClick();
  EXPECT_EQ(drill.QuestionNo, 1);
}

TEST_F(LoadTest, CountdownRunningOutWhileTheDialogIsOpen) {
  drill.BitBtnsentakuClick(Choose(dir.Write("p.mon", "q1\nright\n")));
  drill.BitBtnkaisiClick();
  drill.AppendKey("wrong");
  const std::string next = dir.Write("next.mon", "n1\nn2\nn3\nn4\n");
  drill.BitBtnsentakuClick([&] {
    // The dialog's own event loop delivers the rest of the countdown.
    while (view.timer_enabled) drill.Timer1Timer();
    EXPECT_EQ(drill.ProblemCount, 0);
    EXPECT_EQ(view.text(Label::Hyoji), Sjis("誤り"));
    EXPECT_EQ(view.text(Label::Mondai), Sjis("\r\n\r\n答えは\r\n\r\n") + "right");
    return std::optional<std::string>(next);
  });
  EXPECT_EQ(drill.ProblemCount, 2);
  EXPECT_EQ(drill.ProblemText[2], "n3");
  EXPECT_EQ(drill.Stage, 1);
  // The reveal stays alone in the emptied panel.
  EXPECT_EQ(view.text(Label::Mondai), Sjis("\r\n\r\n答えは\r\n\r\n") + "right");
  EXPECT_EQ(view.text(Label::Tokuten), Sjis("０点"));
}

TEST_F(LoadTest, JudgementFileTakesItsFirstElevenLines) {
  std::string lines;
  for (int i = 0; i < 13; ++i) lines += "m" + std::to_string(i) + "\r\n";
  drill.LoadDataFiles(dir.Write("j.han", lines), dir.Write("t.zat", ""));
  EXPECT_EQ(drill.JudgementText[0], "m0");
  EXPECT_EQ(drill.JudgementText[10], "m10");

  drill.LoadDataFiles(dir.Write("short.han",
                                "only\n\x1A"
                                "z\n"),
                      dir.Write("t.zat", ""));
  EXPECT_EQ(drill.JudgementText[0], "only");
  EXPECT_EQ(drill.JudgementText[1],
            "\x1A"
            "z");
  EXPECT_EQ(drill.JudgementText[2], "");
  EXPECT_EQ(drill.JudgementText[10], "");
}

TEST_F(LoadTest, TriviaEntriesWithChoicesAreConvertedAsTheyLoad) {
  drill.LoadDataFiles(
      dir.Write("j.han", ""),
      dir.Write("t.zat", Sjis("円周率は？\r\n３．１４\r\n素数は？\r\n７$８$９\r\n")));
  EXPECT_EQ(drill.TriviaCount, 2);
  EXPECT_EQ(drill.TriviaText[1], Sjis("円周率は？"));
  EXPECT_EQ(drill.TriviaAnswer[1], Sjis("３．１４"));
  EXPECT_EQ(drill.TriviaText[2].rfind(Sjis("素数は？\r\n０："), 0), 0u);
  EXPECT_EQ(drill.TriviaAnswer[2].size(), 2u);
  EXPECT_EQ(drill.AnswerWork, drill.TriviaAnswer[2]);
  EXPECT_EQ(drill.ChoiceQuestion, drill.TriviaText[2]);
}

TEST_F(LoadTest, MissingDataFilesStopHalfwayAndKeepWhatWasThere) {
  drill.LoadDataFiles(dir.Write("j.han", "zero\n"), dir.Write("t.zat", "q\na\nq2\na2\n"));
  ASSERT_EQ(drill.TriviaCount, 2);
  view.timer_enabled = true;

  drill.Random.state = 7;
  EXPECT_THROW(drill.LoadDataFiles(dir.Path("gone.han"), dir.Write("t2.zat", "x\ny\n")), IoError);
  EXPECT_EQ(drill.Random.state, 1000u);  // reseeded before the failure
  EXPECT_FALSE(view.timer_enabled);
  EXPECT_EQ(drill.JudgementText[0], "zero");
  EXPECT_EQ(drill.TriviaCount, 2);

  EXPECT_THROW(drill.LoadDataFiles(dir.Write("j2.han", "new\n"), dir.Path("gone.zat")), IoError);
  EXPECT_EQ(drill.JudgementText[0], "new");
  EXPECT_EQ(drill.TriviaCount, 0);
}

}  // namespace
}  // namespace rekendo
