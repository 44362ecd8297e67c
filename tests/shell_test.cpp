// The application shell: its title, and how failures reach the learner.
#include <gtest/gtest.h>

#include "application_title.h"
#include "error_report.h"
#include "window_fixture.h"

namespace rekendo::testing {
namespace {

TEST(ApplicationTitle, FolderDroppedCutAtFirstPeriodLowerCasedAfterTheFirst) {
  EXPECT_EQ(ApplicationTitle("/usr/bin/rekendo"), "rekendo");
  EXPECT_EQ(ApplicationTitle("/opt/Drills/REKENDO"), "Rekendo");
  EXPECT_EQ(ApplicationTitle("/home/x/my.app.v2.exe"), "my");
  EXPECT_EQ(ApplicationTitle("/a.b/ReKenDo.Bin"), "Rekendo");
  EXPECT_EQ(ApplicationTitle("rekendo"), "rekendo");
  EXPECT_EQ(ApplicationTitle("/x/.hidden"), "");
  EXPECT_EQ(ApplicationTitle("/x/Ärger"), "Ärger");  // bytes above ASCII are left alone
}

TEST(ClosingPeriod, AddedAfterCharactersThatSortAfterPeriod) {
  EXPECT_EQ(WithClosingPeriod(Sjis("ファイルが見つかりません")), Sjis("ファイルが見つかりません."));
  EXPECT_EQ(WithClosingPeriod("disk full"), "disk full.");
  EXPECT_EQ(WithClosingPeriod("code 5"), "code 5.");
  EXPECT_EQ(WithClosingPeriod("/"), "/.");
  for (const char* unchanged : {"I/O (32)", "done.", "stop!", "gap ", "a-", ""}) {
    EXPECT_EQ(WithClosingPeriod(unchanged), unchanged);
  }
  // A double-byte character whose trail byte is "(" or "." still counts as one character.
  EXPECT_EQ(WithClosingPeriod("x\x81\x2E"), "x\x81\x2E.");
  EXPECT_EQ(WithClosingPeriod("\x82\xA0"
                              "\x28"),
            "\x82\xA0\x28");
  // A lead byte cut off at the end is a character of its own above ".".
  EXPECT_EQ(WithClosingPeriod("ab\x82"), "ab\x82.");
}

struct Shown {
  QWidget* owner;
  QString title;
  QString text;
};

class ShellTest : public WindowTest {
 protected:
  void OpenWithReporter() {
    form = std::make_unique<MainWindow>();
    reporter = std::make_unique<ErrorReporter>(QStringLiteral("rekendo"), form.get());
    reporter->SetShow([this](QWidget* owner, const QString& title, const QString& text) {
      boxes.push_back({owner, title, text});
    });
    form->SetErrorReporter([this](std::string_view message) { reporter->Report(message); });
    form->SetFileChooser([this] { return chosen_file; });
    form->show();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
  }
  std::unique_ptr<ErrorReporter> reporter;
  std::vector<Shown> boxes;
};

TEST_F(ShellTest, MissingJudgementFileAtStartShowsOneBoxAndTheWindowStaysUsable) {
  OpenWithReporter();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].owner, form.get());
  EXPECT_EQ(boxes[0].title, QStringLiteral("rekendo"));
  EXPECT_EQ(boxes[0].text, QStringLiteral("ファイルが見つかりません."));
  EXPECT_EQ(Button("startButton")->text(), QStringLiteral("Let's Charenge!"));

  ChooseProblems("問\r\n１\r\n");
  Click("startButton");
  EXPECT_TRUE(MainWindowPeer(*form).Timer().isActive());
  EXPECT_EQ(boxes.size(), 1u);
}

TEST_F(ShellTest, AVanishedProblemFileIsOneBoxAndTheRoundGoesOn) {
  WriteStandardDataFiles();
  OpenWithReporter();
  ASSERT_TRUE(boxes.empty());
  ChooseProblems("問\r\n１\r\n");
  Click("startButton");
  Ticks(2);
  chosen_file = dir.Path("gone.mon");
  Click("chooseFileButton");
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, QStringLiteral("ファイルが見つかりません."));
  Ticks(38);
  EXPECT_EQ(Text("verdict"), QStringLiteral("誤り"));
  EXPECT_EQ(Text("problemPanel"), QStringLiteral("\n\n答えは\n\n１"));
}

TEST_F(ShellTest, ErrorCodesWithoutATextOfTheirOwnGetNoPeriod) {
  OpenWithReporter();
  boxes.clear();
  reporter->Report(Sjis("I/O エラー (32)"));
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, QStringLiteral("I/O エラー (32)"));
}

}  // namespace
}  // namespace rekendo::testing
