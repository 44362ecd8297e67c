// What a round tells its observer: the record is built from these events alone, so a missed
// or doubled event is a lost or doubled row.
#include <gtest/gtest.h>

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

// Writes each event as one short line, so a whole round compares as a list.
class EventLog : public DrillObserver {
 public:
  void ProblemFileLoaded(const LoadedFile& file) override {
    events.push_back("loaded " + std::to_string(file.problem_count));
  }
  void RoundStarted(const RoundSettings& settings) override {
    events.push_back("start");
    limits.push_back(settings.time_limit_seconds);
  }
  void QuestionAsked(const AskedQuestion& q) override {
    const char* kinds[] = {"problem", "trivia", "choice"};
    events.push_back("ask " + std::to_string(q.number) + " " + kinds[static_cast<int>(q.kind)] +
                     " " + std::to_string(q.bank_index));
  }
  void AnswerChecked(std::string_view, bool right) override {
    events.push_back(right ? "right" : "wrong");
  }
  void QuestionClosed(const ClosedQuestion& q) override {
    const char* outcomes[] = {"right", "timeup", "left", "open"};
    events.push_back("close " + std::to_string(q.number) + " " +
                     outcomes[static_cast<int>(q.outcome)] + " tries " +
                     std::to_string(q.wrong_tries) + " s " + std::to_string(q.seconds_used) +
                     " typed " + std::string(q.typed));
  }
  void RoundEnded(RoundEnd how, std::int32_t score, std::int32_t judgement) override {
    events.push_back(std::string(how == RoundEnd::kFinished ? "finished " : "abandoned ") +
                     std::to_string(score) + " " + std::to_string(judgement));
  }
  std::vector<std::string> events;
  std::vector<std::int32_t> limits;  // each round's time limit, as it started
};

class ObserverTest : public ::testing::Test {
 protected:
  void SetUp() override { drill.SetObserver(&log); }
  void Choose(const std::string& utf8) {
    const std::string path = dir.Write("p.mon", Sjis(utf8));
    drill.ChooseProblemFile([&] { return std::optional<std::string>(path); });
  }
  void Ticks(int n) {
    for (int i = 0; i < n; ++i) drill.Tick();
  }

  TempDir dir;
  FakeView view;
  Drill drill{view, [] { return 0u; }};
  EventLog log;
};

TEST_F(ObserverTest, AWholeRoundReportsEachQuestionOnceWithItsOutcome) {
  Choose("q\r\n1\r\n");
  drill.StartRound();
  drill.AppendKey("2");
  drill.SubmitAnswer();  // wrong, time left: stays open
  Ticks(3);
  drill.AppendKey("1");
  drill.SubmitAnswer();  // right
  drill.NextQuestion();
  drill.AppendKey("9");
  Ticks(40);             // wrong at time-up
  drill.NextQuestion();
  drill.NextQuestion();  // question 3 left open with Next
  for (int q = 4; q <= 11; ++q) drill.NextQuestion();
  const std::vector<std::string> head = {
      "loaded 1", "start", "ask 1 problem 1", "wrong", "right",
      "close 1 right tries 1 s 3 typed 1", "ask 2 problem 1", "wrong",
      "close 2 timeup tries 0 s 40 typed 9", "ask 3 problem 1", "close 3 left tries 0 s 0 typed "};
  ASSERT_GE(log.events.size(), head.size() + 2);
  EXPECT_EQ(std::vector<std::string>(log.events.begin(), log.events.begin() + head.size()), head);
  EXPECT_EQ(log.events.back(), "finished 10 1");
  EXPECT_EQ(std::count_if(log.events.begin(), log.events.end(),
                          [](const std::string& e) { return e.rfind("close ", 0) == 0; }),
            10);
}

TEST_F(ObserverTest, LeavingARoundClosesItsOpenQuestionOnce) {
  Choose("q\r\n1\r\n");
  drill.StartRound();
  drill.StartRound();  // a new round while one runs
  EXPECT_EQ(std::vector<std::string>(log.events.begin() + 3, log.events.begin() + 6),
            (std::vector<std::string>{"close 1 open tries 0 s 0 typed ", "abandoned 0 0",
                                      "start"}));
  log.events.clear();
  Choose("q\r\n1\r\nr\r\n2\r\n");  // another file during a round
  EXPECT_EQ(log.events, (std::vector<std::string>{"close 1 open tries 0 s 0 typed ",
                                                   "abandoned 0 0", "loaded 2"}));
  log.events.clear();
  drill.Abandon();  // nothing running any more: nothing to say
  drill.StartRound();
  drill.Abandon();  // the program closes mid-round
  drill.Abandon();
  EXPECT_EQ(log.events.back(), "abandoned 0 0");
  EXPECT_EQ(std::count(log.events.begin(), log.events.end(), "abandoned 0 0"), 1);
}

TEST_F(ObserverTest, AFailedLoadEndsNothing) {
  Choose("q\r\n1\r\n");
  drill.StartRound();
  log.events.clear();
  EXPECT_ANY_THROW(drill.ChooseProblemFile([&] { return std::optional<std::string>(dir.Path("none")); }));
  EXPECT_TRUE(log.events.empty());
}

TEST_F(ObserverTest, ARoundLeftByAFailedLoadEndsWhenTheNextFileOrRoundStarts) {
  for (const bool next_is_a_file : {true, false}) {
    Choose("q\r\n1\r\n");
    drill.StartRound();
    EXPECT_ANY_THROW(drill.ChooseProblemFile([&] { return std::optional<std::string>(dir.Path("none")); }));
    log.events.clear();
    if (next_is_a_file) {
      Choose("q\r\n1\r\n");
    } else {
      drill.StartRound();
    }
    ASSERT_GE(log.events.size(), 2u) << next_is_a_file;
    EXPECT_EQ(log.events[0].rfind("close 1 open", 0), 0u) << log.events[0];
    EXPECT_EQ(log.events[1], "abandoned 0 0");
  }
}

}  // namespace
}  // namespace rekendo
