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
#include <QTest>

#include "generate_dialog.h"
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

}  // namespace
}  // namespace rekendo
