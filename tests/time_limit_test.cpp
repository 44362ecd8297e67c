// The time-limit setting: 40 seconds is today's drill call for call; 60 and 80 keep the bar
// inside its frame; no limit never times out and counts the seconds up.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "drill.h"
#include "fake_view.h"
#include "sjis.h"
#include "temp_files.h"

namespace rekendo {
namespace {

using testing::FakeView;
using testing::Sjis;
using testing::TempDir;

// Every call the drill makes on its view, in order, as one line each.
class LoggingView : public FakeView {
 public:
  void SetLabelText(Label label, std::string_view text) override {
    FakeView::SetLabelText(label, text);
    calls.push_back("label " + std::to_string(static_cast<int>(label)) + " " + std::string(text));
  }
  void SetTimerEnabled(bool enabled) override {
    FakeView::SetTimerEnabled(enabled);
    calls.push_back(enabled ? "timer on" : "timer off");
  }
  void SetBar(int top, int height) override {
    FakeView::SetBar(top, height);
    calls.push_back("bar " + std::to_string(top) + " " + std::to_string(height));
  }
  std::vector<std::string> calls;
};

class LimitLog : public DrillObserver {
 public:
  void RoundStarted(const RoundSettings& settings) override {
    limits.push_back(settings.time_limit_seconds);
  }
  std::vector<std::int32_t> limits;
};

struct Player {
  explicit Player(const std::string& problems_path) {
    drill.SetObserver(&log);
    drill.ChooseProblemFile([&] { return std::optional<std::string>(problems_path); });
  }
  void Ticks(int n) {
    for (int i = 0; i < n; ++i) drill.Tick();
  }
  // A round with a wrong try, a right answer, a time-out and skips.
  void PlayScriptedRound() {
    drill.SetRandomState(12345);
    drill.StartRound();
    drill.AppendKey(Sjis("２"));
    drill.SubmitAnswer();
    Ticks(5);
    drill.AppendKey(Sjis("１"));
    drill.SubmitAnswer();
    drill.NextQuestion();
    Ticks(200);
    for (int q = 0; q < 10; ++q) drill.NextQuestion();
  }
  LoggingView view;
  Drill drill{view, [] { return 0u; }};
  LimitLog log;
};

class TimeLimitTest : public ::testing::Test {
 protected:
  std::string Problems() { return dir.Write("p.mon", Sjis("一たす零\r\n１\r\n")); }
  TempDir dir;
};

TEST_F(TimeLimitTest, FortySecondsIsTheDefaultCallForCall) {
  Player by_default(Problems());
  Player chosen(Problems());
  chosen.drill.SetTimeLimit(40);
  by_default.PlayScriptedRound();
  chosen.PlayScriptedRound();
  EXPECT_EQ(by_default.view.calls, chosen.view.calls);
  EXPECT_EQ(by_default.log.limits, std::vector<std::int32_t>{kTicksPerQuestion});

  // Today's countdown: 40, a 15-pixel step, the full frame at time-up.
  Player fresh(Problems());
  fresh.drill.StartRound();
  EXPECT_EQ(fresh.view.text(Label::SecondsLeft), "40");
  fresh.Ticks(1);
  EXPECT_EQ(fresh.view.text(Label::SecondsLeft), "39");
  EXPECT_EQ(fresh.view.bar_top, BarFrame::kTop + BarFrame::kHeight - 15);
  EXPECT_EQ(fresh.view.bar_height, 15);
  fresh.Ticks(39);
  EXPECT_EQ(fresh.view.bar_top, BarFrame::kTop);
  EXPECT_EQ(fresh.view.bar_height, BarFrame::kHeight);
  EXPECT_TRUE(fresh.drill.Snapshot().closed);
}

TEST_F(TimeLimitTest, LongerLimitsKeepTheBarInItsFrameAndTimeOutAtTheirEnd) {
  for (const int limit : {60, 80}) {
    SCOPED_TRACE(limit);
    Player player(Problems());
    player.drill.SetTimeLimit(limit);
    player.drill.StartRound();
    EXPECT_EQ(player.view.text(Label::SecondsLeft), std::to_string(limit));
    for (int second = 1; second <= limit; ++second) {
      EXPECT_FALSE(player.drill.Snapshot().closed);
      player.drill.Tick();
      EXPECT_EQ(player.view.text(Label::SecondsLeft), std::to_string(limit - second));
      EXPECT_GE(player.view.bar_top, BarFrame::kTop);
      EXPECT_EQ(player.view.bar_top + player.view.bar_height, BarFrame::kTop + BarFrame::kHeight);
      EXPECT_GT(player.view.bar_height, (second - 1) * (BarFrame::kHeight / limit));
    }
    EXPECT_TRUE(player.drill.Snapshot().closed);
    EXPECT_FALSE(player.drill.Snapshot().scored);
    EXPECT_EQ(player.log.limits, std::vector<std::int32_t>{limit});
  }
}

TEST_F(TimeLimitTest, WithoutALimitNothingTimesOutAndTheSecondsCountUp) {
  Player player(Problems());
  player.drill.SetTimeLimit(std::nullopt);
  player.drill.StartRound();
  EXPECT_EQ(player.view.text(Label::SecondsLeft), "0");
  player.Ticks(1000);
  EXPECT_EQ(player.view.text(Label::SecondsLeft), "1000");
  EXPECT_EQ(player.view.bar_height, 0);
  EXPECT_FALSE(player.drill.Snapshot().closed);
  EXPECT_TRUE(player.view.timer_enabled);
  player.drill.AppendKey(Sjis("２"));
  player.drill.SubmitAnswer();  // wrong: try again, however long it took
  EXPECT_FALSE(player.drill.Snapshot().closed);
  EXPECT_EQ(player.drill.Snapshot().typed_answer, "");
  player.drill.AppendKey(Sjis("１"));
  player.drill.SubmitAnswer();
  EXPECT_TRUE(player.drill.Snapshot().scored);
  player.Ticks(3);  // a stray tick after the answer counts nothing
  EXPECT_EQ(player.view.text(Label::SecondsLeft), "1000");
  EXPECT_EQ(player.log.limits, std::vector<std::int32_t>{0});
}

TEST_F(TimeLimitTest, ANewLimitWaitsForTheNextRound) {
  Player player(Problems());
  player.drill.StartRound();
  player.drill.SetTimeLimit(80);
  player.drill.NextQuestion();
  EXPECT_EQ(player.view.text(Label::SecondsLeft), "40");
  player.Ticks(40);
  EXPECT_TRUE(player.drill.Snapshot().closed);
  player.drill.StartRound();
  EXPECT_EQ(player.view.text(Label::SecondsLeft), "80");
  EXPECT_EQ(player.log.limits, (std::vector<std::int32_t>{40, 80}));
}

}  // namespace
}  // namespace rekendo
