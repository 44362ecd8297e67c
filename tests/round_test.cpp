// Whole rounds played through the drill's operations, checked against what the learner sees.
#include <gtest/gtest.h>

#include <string>

#include "drill.h"
#include "fake_view.h"
#include "sjis.h"
#include "temp_files.h"

namespace rekendo {
namespace {

using testing::FakeView;
using testing::Sjis;
using testing::TempDir;

const std::string kOne = Sjis("１");
const std::string kTwo = Sjis("２");

class RoundTest : public ::testing::Test {
 protected:
  void LoadProblems(const std::string& utf8) {
    const std::string path = dir.Write("p.mon", Sjis(utf8));
    drill.ChooseProblemFile([&] { return std::optional<std::string>(path); });
  }
  void LoadData(const std::string& judgement_utf8, const std::string& trivia_utf8) {
    drill.LoadDataFiles(dir.Write("j.han", Sjis(judgement_utf8)),
                        dir.Write("t.zat", Sjis(trivia_utf8)));
  }
  void Ticks(int n) {
    for (int i = 0; i < n; ++i) drill.Tick();
  }
  const std::string& Shown(Label label) const { return view.text(label); }

  TempDir dir;
  FakeView view;
  Drill drill{view, [] { return 0u; }};
};

std::string Judgements() {
  std::string lines;
  for (int i = 0; i <= 10; ++i) lines += "判定" + std::to_string(i) + "\r\n";
  return lines;
}

TEST_F(RoundTest, NothingHappensBeforeAFileIsChosenOrARoundStarted) {
  drill.StartRound();
  drill.NextQuestion();
  drill.SubmitAnswer();
  EXPECT_EQ(drill.Snapshot().stage, Stage::kNoFile);
  EXPECT_EQ(drill.Snapshot().question_number, 0);
  EXPECT_EQ(view.timer_switches, 0);

  LoadProblems("一たす一\r\n２\r\n");
  drill.NextQuestion();
  drill.SubmitAnswer();
  EXPECT_EQ(drill.Snapshot().question_number, 0);
  EXPECT_EQ(Shown(Label::Verdict), "");
}

TEST_F(RoundTest, AWholeRoundWithEveryLabelByteForByte) {
  LoadData(Judgements(), "");
  LoadProblems("一たす一は？\r\n２\r\n");
  drill.StartRound();
  EXPECT_EQ(Shown(Label::Score), Sjis("０点"));
  EXPECT_EQ(Shown(Label::QuestionNumber), Sjis("問題1"));
  EXPECT_EQ(Shown(Label::ProblemPanel), Sjis("一たす一は？"));
  EXPECT_EQ(Shown(Label::SecondsLeft), "40");
  EXPECT_EQ(view.bar_top, 648);
  EXPECT_EQ(view.bar_height, 0);
  EXPECT_TRUE(view.timer_enabled);

  Ticks(1);
  EXPECT_EQ(Shown(Label::SecondsLeft), "39");
  EXPECT_EQ(view.bar_top, 633);
  EXPECT_EQ(view.bar_height, 15);

  // Right on the first try: 正解, the countdown stops where it was, the answer is revealed.
  Ticks(9);
  drill.AppendKey(kTwo);
  EXPECT_EQ(Shown(Label::AnswerLine), kTwo);
  drill.SubmitAnswer();
  EXPECT_EQ(Shown(Label::Verdict), Sjis("正解"));
  EXPECT_EQ(Shown(Label::Score), "10" + Sjis("点"));
  EXPECT_FALSE(view.timer_enabled);
  EXPECT_EQ(Shown(Label::SecondsLeft), "30");
  EXPECT_EQ(view.bar_height, 150);
  EXPECT_EQ(Shown(Label::ProblemPanel), Sjis("一たす一は？\r\n\r\n答えは\r\n\r\n２"));
  drill.SubmitAnswer();  // a closed question ignores 決定
  EXPECT_EQ(drill.Snapshot().score, 10);

  // Questions 2 to 10: six more right, three timed out.
  for (int q = 2; q <= 10; ++q) {
    drill.NextQuestion();
    EXPECT_EQ(Shown(Label::QuestionNumber), Sjis("問題") + std::to_string(q));
    EXPECT_EQ(Shown(Label::Verdict), "");
    EXPECT_EQ(Shown(Label::AnswerLine), "");
    if (q <= 7) {
      drill.AppendKey(kTwo);
      drill.SubmitAnswer();
    } else {
      Ticks(40);
    }
  }
  EXPECT_EQ(Shown(Label::Score), "70" + Sjis("点"));
  EXPECT_EQ(drill.Snapshot().stage, Stage::kRunning);
  drill.NextQuestion();
  EXPECT_EQ(drill.Snapshot().stage, Stage::kReady);
  EXPECT_EQ(drill.Snapshot().question_number, 11);
  EXPECT_EQ(Shown(Label::ProblemPanel), Sjis("おわり\r\nメッセージ\r\n\r\n判定7"));
  EXPECT_EQ(Shown(Label::Score), "70" + Sjis("点"));
  drill.NextQuestion();
  EXPECT_EQ(drill.Snapshot().question_number, 11);

  // A new round with the same file starts from scratch.
  drill.StartRound();
  EXPECT_EQ(drill.Snapshot().question_number, 1);
  EXPECT_EQ(Shown(Label::Score), Sjis("０点"));
}

TEST_F(RoundTest, TimeOutJudgesWhatWasTypedButNotSubmitted) {
  LoadProblems("問\r\n１２\r\n");
  drill.StartRound();
  drill.AppendKey(kOne);
  drill.AppendKey(kTwo);
  Ticks(39);
  EXPECT_EQ(drill.Snapshot().score, 0);
  Ticks(1);
  EXPECT_EQ(Shown(Label::SecondsLeft), "0");
  EXPECT_EQ(view.bar_top, 48);
  EXPECT_EQ(view.bar_height, 600);
  EXPECT_EQ(Shown(Label::Verdict), Sjis("正解"));
  EXPECT_EQ(drill.Snapshot().score, 10);
}

TEST_F(RoundTest, WrongAnswerWithTimeLeftCostsOnlyTheInput) {
  LoadProblems("問\r\n１２\r\n");
  drill.StartRound();
  drill.AppendKey(kOne);
  drill.SubmitAnswer();
  EXPECT_EQ(Shown(Label::Verdict), Sjis("誤り"));
  EXPECT_EQ(Shown(Label::AnswerLine), "");
  EXPECT_EQ(drill.Snapshot().typed_answer, "");
  EXPECT_TRUE(view.timer_enabled);
  EXPECT_FALSE(drill.Snapshot().closed);
  EXPECT_EQ(Shown(Label::ProblemPanel), Sjis("問"));

  // At the fortieth tick a wrong answer closes the question and reveals it.
  drill.AppendKey(kTwo);
  Ticks(40);
  EXPECT_TRUE(drill.Snapshot().closed);
  EXPECT_FALSE(view.timer_enabled);
  EXPECT_EQ(drill.Snapshot().score, 0);
  EXPECT_EQ(Shown(Label::AnswerLine), kTwo);  // the line keeps what was typed
  EXPECT_EQ(Shown(Label::ProblemPanel), Sjis("問\r\n\r\n答えは\r\n\r\n１２"));
}

TEST_F(RoundTest, EveryDollarPieceIsAnAnswerAndTheRevealJoinsThem) {
  LoadProblems("半分は？\r\n１／２$０．５$２／４\r\n");
  for (const char* typed : {"１／２", "０．５", "２／４"}) {
    drill.StartRound();
    drill.AppendKey(Sjis(typed));
    drill.SubmitAnswer();
    EXPECT_EQ(drill.Snapshot().score, 10) << typed;
  }
  EXPECT_EQ(Shown(Label::ProblemPanel),
            Sjis("半分は？\r\n\r\n答えは\r\n\r\n１／２ または ０．５ または ２／４"));

  // A middle piece is as good as the first or the last.
  drill.StartRound();
  drill.AppendKey(Sjis("０．５"));
  drill.SubmitAnswer();
  EXPECT_EQ(Shown(Label::Verdict), Sjis("正解"));

  // A trailing "$" accepts the empty answer: a time-out with nothing typed scores.
  LoadProblems("問\r\n１$\r\n");
  drill.StartRound();
  Ticks(40);
  EXPECT_EQ(drill.Snapshot().score, 10);
}

TEST_F(RoundTest, SkippingAQuestionSetsAFreshOneWithoutPoints) {
  LoadProblems("問\r\n１\r\n");
  drill.StartRound();
  Ticks(5);
  const int switches = view.timer_switches;
  drill.NextQuestion();
  EXPECT_EQ(drill.Snapshot().question_number, 2);
  EXPECT_EQ(drill.Snapshot().elapsed, 0);
  EXPECT_EQ(Shown(Label::SecondsLeft), "40");
  EXPECT_EQ(view.bar_height, 0);
  // Re-enabling the running timer is no change: its second goes on undisturbed.
  EXPECT_EQ(view.timer_switches, switches);
  EXPECT_EQ(drill.Snapshot().score, 0);
}

TEST_F(RoundTest, QuestionsComeFromTheRandomSourceInDrawOrder) {
  LoadProblems("a\r\n１\r\nb\r\n２\r\nc\r\n３\r\nd\r\n４\r\ne\r\n５\r\n");
  drill.SetRandomState(2024);
  RandomSource replay;
  replay.Reseed(2024);
  drill.StartRound();
  for (int q = 1; q <= 10; ++q) {
    replay.RandomBelow(10);  // trivia chance, drawn for every question
    EXPECT_EQ(drill.Snapshot().current_index, 1 + static_cast<int>(replay.RandomBelow(5)));
    EXPECT_EQ(Shown(Label::ProblemPanel), drill.Bank().problem_text[drill.Snapshot().current_index]);
    drill.NextQuestion();
  }
  EXPECT_EQ(drill.Snapshot().random_state, replay.state());
}

TEST_F(RoundTest, AtMostOneTriviaPerRoundAndNeverFirst) {
  LoadData(Judgements(), "雑学\r\n３．１４\r\n");
  LoadProblems("問\r\n１\r\n");
  int rounds_with_trivia = 0;
  for (std::uint32_t seed = 0; seed < 300; ++seed) {
    drill.SetRandomState(seed * 2654435761u);
    drill.StartRound();
    int trivia = 0;
    for (int q = 1; q <= 10; ++q) {
      const bool asked = Shown(Label::ProblemPanel) == Sjis("雑学");
      if (q == 1) {
        EXPECT_FALSE(asked);
      }
      trivia += asked ? 1 : 0;
      drill.NextQuestion();
    }
    EXPECT_LE(trivia, 1);
    EXPECT_EQ(drill.Snapshot().trivia_asked, trivia == 1);
    rounds_with_trivia += trivia;
  }
  // 1 - 0.7^9 of rounds carry one: about 96%.
  EXPECT_GT(rounds_with_trivia, 250);
}

TEST_F(RoundTest, EmptyBanksNeverIndexOutsideTheirTables) {
  // No trivia loaded: a trivia draw asks a problem instead and leaves TriviaAsked clear.
  LoadProblems("問\r\n１\r\n");
  for (std::uint32_t seed = 0; seed < 50; ++seed) {
    drill.SetRandomState(seed);
    drill.StartRound();
    for (int q = 1; q <= 10; ++q) {
      EXPECT_EQ(drill.Snapshot().current_index, 1);
      drill.NextQuestion();
    }
    EXPECT_FALSE(drill.Snapshot().trivia_asked);
  }

  // An empty problem file: no round starts.
  LoadProblems("");
  drill.StartRound();
  EXPECT_EQ(drill.Snapshot().question_number, 0);
  EXPECT_FALSE(view.timer_enabled);
}

TEST_F(RoundTest, TicksBeforeAnyQuestionDoNothing) {
  drill.Tick();
  EXPECT_EQ(drill.Snapshot().elapsed, 0);
  EXPECT_EQ(Shown(Label::SecondsLeft), "");
}

}  // namespace
}  // namespace rekendo
