// The 問題を作る dialog: what the teacher picks is what lands in the folder, and a failure
// stays in the dialog.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTest>

#include "generate_dialog.h"
#include "record_support.h"
#include "record_window.h"
#include "round_recorder.h"
#include "temp_files.h"

namespace rekendo {
namespace {

struct DialogParts {
  QComboBox* topic;
  QSpinBox* level;
  QSpinBox* count;
  QPushButton* make;
};

DialogParts Parts(GenerateDialog& dialog) {
  const auto spins = dialog.findChildren<QSpinBox*>();
  QPushButton* make = nullptr;
  for (QPushButton* button : dialog.findChildren<QPushButton*>()) {
    if (button->text() == QStringLiteral("作る")) make = button;
  }
  return {dialog.findChild<QComboBox*>(), spins.at(0), spins.at(1), make};
}

TEST(GenerateDialogTest, EveryTopicAndLevelLeavesEachBoxItsFullHeight) {
  GenerateDialog dialog(QStringLiteral("/nonexistent"));
  dialog.show();
  const DialogParts parts = Parts(dialog);
  auto* example = dialog.findChildren<QLabel*>().at(0);
  for (int topic = 0; topic < parts.topic->count(); ++topic) {
    parts.topic->setCurrentIndex(topic);
    for (int level = parts.level->minimum(); level <= parts.level->maximum(); ++level) {
      parts.level->setValue(level);
      QApplication::processEvents();
      const std::string where = parts.topic->currentText().toStdString() + " " + std::to_string(level);
      EXPECT_GE(parts.level->height(), parts.level->sizeHint().height()) << where;
      EXPECT_GE(parts.count->height(), parts.count->sizeHint().height()) << where;
      EXPECT_GE(example->height(), example->heightForWidth(example->width())) << where;
    }
  }
}

TEST(GenerateDialogTest, WritesTheChosenSetIntoAFolderItMakes) {
  testing::TempDir dir;
  const QString folder = QString::fromStdString(dir.Path("app/generated"));
  GenerateDialog dialog(folder);
  const DialogParts parts = Parts(dialog);
  ASSERT_NE(parts.make, nullptr);
  parts.topic->setCurrentIndex(parts.topic->findText(QStringLiteral("かけ算")));
  parts.level->setValue(1);
  EXPECT_EQ(parts.count->maximum(), 64);  // ２×２ … ９×９
  parts.topic->setCurrentIndex(parts.topic->findText(QStringLiteral("因数分解")));
  parts.level->setValue(2);
  parts.count->setValue(30);
  dialog.show();
  QTest::keyClick(&dialog, Qt::Key_Return);  // 作る is the default button

  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  const QFileInfo written(dialog.WrittenPath());
  EXPECT_TRUE(written.exists());
  EXPECT_EQ(written.absolutePath(), QFileInfo(folder).absoluteFilePath());
  EXPECT_TRUE(written.fileName().startsWith(QStringLiteral("因数分解-レベル2-")));
  EXPECT_TRUE(written.fileName().endsWith(QStringLiteral(".mon")));
  QFile file(dialog.WrittenPath());
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(file.readAll().count("\r\n"), 60);
}

TEST(GenerateDialogTest, AFolderThatCannotBeMadeIsShownInTheDialog) {
  testing::TempDir dir;
  const std::string blocker = dir.Write("generated", "a file where the folder should be");
  GenerateDialog dialog(QString::fromStdString(blocker + "/sets"));
  dialog.show();
  Parts(dialog).make->click();
  EXPECT_NE(dialog.result(), QDialog::Accepted);
  EXPECT_TRUE(dialog.WrittenPath().isEmpty());
  bool shown = false;
  for (QLabel* label : dialog.findChildren<QLabel*>()) {
    shown = shown || (label->isVisible() && label->text().contains(QStringLiteral("sets")));
  }
  EXPECT_TRUE(shown);
}

// A set 問題を作る wrote is known by its bytes with its topic and level; 9 of the last 10 of
// its questions right proposes the next level, with the reason in the dialog.
TEST(GenerateDialogTest, AMasteredLevelProposesTheNextOne) {
  testing::TempDir dir;
  const QString folder = QString::fromStdString(dir.Path("data"));
  record::Record record(folder);
  QString written;
  {
    GenerateDialog dialog(folder + QStringLiteral("/generated"));
    dialog.UseRecord(&record);
    EXPECT_EQ(dialog.findChild<QLabel*>(QStringLiteral("levelProposal")), nullptr);
    DialogParts parts = Parts(dialog);
    parts.topic->setCurrentIndex(parts.topic->findData(QStringLiteral("mul")));
    parts.level->setValue(1);
    parts.count->setValue(10);
    parts.make->click();
    written = dialog.WrittenPath();
    ASSERT_FALSE(written.isEmpty());
  }
  const auto play = [&](const std::vector<QuestionOutcome>& outcomes) {
    record::RoundRecorder recorder(record);
    testing::Drive drive(recorder);
    drive.Load(QFile::encodeName(written).toStdString(), 10);
    drive.Start();
    int number = 0;
    for (const QuestionOutcome outcome : outcomes) {
      ++number;
      drive.Problem(number, number, outcome);
    }
    drive.End(RoundEnd::kFinished, 0, 0);
    ASSERT_FALSE(record.Error()) << record.Error()->Describe();
  };
  const auto right = QuestionOutcome::kRight;
  const auto wrong = QuestionOutcome::kWrongAtTimeUp;
  // 8 of 10, and a question open at the end, which does not count: 練習中.
  play({wrong, QuestionOutcome::kLeft, right, right, right, right, right, right, right, right,
        QuestionOutcome::kOpenAtEnd});
  auto mastery = record.Mastery();
  ASSERT_TRUE(mastery);
  ASSERT_EQ(mastery->size(), 1u);
  EXPECT_EQ(mastery->front().topic, QStringLiteral("mul"));
  EXPECT_EQ(mastery->front().level, 1);
  EXPECT_EQ(mastery->front().counted, 10);
  EXPECT_EQ(mastery->front().mastery, schedule::Mastery::kPracticing);
  // Two more right: the last ten hold nine right.
  play({right, right});
  mastery = record.Mastery();
  ASSERT_TRUE(mastery);
  EXPECT_EQ(mastery->front().mastery, schedule::Mastery::kMastered);

  GenerateDialog dialog(folder + QStringLiteral("/generated"));
  dialog.UseRecord(&record);
  DialogParts parts = Parts(dialog);
  EXPECT_EQ(parts.topic->currentData().toString(), QStringLiteral("mul"));
  EXPECT_EQ(parts.level->value(), 2);
  auto* reason = dialog.findChild<QLabel*>(QStringLiteral("levelProposal"));
  ASSERT_NE(reason, nullptr);
  EXPECT_TRUE(reason->text().contains(QStringLiteral("レベル 1 を習得"))) << reason->text().toStdString();

  // 成績 shows the same in its grid of topics and levels.
  record::RecordWindow window(record);
  auto* grid = window.findChild<QTableWidget*>(QStringLiteral("mastery"));
  ASSERT_NE(grid, nullptr);
  int mul_row = -1;
  for (int row = 0; row < grid->rowCount(); ++row) {
    if (grid->verticalHeaderItem(row)->text() == QStringLiteral("かけ算")) mul_row = row;
  }
  ASSERT_GE(mul_row, 0);
  EXPECT_EQ(grid->item(mul_row, 0)->text(), QStringLiteral("習得"));
  EXPECT_EQ(grid->item(mul_row, 1)->text(), QStringLiteral("未"));
  EXPECT_EQ(grid->item(mul_row == 0 ? 1 : 0, 0)->text(), QStringLiteral("未"));
}

}  // namespace
}  // namespace rekendo
