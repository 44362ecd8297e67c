// The learner's settings in the window: typing on the physical keyboard (off: nothing typed),
// 拡大 filling a large screen by one factor, the announcements, and the settings kept.
#include <QSettings>

#include <QDoubleSpinBox>
#include "drill_settings.h"
#include "keypad_layout.h"
#include "settings_dialog.h"
#include "window_fixture.h"

namespace rekendo::testing {
namespace {

// The bytes the keypad's own keys type for `names`, one after the other.
std::string KeypadBytes(std::initializer_list<std::string_view> names) {
  std::string bytes;
  for (const std::string_view name : names) {
    for (const KeyDef& key : kKeypad) {
      if (key.object_name == name) bytes += key.sjis;
    }
  }
  return bytes;
}

class SettingsWindowTest : public WindowTest {
 protected:
  void OpenWithAProblem() {
    WriteStandardDataFiles();
    Open();
    ChooseProblems("問\r\n（ｘ＋１）＾２\r\n");
    Click("startButton");
    Button("key0")->setFocus();
  }
  std::string Typed() const { return form->drill().Snapshot().typed_answer; }
};

TEST_F(SettingsWindowTest, TypingOffTheKeyboardTypesNothingAsBefore) {
  OpenWithAProblem();
  QTest::keyClicks(QApplication::focusWidget(), "12x+-()/.^rabclmnyz");
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
  EXPECT_EQ(Typed(), "");
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);  // still presses ゼロ
  EXPECT_EQ(Typed(), KeypadBytes({"key0"}));
}

TEST_F(SettingsWindowTest, TypingOnTypesTheKeypadsBytesEnterSubmitsEscapeClears) {
  OpenWithAProblem();
  form->SetKeyboardTyping(true);
  QTest::keyClicks(QApplication::focusWidget(), "0123456789abclmnxyz+-()/.^r");
  EXPECT_EQ(Typed(), KeypadBytes({"key0", "key1", "key2", "key3", "key4", "key5", "key6",
                                  "key7", "key8", "key9", "keyA", "keyB", "keyC", "keyL",
                                  "keyM", "keyN", "keyX", "keyY", "keyZ", "keyPlus",
                                  "keyMinus", "keyOpenParen", "keyCloseParen", "keySlash",
                                  "keyPoint", "keyPower", "keyRoot"}));
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
  EXPECT_EQ(Typed(), "");
  QTest::keyClick(QApplication::focusWidget(), 'q');  // no key types q
  QTest::keyClick(QApplication::focusWidget(), 'x', Qt::ControlModifier);
  EXPECT_EQ(Typed(), "");
  QTest::keyClicks(QApplication::focusWidget(), "(x+1)^2");
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
  EXPECT_TRUE(form->drill().Snapshot().scored);
  EXPECT_EQ(Text("verdict"), QStringLiteral("正解"));

  // On a command button Enter presses the button, and the characters still type.
  Button("nextButton")->setFocus();
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
  EXPECT_EQ(Text("questionNumber"), QStringLiteral("問題2"));
  QTest::keyClick(QApplication::focusWidget(), '7');
  EXPECT_EQ(Typed(), KeypadBytes({"key7"}));
}

// A mouse click on Let's Charenge! must not leave it holding Enter: the typed answer is
// submitted, not the round restarted; Backspace clears as 取消 does.
TEST_F(SettingsWindowTest, TypingOnTheAnswerOwnsEnterWhicheverButtonWasClicked) {
  WriteStandardDataFiles();
  Open();
  ChooseProblems("問\r\n（ｘ＋１）＾２\r\n");
  form->SetKeyboardTyping(true);
  QPushButton* start = Button("startButton");
  QTest::mouseClick(start, Qt::LeftButton);
  ASSERT_EQ(Text("questionNumber"), QStringLiteral("問題1"));
  EXPECT_NE(QApplication::focusWidget(), start);
  // Even with the focus on it (reached by Tab, say), Enter answers while the question is open.
  start->setFocus();
  QTest::keyClicks(start, "(x+1)^3");
  QTest::keyClick(start, Qt::Key_Backspace);
  EXPECT_EQ(Typed(), "");
  QTest::keyClicks(start, "(x+1)^2");
  QTest::keyClick(start, Qt::Key_Return);
  EXPECT_EQ(Text("questionNumber"), QStringLiteral("問題1"));
  EXPECT_EQ(Text("verdict"), QStringLiteral("正解"));
  // Typing off again: a click gives the button the focus, as it always did.
  form->SetKeyboardTyping(false);
  QTest::mouseClick(Button("nextButton"), Qt::LeftButton);
  EXPECT_EQ(QApplication::focusWidget(), Button("nextButton"));
}

TEST_F(SettingsWindowTest, FillingTheScreenScalesEverythingByOneFactor) {
  const Scale full_hd = Scale::ToFill({1920, 1080});
  EXPECT_DOUBLE_EQ(full_hd.factor, 1080.0 / 768.0);
  EXPECT_EQ(full_hd.WindowSize(), QSize(1440, 1080));
  EXPECT_DOUBLE_EQ(Scale::ToFill({1024, 600}).factor, Scale::ToFit({1024, 600}).factor);
  EXPECT_DOUBLE_EQ(Scale::ToFit({1920, 1080}).factor, 1.0);  // without 拡大 it stays 1024 x 768

  WriteStandardDataFiles();
  form = std::make_unique<MainWindow>(full_hd);
  form->show();
  EXPECT_EQ(form->frameGeometry().size(), QSize(1440, 1080));  // frame included
  const QWidget* key = Button("submitKey");
  EXPECT_EQ(key->geometry(), full_hd.Rect({800, 552, 97, 129}));
  EXPECT_EQ(key->font().pixelSize(), full_hd.Length(24));
  const QWidget* frame = form->findChild<QWidget*>(QStringLiteral("countdownFrame"));
  EXPECT_EQ(frame->geometry().bottom() + 1, full_hd.Position(BarFrame::kTop + BarFrame::kHeight));
}

TEST_F(SettingsWindowTest, LabelsAreNamedByTheirRoleAndDescribeWhatTheyShow) {
  OpenWithAProblem();
  EXPECT_EQ(LabelNamed("problemPanel")->accessibleName(), QStringLiteral("問題"));
  EXPECT_EQ(LabelNamed("problemPanel")->accessibleDescription(), QStringLiteral("問"));
  EXPECT_EQ(LabelNamed("secondsLeft")->accessibleName(), QStringLiteral("残り秒数"));
  EXPECT_EQ(LabelNamed("secondsLeft")->accessibleDescription(), QStringLiteral("40"));
  EXPECT_EQ(Button("startButton")->accessibleName(), QStringLiteral("Let's Charenge!"));
  EXPECT_EQ(Button("nextButton")->accessibleName(), QStringLiteral("Next Question"));
  EXPECT_FALSE(Button("settingsButton")->isVisible());  // until the program gives it a dialog
}

TEST(DrillSettingsStore, KeepsEveryChoiceAndReadsNonsenseAsTheDefault) {
  TempDir dir;
  const QString path = QString::fromStdString(dir.Path("settings.ini"));
  DrillSettingsStore store(path);
  EXPECT_EQ(store.Load(), DrillSettings{});
  for (const std::optional<int> limit : {std::optional<int>(60), std::optional<int>(80),
                                         std::optional<int>(std::nullopt)}) {
    const DrillSettings chosen{limit, true, true};
    store.Save(chosen);
    EXPECT_EQ(DrillSettingsStore(path).Load(), chosen);
  }
  QSettings(path, QSettings::IniFormat).setValue("drill/time_limit_seconds", 7);
  EXPECT_EQ(DrillSettingsStore(path).Load().time_limit_seconds, 40);

  SettingsDialog dialog(DrillSettings{80, true, false}, nullptr);
  EXPECT_EQ(dialog.Chosen(), (DrillSettings{80, true, false}));
}

TEST(DrillSettingsStore, KeepsTheRetentionAndPracticeSizeWithinTheirRanges) {
  TempDir dir;
  const QString path = QString::fromStdString(dir.Path("settings.ini"));
  DrillSettings chosen;
  chosen.retention = 0.85;
  chosen.practice_size = 35;
  chosen.mastery = {4, 5};
  DrillSettingsStore(path).Save(chosen);
  EXPECT_EQ(DrillSettingsStore(path).Load(), chosen);
  // A hand-edited file out of range falls back rather than scheduling nonsense.
  QSettings(path, QSettings::IniFormat).setValue("schedule/retention", 0.5);
  QSettings(path, QSettings::IniFormat).setValue("schedule/practice_size", 500);
  EXPECT_EQ(DrillSettingsStore(path).Load().retention, 0.90);
  EXPECT_EQ(DrillSettingsStore(path).Load().practice_size, 20);
  QSettings(path, QSettings::IniFormat).setValue("schedule/mastery_right", 6);  // of 5
  EXPECT_EQ(DrillSettingsStore(path).Load().mastery, schedule::MasteryRule{});

  SettingsDialog dialog(chosen, nullptr);
  EXPECT_EQ(dialog.Chosen(), chosen);
  auto* retention = dialog.findChild<QDoubleSpinBox*>(QStringLiteral("retention"));
  ASSERT_NE(retention, nullptr);
  EXPECT_EQ(retention->accessibleName(), QStringLiteral("復習の目標正答率"));
  EXPECT_EQ(retention->text(), QStringLiteral("85 %"));  // as teachers speak of it
  retention->setValue(99);  // the box holds it to the scheduler's range
  EXPECT_EQ(dialog.Chosen().retention, 0.97);
  // Fewer questions than right answers cannot be chosen.
  dialog.findChild<QSpinBox*>(QStringLiteral("masteryLast"))->setValue(3);
  EXPECT_EQ(dialog.Chosen().mastery, (schedule::MasteryRule{3, 3}));
}

}  // namespace
}  // namespace rekendo::testing
