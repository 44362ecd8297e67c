// プリントを作る: a keyboard path through named controls, a PDF written off the GUI thread,
// and a failure or a refused replacement that leaves the files as they were.
#include <gtest/gtest.h>

#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPrinter>
#include <QPushButton>
#include <QSet>
#include <QTest>
#include <QTimer>
#include <filesystem>

#include "sheet_dialog.h"
#include "temp_files.h"
#include "worksheet_support.h"

namespace rekendo {
namespace {

using worksheet::SheetDialog;

QPushButton* Button(SheetDialog& dialog, const QString& name) {
  for (QPushButton* button : dialog.findChildren<QPushButton*>()) {
    if (button->accessibleName() == name) return button;
  }
  return nullptr;
}

worksheet::SheetRequest LoadedSet(int count) {
  worksheet::SheetRequest request;
  request.source = worksheet::Source::kLoadedSet;
  request.loaded_set.title = "四則";
  for (const testing::Pair& pair : testing::Sums(count)) {
    request.loaded_set.pairs.push_back({testing::Sjis(pair.problem), testing::Sjis(pair.answers)});
  }
  return request;
}

TEST(SheetDialogTest, TabReachesEveryControlAndEachHasAName) {
  SheetDialog dialog(LoadedSet(3));
  dialog.show();
  dialog.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
  QComboBox* source = dialog.findChild<QComboBox*>();
  for (const QString& kind : {QStringLiteral("問題ファイル"), QStringLiteral("単元から作る"),
                              QStringLiteral("百ます計算")}) {
    source->setCurrentIndex(source->findText(kind));
    source->setFocus();
    QSet<QString> reached;
    for (int i = 0; i < 30; ++i) {
      QWidget* focused = QApplication::focusWidget();
      ASSERT_NE(focused, nullptr);
      // A spin box's line edit stands for its spin box.
      if (auto* spin = qobject_cast<QAbstractSpinBox*>(focused->parentWidget())) focused = spin;
      EXPECT_FALSE(focused->accessibleName().isEmpty()) << focused->metaObject()->className();
      reached << focused->accessibleName();
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    for (const QString& name : {QStringLiteral("プリントの種類"), QStringLiteral("問題の番号"),
                                QStringLiteral("用紙"), QStringLiteral("印刷"),
                                QStringLiteral("PDF に保存"), QStringLiteral("閉じる")}) {
      EXPECT_TRUE(reached.contains(name)) << kind.toStdString() << ": " << name.toStdString();
    }
    if (kind == QStringLiteral("問題ファイル")) {
      EXPECT_TRUE(reached.contains(QStringLiteral("問題ファイルのパス")));
      EXPECT_TRUE(reached.contains(QStringLiteral("すべての問題を載せる")));
      EXPECT_TRUE(reached.contains(QStringLiteral("解答に載せる答え")));
    } else if (kind == QStringLiteral("単元から作る")) {
      EXPECT_TRUE(reached.contains(QStringLiteral("単元")));
      EXPECT_TRUE(reached.contains(QStringLiteral("問題数")));
    } else {
      EXPECT_TRUE(reached.contains(QStringLiteral("百ます計算の計算")));
      EXPECT_FALSE(reached.contains(QStringLiteral("問題数")));
    }
  }
}

TEST(SheetDialogTest, SavesOffTheGuiThreadAndAsksBeforeReplacing) {
  testing::TempDir dir;
  const std::string path = dir.Path("四則.pdf");
  SheetDialog dialog(LoadedSet(1000));
  dialog.SetSaveChooser([&] { return QString::fromStdString(path); });
  int asked = 0;
  bool replace = false;
  dialog.SetReplaceQuestion([&](const QString&) {
    ++asked;
    return replace;
  });
  // The drill's countdown keeps ticking on the GUI thread while the sheet is made.
  int ticks = 0;
  QTimer countdown;
  QObject::connect(&countdown, &QTimer::timeout, [&] { ++ticks; });
  countdown.start(1);
  Button(dialog, QStringLiteral("PDF に保存"))->click();
  EXPECT_TRUE(dialog.Busy()) << "the click returned before the job reported";
  QTRY_VERIFY_WITH_TIMEOUT(!dialog.Busy(), 30000);
  EXPECT_GT(ticks, 0);
  EXPECT_TRUE(dialog.StatusText().startsWith(QStringLiteral("保存しました"))) << dialog.StatusText().toStdString();
  EXPECT_EQ(testing::PdfPages(path), 26);  // as rekendo-sheet makes it, the key beside it
  EXPECT_EQ(testing::PdfPages(dir.Path("四則-解答.pdf")), 6);
  EXPECT_EQ(asked, 0);

  // An existing file: declined leaves it; accepted replaces it.
  testing::TempDir other;
  const std::string kept = other.Write("kept.pdf", "mine");
  dialog.SetSaveChooser([&] { return QString::fromStdString(kept); });
  Button(dialog, QStringLiteral("PDF に保存"))->click();
  EXPECT_FALSE(dialog.Busy());
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(testing::ReadFile(kept), "mine");
  replace = true;
  Button(dialog, QStringLiteral("PDF に保存"))->click();
  QTRY_VERIFY_WITH_TIMEOUT(!dialog.Busy(), 30000);
  EXPECT_EQ(asked, 2);
  EXPECT_TRUE(testing::ReadFile(kept).starts_with("%PDF-"));
}

// After a two-line 保存しました the fields of every kind keep their height, and the message
// goes when another kind is chosen.
TEST(SheetDialogTest, AMessageGoesWhenAnotherKindIsChosenAndFieldsKeepTheirHeight) {
  testing::TempDir dir;
  const std::string path = dir.Path("四則.pdf");
  SheetDialog dialog(LoadedSet(20));
  dialog.SetSaveChooser([&] { return QString::fromStdString(path); });
  dialog.show();
  // As on a small screen: the dialog cannot grow for the message.
  dialog.setFixedHeight(dialog.height());
  Button(dialog, QStringLiteral("PDF に保存"))->click();
  QTRY_VERIFY_WITH_TIMEOUT(!dialog.Busy(), 30000);
  ASSERT_TRUE(dialog.StatusText().startsWith(QStringLiteral("保存しました")));
  auto* kinds = dialog.findChildren<QComboBox*>().front();
  for (QComboBox* box : dialog.findChildren<QComboBox*>()) {
    if (box->accessibleName() == QStringLiteral("プリントの種類")) kinds = box;
  }
  const QLabel* status = nullptr;
  for (const QLabel* label : dialog.findChildren<QLabel*>()) {
    if (label->accessibleName() == QStringLiteral("状態")) status = label;
  }
  ASSERT_NE(status, nullptr);
  EXPECT_TRUE(status->isVisible());
  const auto expect_full_height = [&dialog] {
    for (QWidget* field : dialog.findChildren<QWidget*>()) {
      if (!field->isVisible() ||
          !(qobject_cast<QComboBox*>(field) || qobject_cast<QAbstractSpinBox*>(field))) {
        continue;
      }
      EXPECT_GE(field->height(), field->sizeHint().height())
          << field->accessibleName().toStdString();
    }
  };
  expect_full_height();
  for (int step = 1; step <= kinds->count(); ++step) {
    kinds->setCurrentIndex((kinds->currentIndex() + 1) % kinds->count());
    QApplication::processEvents();
    EXPECT_FALSE(status->isVisible());
    expect_full_height();
  }
}

TEST(SheetDialogTest, AFileThatDoesNotLoadShowsTheDrillsMessageAndWritesNothing) {
  testing::TempDir dir;
  worksheet::SheetRequest request;
  request.problem_file = dir.Path("none.mon");
  SheetDialog dialog(request);
  const std::string path = dir.Path("out.pdf");
  dialog.SetSaveChooser([&] { return QString::fromStdString(path); });
  Button(dialog, QStringLiteral("PDF に保存"))->click();
  QTRY_VERIFY_WITH_TIMEOUT(!dialog.Busy(), 30000);
  EXPECT_TRUE(dialog.StatusText().startsWith(QStringLiteral("ファイルが見つかりません")))
      << dialog.StatusText().toStdString();
  EXPECT_FALSE(std::filesystem::exists(path));
  EXPECT_TRUE(Button(dialog, QStringLiteral("PDF に保存"))->isEnabled());
}

TEST(SheetDialogTest, PrintsTheSamePagesOntoThePrinter) {
  testing::TempDir dir;
  const std::string path = dir.Path("printed.pdf");
  worksheet::SheetRequest request;
  request.source = worksheet::Source::kGrid;
  SheetDialog dialog(request);
  dialog.SetPrinterChooser([&](QPrinter& printer) {
    printer.setOutputFormat(QPrinter::PdfFormat);  // the print dialog's "print to file"
    printer.setOutputFileName(QString::fromStdString(path));
    return true;
  });
  Button(dialog, QStringLiteral("印刷"))->click();
  QTRY_VERIFY_WITH_TIMEOUT(!dialog.Busy(), 30000);
  EXPECT_TRUE(dialog.StatusText().startsWith(QStringLiteral("印刷に送りました"))) << dialog.StatusText().toStdString();
  // Two jobs: the sheet, then its key (to a file of its own when printed to a file).
  const std::vector<std::string> pages = testing::PageTexts(path, "-layout");
  ASSERT_EQ(pages.size(), 1u);
  EXPECT_NE(pages[0].find("かかった時間"), std::string::npos);
  const std::vector<std::string> key = testing::PageTexts(dir.Path("printed-解答.pdf"), "-layout");
  ASSERT_EQ(key.size(), 1u);
  EXPECT_NE(key[0].find("解答"), std::string::npos);
}

}  // namespace
}  // namespace rekendo
