// The real window, driven as a learner would: clicks, keys, ticks, and what it draws.
#include <QAbstractItemView>
#include <QCompleter>
#include <QFileDialog>
#include <QImage>
#include <QLineEdit>
#include <QTimer>

#include "display_text.h"
#include "window_fixture.h"

namespace rekendo::testing {
namespace {

QStringList KeyNamesInTableOrder() {
  QStringList names;
  for (const KeyDef& key : kKeypad) {
    names << QString::fromUtf8(key.object_name.data(),
                               static_cast<qsizetype>(key.object_name.size()));
  }
  return names;
}

TEST_F(WindowTest, KeyClicksBuildTheAnswerLineAndTheRoundScoresIt) {
  WriteStandardDataFiles();
  Open();
  ChooseProblems("十二．五は？\r\n１２．５\r\n");
  Click("startButton");
  EXPECT_EQ(Text("questionNumber"), QStringLiteral("問題1"));
  EXPECT_EQ(Text("problemPanel"), QStringLiteral("十二．五は？"));
  EXPECT_EQ(Text("score"), QStringLiteral("０点"));

  for (const char* key : {"key1", "key2", "keyPoint", "key5"}) Click(key);
  EXPECT_EQ(Text("answerLine"), QStringLiteral("１２．５"));
  Click("clearKey");
  EXPECT_EQ(Text("answerLine"), QString());
  for (const char* key : {"key1", "key2", "keyPoint", "key5"}) Click(key);
  Click("submitKey");
  EXPECT_EQ(Text("verdict"), QStringLiteral("正解"));
  EXPECT_EQ(Text("score"), QStringLiteral("10点"));
  EXPECT_FALSE(MainWindowPeer(*form).Timer().isActive());
  EXPECT_EQ(Text("problemPanel"), QStringLiteral("十二．五は？\n\n答えは\n\n１２．５"));
}

TEST_F(WindowTest, TimeOutClosesTheQuestionAndTheBarFillsItsFrame) {
  WriteStandardDataFiles();
  Open();
  ChooseProblems("問\r\n１$２\r\n");
  Click("startButton");
  Click("key3");
  Ticks(39);
  EXPECT_EQ(Text("secondsLeft"), QStringLiteral("1"));
  Ticks(1);
  EXPECT_EQ(Text("secondsLeft"), QStringLiteral("0"));
  EXPECT_EQ(Text("verdict"), QStringLiteral("誤り"));
  EXPECT_EQ(Text("answerLine"), QStringLiteral("３"));
  EXPECT_EQ(Text("problemPanel"), QStringLiteral("問\n\n答えは\n\n１ または ２"));
  EXPECT_FALSE(MainWindowPeer(*form).Timer().isActive());
  const QWidget* bar = form->findChild<QWidget*>(QStringLiteral("countdownBar"));
  EXPECT_EQ(bar->geometry(), QRect(552, 48, 25, 600));
}

// Red rows of the rendered window in the bar's column.
int RedRowsAbove648(const QImage& image) {
  int rows = 0;
  for (int y = 646; y >= 0 && image.pixelColor(564, y) == QColor(Qt::red); --y) ++rows;
  return rows;
}

TEST_F(WindowTest, CountdownBarGrowsUpwardFifteenPixelsATick) {
  WriteStandardDataFiles();
  Open();
  ChooseProblems("問\r\n１\r\n");
  Click("startButton");
  EXPECT_EQ(RedRowsAbove648(form->grab().toImage()), 0);
  for (int k = 1; k <= 3; ++k) {
    Ticks(1);
    const QImage image = form->grab().toImage();
    // The frame's bottom edge covers the bar's last row and its outline is black: 15k − 2
    // red rows, with the outline's top row just above them.
    EXPECT_EQ(RedRowsAbove648(image), 15 * k - 2) << k;
    EXPECT_EQ(image.pixelColor(564, 648 - 15 * k), QColor(Qt::black)) << k;
    EXPECT_EQ(image.pixelColor(564, 648 - 15 * k - 1), QColor(0xFF, 0x80, 0xFF)) << k;
  }
}

TEST_F(WindowTest, FocusStartsOnZeroAndTabFollowsTheKeypadThenTheCommands) {
  WriteStandardDataFiles();
  Open();
  EXPECT_EQ(QApplication::focusWidget(), Button("key0"));
  QStringList order;
  for (int i = 0; i < 33; ++i) {
    order << QApplication::focusWidget()->objectName();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  }
  QStringList expected = KeyNamesInTableOrder();
  expected << "chooseFileButton"
           << "startButton"
           << "nextButton"
           << "quitButton";
  EXPECT_EQ(order, expected);
  EXPECT_EQ(QApplication::focusWidget(), Button("key0"));  // and round again
}

TEST_F(WindowTest, EnterAndSpacePressTheFocusedKeyAndTypingDoesNothing) {
  WriteStandardDataFiles();
  Open();
  ChooseProblems("問\r\n１\r\n");
  Click("startButton");
  Click("key5");  // a click also moves the focus to the key
  ASSERT_EQ(QApplication::focusWidget(), Button("key5"));
  QTest::keyClick(Button("key5"), Qt::Key_Return);
  QTest::keyClick(Button("key5"), Qt::Key_Enter);
  QTest::keyClick(Button("key5"), Qt::Key_Space);
  QTest::qWait(400);  // Enter animates the press
  QTest::keyClicks(Button("key5"), "7x+");
  QTest::keyClicks(form.get(), "12");
  EXPECT_EQ(Text("answerLine"), QStringLiteral("５５５５"));
}

TEST_F(WindowTest, FirstActivationLoadsOnceAndGivesTwoLineCaptions) {
  WriteDataFiles("零\r\n", "雑学\r\n１\r\n");
  Open();
  EXPECT_TRUE(form->HasBeenActivated());
  EXPECT_EQ(Button("startButton")->text(), QStringLiteral("Let's\nCharenge!"));
  EXPECT_EQ(Button("nextButton")->text(), QStringLiteral("Next\nQuestion"));
  EXPECT_EQ(form->drill().Bank().trivia_count, 1);

  // Leaving for another window and coming back reads nothing and stops nothing.
  ChooseProblems("問\r\n１\r\n");
  Click("startButton");
  WriteDataFiles("零\r\n", "雑学\r\n１\r\n二\r\n２\r\n");
  QWidget other;
  other.show();
  other.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
  form->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
  EXPECT_EQ(form->drill().Bank().trivia_count, 1);
  EXPECT_TRUE(MainWindowPeer(*form).Timer().isActive());
  EXPECT_TRUE(reported.empty());
}

TEST_F(WindowTest, MissingJudgementFileIsReportedAndCaptionsStayOnOneLine) {
  Open();
  ASSERT_EQ(reported.size(), 1u);
  EXPECT_EQ(reported[0], Sjis("ファイルが見つかりません"));
  EXPECT_EQ(Button("startButton")->text(), QStringLiteral("Let's Charenge!"));
  EXPECT_EQ(Button("nextButton")->text(), QStringLiteral("Next Question"));
  EXPECT_FALSE(MainWindowPeer(*form).Timer().isActive());
  // The window stays usable.
  ChooseProblems("問\r\n１\r\n");
  Click("startButton");
  EXPECT_EQ(Text("questionNumber"), QStringLiteral("問題1"));
}

TEST_F(WindowTest, FailedProblemLoadReportsAndTheRoundGoesOn) {
  WriteStandardDataFiles();
  Open();
  ChooseProblems("問\r\n１\r\n");
  Click("startButton");
  Ticks(3);
  chosen_file = dir.Path("vanished.mon");
  Click("chooseFileButton");
  ASSERT_EQ(reported.size(), 1u);
  EXPECT_EQ(reported[0], Sjis("ファイルが見つかりません"));
  EXPECT_TRUE(MainWindowPeer(*form).Timer().isActive());
  EXPECT_EQ(Text("secondsLeft"), QStringLiteral("37"));
  Ticks(1);
  EXPECT_EQ(Text("secondsLeft"), QStringLiteral("36"));
  Click("key1");
  Click("submitKey");
  EXPECT_EQ(Text("score"), QStringLiteral("10点"));
}

TEST_F(WindowTest, TimerKeepsItsPhaseWhenTheNextQuestionEnablesItAgain) {
  WriteStandardDataFiles();
  Open();
  ChooseProblems("問\r\n１\r\n");
  Click("startButton");
  QTest::qWait(600);
  Click("nextButton");
  ASSERT_TRUE(MainWindowPeer(*form).Timer().isActive());
  // A restarted timer would be a whole second away again.
  EXPECT_LT(MainWindowPeer(*form).Timer().remainingTime(), 800);
  EXPECT_EQ(MainWindowPeer(*form).Timer().interval(), 1000);
  EXPECT_EQ(MainWindowPeer(*form).Timer().timerType(), Qt::PreciseTimer);
}

TEST_F(WindowTest, DialogOffersTheLastConfirmedChoiceAndACancelChangesNothing) {
  WriteStandardDataFiles();
  Open();
  form->SetFileChooser(nullptr);  // the real dialog
  const std::string first = dir.Write("first.txt", Sjis("問\r\n１\r\n"));
  QFileDialog& dialog = MainWindowPeer(*form).FileDialog();
  QString filter_seen;
  QTimer::singleShot(0, &dialog, [&] {
    filter_seen = dialog.selectedNameFilter();
    dialog.selectNameFilter(dialog.nameFilters().at(1));
    dialog.selectFile(QString::fromStdString(first));
    static_cast<QDialog&>(dialog).accept();
  });
  Click("chooseFileButton");
  EXPECT_EQ(filter_seen, QStringLiteral("問題ファイル (*.mon)"));
  EXPECT_EQ(form->drill().Bank().problem_count, 1);

  QStringList offered;
  QTimer::singleShot(0, &dialog, [&] {
    offered << dialog.selectedNameFilter() << dialog.selectedFiles().value(0);
    dialog.setDirectory(QDir::rootPath());
    dialog.selectNameFilter(dialog.nameFilters().at(2));
    dialog.reject();
  });
  Click("chooseFileButton");
  EXPECT_EQ(offered, (QStringList{"text files (*.txt)", QString::fromStdString(first)}));
  EXPECT_EQ(form->drill().Bank().problem_count, 0);

  offered.clear();
  QTimer::singleShot(0, &dialog, [&] {
    offered << dialog.selectedNameFilter() << dialog.selectedFiles().value(0);
    // A typed name of a missing file is taken; the load then reports it.
    auto* name = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    name->clear();
    QTest::keyClicks(name, QStringLiteral("missing.mon"));
    static_cast<QDialog&>(dialog).accept();
  });
  Click("chooseFileButton");
  EXPECT_EQ(offered, (QStringList{"text files (*.txt)", QString::fromStdString(first)}));
  ASSERT_EQ(reported.size(), 1u);
  EXPECT_EQ(reported[0], Sjis("ファイルが見つかりません"));
}

TEST_F(WindowTest, NoCompletionListStaysOverTheWindowAfterTheDialog) {
  WriteStandardDataFiles();
  dir.Write("kakezan.mon", Sjis("問\r\n１\r\n"));
  Open();
  form->SetFileChooser(nullptr);  // the real dialog, over a folder it has not listed yet
  QFileDialog& dialog = MainWindowPeer(*form).FileDialog();
  bool list_shown = false;
  QTimer::singleShot(0, &dialog, [&] {
    auto* name = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    name->clear();
    QTest::keyClicks(name, QStringLiteral("kakezan.mon"));
    // The folder is listed in the background and the list opens once it is; with real keys
    // under X, Enter can then accept the dialog without closing the list.
    list_shown = QTest::qWaitFor([&] { return name->completer()->popup()->isVisible(); }, 3000);
    static_cast<QDialog&>(dialog).accept();
  });
  Click("chooseFileButton");
  EXPECT_TRUE(list_shown);
  EXPECT_EQ(form->drill().Bank().problem_count, 1);
  for (const QWidget* top : QApplication::topLevelWidgets()) {
    EXPECT_FALSE(top != form.get() && top->isVisible()) << top->metaObject()->className();
  }
}

TEST_F(WindowTest, AHugeProblemLineShowsItsBeginningWithoutStallingTheWindow) {
  WriteStandardDataFiles();
  Open();
  // 4 MB of one line: the drill keeps it whole, the panel shows what fits and more.
  std::string huge = "\x82\x60";  // Ａ, so the cut falls inside a character if miscounted
  huge.append(4 * 1024 * 1024, 'x');
  chosen_file = dir.Write("huge.mon", huge + "\r\n" + Sjis("１") + "\r\n");
  Click("chooseFileButton");
  Click("startButton");
  EXPECT_EQ(form->drill().PanelText().size(), huge.size());
  const QString shown = Text("problemPanel");
  EXPECT_TRUE(shown.startsWith(QStringLiteral("Ａxxx")));
  EXPECT_EQ(shown.size(), static_cast<qsizetype>(kMaxShownBytes - 1));
  EXPECT_FALSE(shown.contains(QChar(0xFFFD)));
}

}  // namespace
}  // namespace rekendo::testing
