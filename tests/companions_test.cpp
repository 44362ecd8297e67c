// The record as the learner's rounds fill it: played through the real window, with the
// record and generator hooked in as the program does it.
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QSqlQuery>

#include "class_dialog.h"
#include "companions.h"
#include "fake_view.h"
#include "record_queries.h"
#include "window_fixture.h"

namespace rekendo::testing {
namespace {

// One problem and one trivia entry, both answered with ２: any question of a round can be
// answered the same way, whichever kind the draw picks.
constexpr const char* kProblems = "１＋１は？\r\n２\r\n";
constexpr const char* kTrivia = "偶数の素数は？\r\n２\r\n";

// A random state from which a round's ten questions include the trivia entry.
std::uint32_t StateWithTriviaInTheRound(const std::string& problems, const std::string& judgement,
                                        const std::string& trivia) {
  for (std::uint32_t state = 1;; ++state) {
    FakeView view;
    Drill drill(view, [] { return 0u; });
    drill.LoadDataFiles(judgement, trivia);
    drill.ChooseProblemFile([&] { return std::optional<std::string>(problems); });
    drill.SetRandomState(state);
    drill.StartRound();
    for (int q = 1; q < kQuestionsPerRound; ++q) drill.NextQuestion();
    if (drill.Snapshot().trivia_asked) return state;
  }
}

class CompanionsTest : public WindowTest {
 protected:
  void TearDown() override {
    companions.reset();  // before the window it is hooked into
    WindowTest::TearDown();
  }
  std::vector<record::RoundDetail> Rounds() {
    record::Record& record = companions->Record();
    const auto sets = record.SetSummaries();
    EXPECT_TRUE(sets.ok()) << sets.error().Describe();
    if (sets.value().size() != 1) return {};
    return record.RecentRounds(sets.value()[0].hash, 10).value();
  }
  void Answer(const char* key) {
    Click(key);
    Click("submitKey");
  }

  std::unique_ptr<Companions> companions;
};

TEST_F(CompanionsTest, RoundsPlayedInTheWindowLandInTheRecord) {
  WriteStandardDataFiles();
  dir.Write("計算力雑学.zat", Sjis(kTrivia));
  Open();
  companions = std::make_unique<Companions>(*form, QString::fromStdString(dir.Path("data")));
  ChooseProblems(kProblems);
  MainWindowPeer peer(*form);

  // A round left on its fourth question: right, timed out, left with Next, open.
  Click("startButton");
  Answer("key2");
  Click("nextButton");
  Click("key1");
  Ticks(40);
  Click("nextButton");
  Click("nextButton");
  ChooseProblems(kProblems);  // another file ends the round unfinished

  // A whole round with the trivia entry among its questions.
  peer.drill().SetRandomState(StateWithTriviaInTheRound(
      dir.Path("p.mon"), dir.Path("計算力判定文.han"), dir.Path("計算力雑学.zat")));
  Click("startButton");
  for (int q = 1; q <= kQuestionsPerRound; ++q) {
    Answer("key2");
    Click("nextButton");
  }

  const std::vector<record::RoundDetail> rounds = Rounds();
  ASSERT_EQ(rounds.size(), 2u);
  const record::RoundDetail& whole = rounds[0];
  EXPECT_EQ(whole.ending, record::RoundEnding::kFinished);
  EXPECT_EQ(whole.score, 100);
  ASSERT_EQ(whole.questions.size(), 10u);
  int trivia = 0;
  for (const record::QuestionDetail& q : whole.questions) {
    EXPECT_EQ(q.outcome, QuestionOutcome::kRight);
    EXPECT_EQ(q.typed, "２");
    trivia += q.kind == QuestionKind::kTrivia;
  }
  EXPECT_EQ(trivia, 1);

  const record::RoundDetail& left = rounds[1];
  EXPECT_EQ(left.ending, record::RoundEnding::kUnfinished);
  ASSERT_EQ(left.questions.size(), 4u);
  EXPECT_EQ(left.questions[0].outcome, QuestionOutcome::kRight);
  EXPECT_EQ(left.questions[1].outcome, QuestionOutcome::kWrongAtTimeUp);
  EXPECT_EQ(left.questions[1].typed, "１");
  EXPECT_EQ(left.questions[1].seconds_used, 40);
  EXPECT_EQ(left.questions[2].outcome, QuestionOutcome::kLeft);
  EXPECT_EQ(left.questions[3].outcome, QuestionOutcome::kOpenAtEnd);
  EXPECT_EQ(left.questions[0].text, "１＋１は？");
}

TEST_F(CompanionsTest, BandButtonsAppearWithTheCompanions) {
  WriteStandardDataFiles();
  Open();
  companions = std::make_unique<Companions>(*form, QString::fromStdString(dir.Path("data")));
  EXPECT_TRUE(Button("recordButton")->isVisible());
  EXPECT_TRUE(Button("generateButton")->isVisible());
  // Nothing is written until there is something to record.
  EXPECT_FALSE(QFile::exists(QString::fromStdString(dir.Path("data/record.sqlite3"))));
}

TEST_F(CompanionsTest, TodaysPracticeLoadsNewProblemsOfTheLastSetAndSaysHowMany) {
  WriteStandardDataFiles();
  Open();
  companions = std::make_unique<Companions>(*form, QString::fromStdString(dir.Path("data")));
  std::string problems;
  for (int i = 1; i <= 30; ++i) problems += "１＋" + std::to_string(i) + "\r\n２\r\n";
  ChooseProblems(problems);
  // A round skipped through: no answer, so no review, and every problem is still new.
  Click("startButton");
  for (int q = 1; q <= kQuestionsPerRound; ++q) Click("nextButton");
  ASSERT_TRUE(Button("practiceButton")->isVisible());
  Click("practiceButton");
  EXPECT_TRUE(form->LoadedFileName().startsWith(QStringLiteral("今日の練習-")))
      << form->LoadedFileName().toStdString();
  const QString status = form->findChild<QLabel*>(QStringLiteral("statusLine"))->text();
  EXPECT_TRUE(status.contains(
      QStringLiteral("今日の練習：復習 0 問・新しい問題 20 問")))
      << status.toStdString();
  EXPECT_EQ(MainWindowPeer(*form).drill().Bank().problem_count, 20);
}

}  // namespace
}  // namespace rekendo::testing

namespace rekendo::testing {
namespace {

// クラス asks a teacher for the school's server and the learner's number; the connection
// string is there under 詳細設定 for IT staff, and a connection the two fields cannot show
// opens there.
TEST(ClassDialogTest, AsksForTheServerAndTheLearnersNumber) {
  {
    ClassDialog dialog(QString(), QString(), nullptr);
    EXPECT_FALSE(dialog.findChild<QCheckBox*>()->isChecked());
    dialog.SetServerAndLearner(QStringLiteral("rekendo.school.example"), QStringLiteral("s0312"));
    dialog.TryAccept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.Chosen(),
              QStringLiteral("host='rekendo.school.example' dbname=rekendo user='s0312'"));
  }
  {
    ClassDialog dialog(QString(), QString(), nullptr);
    dialog.SetServerAndLearner(QStringLiteral("rekendo.school.example"), QString());
    dialog.TryAccept();
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.findChild<QLabel*>(QStringLiteral("classMessage"))->text(),
              QStringLiteral("学習者の番号を入れてください。"));
    dialog.SetServerAndLearner(QString(), QString());  // both empty: nothing is sent
    dialog.TryAccept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_TRUE(dialog.Chosen().isEmpty());
  }
  {
    // What the fields wrote reads back into them; anything more opens 詳細設定.
    ClassDialog simple(QStringLiteral("host='db.example' dbname=rekendo user='s07'"), QString(),
                       nullptr);
    EXPECT_FALSE(simple.findChild<QCheckBox*>()->isChecked());
    EXPECT_EQ(simple.findChild<QLineEdit*>(QStringLiteral("classLearner"))->text(),
              QStringLiteral("s07"));
    ClassDialog service(QStringLiteral("service=school"), QString(), nullptr);
    EXPECT_TRUE(service.findChild<QCheckBox*>()->isChecked());
    service.TryAccept();
    EXPECT_EQ(service.Chosen(), QStringLiteral("service=school"));
  }
}

}  // namespace
}  // namespace rekendo::testing
