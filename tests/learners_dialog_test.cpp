// 学習者 in the real window: the PIN set at first use and a wrong one refused, choosing a
// learner names them on the status line (and a single learner sees nothing new), removing
// one asks first, naming the rounds that go with them.
#include <QSqlDatabase>
#include <QSqlQuery>
#include <deque>

#include "companions.h"
#include "learners_dialog.h"
#include "window_fixture.h"

namespace rekendo::testing {
namespace {

constexpr const char* kProblems = "１＋１は？\r\n２\r\n";

class LearnersDialogTest : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    WriteStandardDataFiles();
    Open();
    companions = std::make_unique<Companions>(*form, QString::fromStdString(dir.Path("data")));
  }
  void TearDown() override {
    companions.reset();
    WindowTest::TearDown();
  }
  // A dialog whose questions are answered from `pins` and `names`, its warnings kept.
  std::unique_ptr<LearnersDialog> Dialog() {
    auto dialog = std::make_unique<LearnersDialog>(companions->Record(), [] {}, form.get());
    dialog->Gate().SetAskPin([this](const QString&) -> std::optional<QString> {
      if (pins.empty()) return std::nullopt;
      const QString pin = pins.front();
      pins.pop_front();
      return pin;
    });
    dialog->Gate().SetTell([this](const QString& message) { told.push_back(message); });
    dialog->SetAskName([this](const QString&, const QString&) -> std::optional<QString> {
      if (names.empty()) return std::nullopt;
      const QString name = names.front();
      names.pop_front();
      return name;
    });
    dialog->SetConfirm([this](const QString& question) {
      asked.push_back(question);
      return confirm;
    });
    return dialog;
  }
  QString StatusLine() const {
    for (QLabel* label : form->findChildren<QLabel*>()) {
      if (label->accessibleName() == QStringLiteral("状況")) return label->text();
    }
    return {};
  }
  std::vector<QString> Names() {
    std::vector<QString> names;
    const auto learners = companions->Record().Learners();
    EXPECT_TRUE(learners);
    if (!learners) return names;
    for (const auto& learner : *learners) names.push_back(learner.name);
    return names;
  }

  std::unique_ptr<Companions> companions;
  std::deque<QString> pins;
  std::deque<QString> names;
  std::vector<QString> told;
  std::vector<QString> asked;
  bool confirm = false;
};

TEST_F(LearnersDialogTest, ThePinIsSetAtFirstUseAndAWrongOneChangesNothing) {
  QCoreApplication::processEvents();
  EXPECT_FALSE(StatusLine().contains(QStringLiteral("："))) << StatusLine().toStdString();
  {
    // Two different PINs at first use: no PIN, no learner.
    pins = {QStringLiteral("2468"), QStringLiteral("2469")};
    names = {QStringLiteral("たろう")};
    auto dialog = Dialog();
    dialog->AddLearner();
    EXPECT_EQ(Names().size(), 1u);
    EXPECT_FALSE(companions->Record().TeacherPinHash());
    ASSERT_EQ(told.size(), 1u);
  }
  {
    pins = {QStringLiteral("2468"), QStringLiteral("2468")};
    auto dialog = Dialog();
    dialog->AddLearner();
    dialog->AddLearner();  // asked once per dialog
    EXPECT_EQ(Names().size(), 2u);
    EXPECT_TRUE(companions->Record().TeacherPinHash());
  }
  {
    told.clear();
    pins = {QStringLiteral("1357")};
    names = {QStringLiteral("じろう")};
    auto dialog = Dialog();
    dialog->AddLearner();
    dialog->RenameSelected();
    dialog->RemoveSelected();
    EXPECT_EQ(Names().size(), 2u);
    ASSERT_FALSE(told.empty());
    EXPECT_TRUE(told[0].startsWith(QStringLiteral("暗証番号が違います。"))) << told[0].toStdString();
    EXPECT_TRUE(asked.empty());
  }
}

// Choosing another learner while a round is under way asks first, and the round goes on as
// the learner's who started it.
TEST_F(LearnersDialogTest, AMidRoundSwitchAsksFirstAndTheRoundStaysWithItsLearner) {
  pins = {QStringLiteral("2468"), QStringLiteral("2468")};
  names = {QStringLiteral("はなこ")};
  Dialog()->AddLearner();
  ASSERT_EQ(Names().size(), 2u);
  const qint64 first = companions->Record().CurrentLearnerId();
  ChooseProblems("問\r\n１\r\n");
  Click("startButton");
  ASSERT_EQ(form->drill().Snapshot().stage, Stage::kRunning);
  qint64 hanako = -1;
  const auto learners = companions->Record().Learners();
  ASSERT_TRUE(learners);
  for (const auto& learner : *learners) {
    if (learner.name == QStringLiteral("はなこ")) hanako = learner.id;
  }
  ASSERT_NE(hanako, -1);
  const auto choose_hanako = [&] {
    auto dialog = Dialog();
    dialog->SetRoundUnderWay([this] { return form->drill().Snapshot().stage == Stage::kRunning; });
    dialog->Select(hanako);
    dialog->ChooseSelected();
  };
  confirm = false;
  choose_hanako();
  ASSERT_EQ(asked.size(), 1u);
  EXPECT_TRUE(asked[0].startsWith(QStringLiteral("回の途中です。"))) << asked[0].toStdString();
  EXPECT_EQ(companions->Record().CurrentLearnerId(), first);
  confirm = true;
  choose_hanako();
  EXPECT_EQ(companions->Record().CurrentLearnerId(), hanako);
  // The round under way is still the first learner's, in the file.
  QSqlDatabase peek = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("switch"));
  peek.setDatabaseName(companions->Record().FilePath());
  ASSERT_TRUE(peek.open());
  {
    QSqlQuery query(peek);
    ASSERT_TRUE(query.exec(QStringLiteral("SELECT learner_id FROM rounds WHERE ending = 'open'")));
    ASSERT_TRUE(query.next());
    EXPECT_EQ(query.value(0).toLongLong(), first);
  }
  peek.close();
  peek = {};
  QSqlDatabase::removeDatabase(QStringLiteral("switch"));
}

// Each wrong PIN in a row doubles the wait before the PIN is asked again (1 s, 2 s … a minute
// at most), on screen, and kept in the record across dialogs; the right one clears it; a
// forgotten PIN is forgotten by the administrator's command, and the next change sets one.
TEST_F(LearnersDialogTest, WrongPinsCostAGrowingWaitAndAForgottenPinCanBeReset) {
  EXPECT_EQ(TeacherGate::WaitAfterMs(0), 0);
  std::vector<qint64> waits;
  for (int failures = 1; failures <= 8; ++failures) waits.push_back(TeacherGate::WaitAfterMs(failures));
  EXPECT_EQ(waits, (std::vector<qint64>{1000, 2000, 4000, 8000, 16000, 32000, 60000, 60000}));

  pins = {QStringLiteral("2468"), QStringLiteral("2468")};
  Dialog()->AddLearner();  // sets the PIN (no name given: nothing added)
  ASSERT_TRUE(companions->Record().TeacherPinHash());
  qint64 now = 1'800'000'000'000;
  const auto try_pin = [&](const QString& pin) {
    pins = {pin};
    auto dialog = Dialog();
    dialog->Gate().SetClock([&now] { return now; });
    const bool unlocked = dialog->Gate().Unlock();
    EXPECT_EQ(pins.empty(), true) << "the PIN was asked";
    return unlocked;
  };
  told.clear();
  EXPECT_FALSE(try_pin(QStringLiteral("1111")));
  EXPECT_EQ(told.back(), QStringLiteral("暗証番号が違います。次は 1 秒たってから入れられます。"));
  now += 500;
  {
    pins = {QStringLiteral("2468")};
    auto dialog = Dialog();
    dialog->Gate().SetClock([&now] { return now; });
    EXPECT_FALSE(dialog->Gate().Unlock());
    EXPECT_EQ(pins.size(), 1u) << "asked during the wait";
    EXPECT_EQ(told.back(),
              QStringLiteral("暗証番号を 1 回続けてまちがえたので、あと 1 秒待ってから入れてください。"));
  }
  now += 500;
  EXPECT_FALSE(try_pin(QStringLiteral("2222")));
  EXPECT_EQ(told.back(), QStringLiteral("暗証番号が違います。次は 2 秒たってから入れられます。"));
  EXPECT_EQ(companions->Record().TeacherPinFailures().count, 2);
  now += 2000;
  EXPECT_TRUE(try_pin(QStringLiteral("2468")));
  EXPECT_EQ(companions->Record().TeacherPinFailures().count, 0);

  ASSERT_TRUE(companions->Record().ForgetTeacherPin());
  EXPECT_FALSE(companions->Record().TeacherPinHash());
}

TEST_F(LearnersDialogTest, TheChosenLearnerIsNamedAndRemovingThemSaysWhatGoes) {
  pins = {QStringLiteral("2468"), QStringLiteral("2468")};
  names = {QStringLiteral("たろう")};
  auto dialog = Dialog();
  dialog->AddLearner();  // selected once added
  dialog->ChooseSelected();
  companions->Learners().ShowLearner();
  EXPECT_TRUE(StatusLine().startsWith(QStringLiteral("たろう："))) << StatusLine().toStdString();

  // Taro plays a round.
  chosen_file = dir.Write("p.mon", Sjis(kProblems));
  Click("chooseFileButton");
  Click("startButton");
  for (int q = 1; q <= kQuestionsPerRound; ++q) Click("nextButton");
  ASSERT_EQ(*companions->Record().LearnerRoundCount(companions->Record().CurrentLearnerId()), 1);

  dialog = Dialog();
  pins = {QStringLiteral("2468")};
  dialog->Select(companions->Record().CurrentLearnerId());
  confirm = false;
  dialog->RemoveSelected();
  ASSERT_EQ(asked.size(), 1u);
  EXPECT_TRUE(asked[0].contains(QStringLiteral("たろう さんの 1 回分"))) << asked[0].toStdString();
  EXPECT_EQ(Names().size(), 2u);
  confirm = true;
  dialog->RemoveSelected();
  EXPECT_EQ(Names().size(), 1u);
  companions->Learners().ShowLearner();
  EXPECT_FALSE(StatusLine().contains(QStringLiteral("たろう"))) << StatusLine().toStdString();
}

}  // namespace
}  // namespace rekendo::testing
