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
    drill.BitBtnsentakuClick([&] { return std::optional<std::string>(path); });
  }
  void LoadData(const std::string& judgement_utf8, const std::string& trivia_utf8) {
    drill.LoadDataFiles(dir.Write("j.han", Sjis(judgement_utf8)),
                        dir.Write("t.zat", Sjis(trivia_utf8)));
  }
  void Ticks(int n) {
    for (int i = 0; i < n; ++i) drill.Timer1Timer();
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
  drill.BitBtnkaisiClick();
  drill.BitBtnnextClick();
  drill.ButtonketteiClick();
  EXPECT_EQ(drill.Stage, 0);
  EXPECT_EQ(drill.QuestionNo, 0);
  EXPECT_EQ(view.timer_switches, 0);

  LoadProblems("一たす一\r\n２\r\n");
  drill.BitBtnnextClick();
  drill.ButtonketteiClick();
  EXPECT_EQ(drill.QuestionNo, 0);
  EXPECT_EQ(Shown(Label::Hyoji), "");
}

TEST_F(RoundTest, AWholeRoundWithEveryLabelByteForByte) {
  LoadData(Judgements(), "");
  LoadProblems("一たす一は？\r\n２\r\n");
  drill.BitBtnkaisiClick();
  EXPECT_EQ(Shown(Label::Tokuten), Sjis("０点"));
  EXPECT_EQ(Shown(Label::Mnnumber), Sjis("問題1"));
  EXPECT_EQ(Shown(Label::Mondai), Sjis("一たす一は？"));
  EXPECT_EQ(Shown(Label::Timer), "40");
  EXPECT_EQ(view.bar_top, 648);
  EXPECT_EQ(view.bar_height, 0);
  EXPECT_TRUE(view.timer_enabled);

  Ticks(1);
  EXPECT_EQ(Shown(Label::Timer), "39");
  EXPECT_EQ(view.bar_top, 633);
  EXPECT_EQ(view.bar_height, 15);

  // Right on the first try: 正解, the countdown stops where it was, the answer is revealed.
  Ticks(9);
  drill.AppendKey(kTwo);
  EXPECT_EQ(Shown(Label::Kaitoran), kTwo);
  drill.ButtonketteiClick();
  EXPECT_EQ(Shown(Label::Hyoji), Sjis("正解"));
  EXPECT_EQ(Shown(Label::Tokuten), "10" + Sjis("点"));
  EXPECT_FALSE(view.timer_enabled);
  EXPECT_EQ(Shown(Label::Timer), "30");
  EXPECT_EQ(view.bar_height, 150);
  EXPECT_EQ(Shown(Label::Mondai), Sjis("一たす一は？\r\n\r\n答えは\r\n\r\n２"));
  drill.ButtonketteiClick();  // a closed question ignores 決定
  EXPECT_EQ(drill.Score, 10);

  // Questions 2 to 10: six more right, three timed out.
  for (int q = 2; q <= 10; ++q) {
    drill.BitBtnnextClick();
    EXPECT_EQ(Shown(Label::Mnnumber), Sjis("問題") + std::to_string(q));
    EXPECT_EQ(Shown(Label::Hyoji), "");
    EXPECT_EQ(Shown(Label::Kaitoran), "");
    if (q <= 7) {
      drill.AppendKey(kTwo);
      drill.ButtonketteiClick();
    } else {
      Ticks(40);
    }
  }
  EXPECT_EQ(Shown(Label::Tokuten), "70" + Sjis("点"));
  EXPECT_EQ(drill.Stage, 2);
  drill.BitBtnnextClick();
  EXPECT_EQ(drill.Stage, 1);
  EXPECT_EQ(drill.QuestionNo, 11);
  EXPECT_EQ(Shown(Label::Mondai), Sjis("おわり\r\nメッセージ\r\n\r\n判定7"));
  EXPECT_EQ(Shown(Label::Tokuten), "70" + Sjis("点"));
  drill.BitBtnnextClick();
  EXPECT_EQ(drill.QuestionNo, 11);

  // A new round with the same file starts from scratch.
  drill.BitBtnkaisiClick();
  EXPECT_EQ(drill.QuestionNo, 1);
  EXPECT_EQ(Shown(Label::Tokuten), Sjis("０点"));
}

TEST_F(RoundTest, TimeOutJudgesWhatWasTypedButNotSubmitted) {
  LoadProblems("問\r\n１２\r\n");
  drill.BitBtnkaisiClick();
  drill.AppendKey(kOne);
  drill.AppendKey(kTwo);
  Ticks(39);
  EXPECT_EQ(drill.Score, 0);
  Ticks(1);
  EXPECT_EQ(Shown(Label::Timer), "0");
  EXPECT_EQ(view.bar_top, 48);
  EXPECT_EQ(view.bar_height, 600);
  EXPECT_EQ(Shown(Label::Hyoji), Sjis("正解"));
  EXPECT_EQ(drill.Score, 10);
}

TEST_F(RoundTest, WrongAnswerWithTimeLeftCostsOnlyTheInput) {
  LoadProblems("問\r\n１２\r\n");
  drill.BitBtnkaisiClick();
  drill.AppendKey(kOne);
  drill.ButtonketteiClick();
  EXPECT_EQ(Shown(Label::Hyoji), Sjis("誤り"));
  EXPECT_EQ(Shown(Label::Kaitoran), "");
  EXPECT_EQ(drill.AnswerInput, "");
  EXPECT_TRUE(view.timer_enabled);
  EXPECT_FALSE(drill.Closed);
  EXPECT_EQ(Shown(Label::Mondai), Sjis("問"));

  // At the fortieth tick a wrong answer closes the question and reveals it.
  drill.AppendKey(kTwo);
  Ticks(40);
  EXPECT_TRUE(drill.Closed);
  EXPECT_FALSE(view.timer_enabled);
  EXPECT_EQ(drill.Score, 0);
  EXPECT_EQ(Shown(Label::Kaitoran), kTwo);  // the line keeps what was typed
  EXPECT_EQ(Shown(Label::Mondai), Sjis("問\r\n\r\n答えは\r\n\r\n１２"));
}

TEST_F(RoundTest, EveryDollarPieceIsAnAnswerAndTheRevealJoinsThem) {
  LoadProblems("半分は？\r\n１／２$０．５$２／４\r\n");
  for (const char* typed : {"１／２", "０．５", "２／４"}) {
    drill.BitBtnkaisiClick();
    drill.AppendKey(Sjis(typed));
    drill.ButtonketteiClick();
    EXPECT_EQ(drill.Score, 10) << typed;
  }
  EXPECT_EQ(Shown(Label::Mondai),
            Sjis("半分は？\r\n\r\n答えは\r\n\r\n１／２ または ０．５ または ２／４"));

  // Where the check stopped is left in AnswerWork.
  drill.BitBtnkaisiClick();
  drill.AppendKey(Sjis("０．５"));
  drill.ButtonketteiClick();
  EXPECT_EQ(drill.AnswerWork, Sjis("０．５$２／４"));

  // A trailing "$" accepts the empty answer: a time-out with nothing typed scores.
  LoadProblems("問\r\n１$\r\n");
  drill.BitBtnkaisiClick();
  Ticks(40);
  EXPECT_EQ(drill.Score, 10);
}

TEST_F(RoundTest, SkippingAQuestionSetsAFreshOneWithoutPoints) {
  LoadProblems("問\r\n１\r\n");
  drill.BitBtnkaisiClick();
  Ticks(5);
  const int switches = view.timer_switches;
  drill.BitBtnnextClick();
  EXPECT_EQ(drill.QuestionNo, 2);
  EXPECT_EQ(drill.Elapsed, 0);
  EXPECT_EQ(Shown(Label::Timer), "40");
  EXPECT_EQ(view.bar_height, 0);
  // Re-enabling the running timer is no change: its second goes on undisturbed.
  EXPECT_EQ(view.timer_switches, switches);
  EXPECT_EQ(drill.Score, 0);
}

TEST_F(RoundTest, QuestionsComeFromTheRandomSourceInDrawOrder) {
  LoadProblems("a\r\n１\r\nb\r\n２\r\nc\r\n３\r\nd\r\n４\r\ne\r\n５\r\n");
  drill.Random.state = 2024;
  RandomSource replay;
  replay.state = 2024;
  drill.BitBtnkaisiClick();
  for (int q = 1; q <= 10; ++q) {
    replay.RandomBelow(10);  // trivia chance, drawn for every question
    EXPECT_EQ(drill.CurrentIndex, 1 + static_cast<int>(replay.RandomBelow(5)));
    EXPECT_EQ(Shown(Label::Mondai), drill.ProblemText[drill.CurrentIndex]);
    drill.BitBtnnextClick();
  }
  EXPECT_EQ(drill.Random.state, replay.state);
}

TEST_F(RoundTest, AtMostOneTriviaPerRoundAndNeverFirst) {
  LoadData(Judgements(), "雑学\r\n３．１４\r\n");
  LoadProblems("問\r\n１\r\n");
  int rounds_with_trivia = 0;
  for (std::uint32_t seed = 0; seed < 300; ++seed) {
    drill.Random.state = seed * 2654435761u;
    drill.BitBtnkaisiClick();
    int trivia = 0;
    for (int q = 1; q <= 10; ++q) {
      const bool asked = Shown(Label::Mondai) == Sjis("雑学");
      if (q == 1) {
        EXPECT_FALSE(asked);
      }
      trivia += asked ? 1 : 0;
      drill.BitBtnnextClick();
    }
    EXPECT_LE(trivia, 1);
    EXPECT_EQ(drill.TriviaAsked, trivia == 1);
    rounds_with_trivia += trivia;
  }
  // 1 - 0.7^9 of rounds carry one: about 96%.
  EXPECT_GT(rounds_with_trivia, 250);
}

TEST_F(RoundTest, EmptyBanksNeverIndexOutsideTheirTables) {
  // No trivia loaded: a trivia draw asks a problem instead and leaves TriviaAsked clear.
  LoadProblems("問\r\n１\r\n");
  for (std::uint32_t seed = 0; seed < 50; ++seed) {
    drill.Random.state = seed;
    drill.BitBtnkaisiClick();
    for (int q = 1; q <= 10; ++q) {
      EXPECT_EQ(drill.CurrentIndex, 1);
      drill.BitBtnnextClick();
    }
    EXPECT_FALSE(drill.TriviaAsked);
  }

  // An empty problem file: no round starts.
  LoadProblems("");
  drill.BitBtnkaisiClick();
  EXPECT_EQ(drill.QuestionNo, 0);
  EXPECT_FALSE(view.timer_enabled);
}

TEST_F(RoundTest, TicksBeforeAnyQuestionDoNothing) {
  drill.Timer1Timer();
  EXPECT_EQ(drill.Elapsed, 0);
  EXPECT_EQ(Shown(Label::Timer), "");
}

}  // namespace
}  // namespace rekendo
