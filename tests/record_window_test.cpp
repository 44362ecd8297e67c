// The 成績 window drives the record: 復習 hands over a practice file, the CSV goes where the
// learner chose, 記録を消す asks first, and a broken record is explained, not hidden.
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>

#include "forecast_chart.h"
#include "record_support.h"
#include "record_window.h"
#include "round_recorder.h"
#include "screen_fit.h"
#include "teacher_view.h"

namespace rekendo::testing {
namespace {

using record::Record;
using record::RecordWindow;

class RecordWindowTest : public RecordTest {
 protected:
  // Two rounds on one file, problem 1 missed in both.
  void Play() {
    record::RoundRecorder recorder(record, Clock());
    Drive drive(recorder);
    drive.Load(WriteProblems());
    for (int round = 0; round < 2; ++round) {
      drive.Start();
      drive.Problem(1, 1, QuestionOutcome::kWrongAtTimeUp);
      drive.Problem(2, 2, QuestionOutcome::kRight);
      drive.End(RoundEnd::kFinished, 10, 1);
    }
  }
  QString Cell(RecordWindow& window, const char* table, int row, int column) {
    return window.findChild<QTableWidget*>(QString::fromLatin1(table))->item(row, column)->text();
  }

  Record record{Folder()};
};

TEST_F(RecordWindowTest, ShowsTheSetAndHandsOverAPracticeSet) {
  Play();
  RecordWindow window(record);
  EXPECT_EQ(Cell(window, "sets", 0, 0), QStringLiteral("かけ算.mon"));
  EXPECT_EQ(Cell(window, "sets", 0, 1), QStringLiteral("2"));
  EXPECT_EQ(Cell(window, "sets", 0, 2), QStringLiteral("10.0"));
  EXPECT_EQ(Cell(window, "missed", 0, 0), QStringLiteral("１＋１"));
  QSignalSpy ready(&window, &RecordWindow::PracticeSetReady);
  window.WritePracticeSet();
  ASSERT_EQ(ready.count(), 1);
  const QString path = ready.at(0).at(0).toString();
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(file.readAll().toStdString(), Sjis("１＋１\r\n２\r\n"));
}

TEST_F(RecordWindowTest, RoundsWithMoreTimeAreLeftOutOfTheAverageAndTheChartSaysSo) {
  Play();
  {
    record::RoundRecorder recorder(record, Clock());
    Drive drive(recorder);
    drive.Load(WriteProblems());
    recorder.RoundStarted({80});
    drive.Problem(1, 1, QuestionOutcome::kRight);
    drive.End(RoundEnd::kFinished, 100, 9);
  }
  RecordWindow window(record);
  EXPECT_EQ(Cell(window, "sets", 0, 1), QStringLiteral("3"));
  EXPECT_EQ(Cell(window, "sets", 0, 2), QStringLiteral("10.0（40 秒）"));
  // A screen reader hears the chart's summary and what it leaves out.
  const QWidget* chart = window.findChild<QWidget*>(QStringLiteral("scoreChart"));
  ASSERT_NE(chart, nullptr);
  EXPECT_TRUE(chart->accessibleDescription().contains(QStringLiteral("2 回。")))
      << chart->accessibleDescription().toStdString();
  EXPECT_TRUE(chart->accessibleDescription().contains(
      QStringLiteral("ほかの時間の 1 回は平均 100.0 点")));
}

TEST_F(RecordWindowTest, TheForecastSaysWhatIsDueInWordsAndAsBars) {
  Play();  // a year and more ago: both problems are overdue, so due today
  RecordWindow window(record);
  auto* forecast = window.findChild<record::ForecastChart*>(QStringLiteral("forecast"));
  ASSERT_NE(forecast, nullptr);
  EXPECT_EQ(forecast->Summary(), QStringLiteral("今日の復習 2 問。14 日間で 2 問（明日 0 問）。"));
  EXPECT_EQ(Cell(window, "sets", 0, 5), QStringLiteral("2"));  // the set list says it too
  auto* chart = window.findChild<QWidget*>(QStringLiteral("forecastChart"));
  EXPECT_EQ(chart->accessibleName(), QStringLiteral("復習の予定"));
  EXPECT_EQ(chart->accessibleDescription(), forecast->Summary());
  // No set: nothing to forecast, and the sentence says so.
  window.ChooseSet(-1);
  EXPECT_EQ(forecast->Summary(), QStringLiteral("この先 14 日間に復習する問題はありません。"));
}

TEST(ForecastScaleTest, TicksFallOnWholeNumbersAndTheTopOnATick) {
  for (int most = 0; most <= 2000; ++most) {
    const record::CountScale scale = record::CountScaleFor(most);
    EXPECT_GE(scale.top, std::max(most, 5)) << most;
    EXPECT_EQ(scale.top % scale.step, 0) << most;
    EXPECT_LE(scale.top / scale.step, 5) << most;
    EXPECT_GE(scale.top / scale.step, 2) << most;
  }
  EXPECT_EQ(record::CountScaleFor(1).step, 1);
  EXPECT_EQ(record::CountScaleFor(7).step, 2);  // 0 2 4 6 8, not 0 1 2 4 5 7
  EXPECT_EQ(record::CountScaleFor(7).top, 8);
}

TEST_F(RecordWindowTest, ALargeRecordIsReadOnAWorkerAndShownWhenItArrives) {
  Play();
  RecordWindow window(record);
  window.ReadInBackgroundAbove(0);
  QSignalSpy shown(&window, &RecordWindow::SetShown);
  window.ChooseSet(-1);
  window.ChooseSet(0);
  // Nothing yet: the window is free while the worker reads.
  EXPECT_EQ(window.findChild<QTableWidget*>(QStringLiteral("missed"))->rowCount(), 0);
  ASSERT_TRUE(shown.wait(5000));
  EXPECT_EQ(Cell(window, "missed", 0, 0), QStringLiteral("１＋１"));
}

TEST_F(RecordWindowTest, ExportGoesToTheChosenPathAndDeletingAsksFirst) {
  Play();
  RecordWindow window(record);
  const QString csv = QString::fromStdString(dir.Path("成績.csv"));
  window.SetChooseSavePath([&](const QString&) { return csv; });
  window.ExportCsv();
  EXPECT_TRUE(QFile::exists(csv));

  window.SetConfirm([](const QString&) { return false; });
  window.DeleteRecord();
  EXPECT_EQ(window.findChild<QTableWidget*>(QStringLiteral("sets"))->rowCount(), 1);
  window.SetConfirm([](const QString&) { return true; });
  window.DeleteRecord();
  EXPECT_EQ(window.findChild<QTableWidget*>(QStringLiteral("sets"))->rowCount(), 0);
}

// On a shared record the teacher's things wait for the PIN: the CSV of everyone, 記録する and
// 記録を消す (the PIN first, then whose rounds go and how many). A learner's own CSV does not.
TEST_F(RecordWindowTest, OnASharedRecordTheTeachersThingsNeedThePin) {
  Play();  // learner 1's two rounds
  const auto hanako = record.AddLearner(QStringLiteral("はなこ"));
  ASSERT_TRUE(hanako);
  ASSERT_TRUE(record.SetCurrentLearner(*hanako));
  Play();
  RecordWindow window(record);
  int asked = 0;
  bool pin_right = false;
  window.SetTeacherCheck([&] {
    ++asked;
    return pin_right;
  });
  const QString csv = QString::fromStdString(dir.Path("成績.csv"));
  window.SetChooseSavePath([&](const QString&) { return csv; });
  const auto rows_of = [&](const QString& name) {
    QFile file(csv);
    if (!file.open(QIODevice::ReadOnly)) return -1;
    return static_cast<int>(QString::fromUtf8(file.readAll()).count(name));
  };

  window.SetChooseCsvScope([] { return RecordWindow::CsvScope::kMine; });
  window.ExportCsv();
  EXPECT_EQ(asked, 0);
  EXPECT_GT(rows_of(QStringLiteral("はなこ")), 0);
  const QString first = record.Learners()->front().name;
  EXPECT_EQ(rows_of(first), 0) << "another learner's rounds in a learner's own CSV";

  QFile::remove(csv);
  window.SetChooseCsvScope([] { return RecordWindow::CsvScope::kEveryone; });
  window.ExportCsv();
  EXPECT_EQ(asked, 1);
  EXPECT_FALSE(QFile::exists(csv));
  pin_right = true;
  window.ExportCsv();
  EXPECT_GT(rows_of(first), 0);

  pin_right = false;
  QCheckBox* recording = nullptr;
  for (QCheckBox* box : window.findChildren<QCheckBox*>()) {
    if (box->text().startsWith(QStringLiteral("記録する"))) recording = box;
  }
  ASSERT_NE(recording, nullptr);
  recording->setChecked(false);
  EXPECT_TRUE(recording->isChecked());
  EXPECT_TRUE(record.RecordingEnabled());

  QString question;
  window.SetConfirm([&](const QString& asked_question) {
    question = asked_question;
    return true;
  });
  window.DeleteRecord();
  EXPECT_TRUE(question.isEmpty()) << "asked before the PIN";
  EXPECT_EQ(window.findChild<QTableWidget*>(QStringLiteral("sets"))->rowCount(), 1);
  pin_right = true;
  window.DeleteRecord();
  EXPECT_EQ(question, QStringLiteral("学習者全員の記録（%1 2 回、はなこ 2 回）を消します。元に戻せません。よろしいですか？").arg(first));
  EXPECT_EQ(window.findChild<QTableWidget*>(QStringLiteral("sets"))->rowCount(), 0);
}

TEST_F(RecordWindowTest, BrokenRecordIsExplainedWithItsPath) {
  dir.Write("file", "x");
  Record broken(QString::fromStdString(dir.Path("file")) + QStringLiteral("/rekendo"));
  RecordWindow window(broken);
  bool explained = false;
  for (const QLabel* label : window.findChildren<QLabel*>()) {
    explained = explained || (label->text().contains(QStringLiteral("作れません")) &&
                              label->text().contains(QString::fromStdString(dir.Path("file"))));
  }
  EXPECT_TRUE(explained);
}

}  // namespace
}  // namespace rekendo::testing

namespace rekendo::testing {
namespace {

// 成績 and 先生用 on a 1024 x 600 netbook and a 1366 x 768 laptop (a 28-pixel panel): neither
// they nor the smallest size their layouts allow pass the free area, so 閉じる and the other
// buttons stay on the screen; what does not fit scrolls.
TEST_F(RecordTest, TheRecordWindowsFitSmallScreens) {
  record::Record record{Folder()};
  for (const QSize screen : {QSize(1024, 600), QSize(1366, 768)}) {
    const QSize free_area = screen - QSize(16, 48) - QSize(0, 28);
    record::RecordWindow record_window(record);
    TeacherView teacher_view(RecordFile(), 0, nullptr);
    for (QWidget* window : std::initializer_list<QWidget*>{&record_window, &teacher_view}) {
      FitToScreen(window, window->size().expandedTo(screen), free_area);
      window->show();
      EXPECT_LE(window->width(), free_area.width()) << window->windowTitle().toStdString();
      EXPECT_LE(window->height(), free_area.height()) << window->windowTitle().toStdString();
      const QSize least = window->minimumSizeHint();
      EXPECT_LE(least.width(), free_area.width()) << window->windowTitle().toStdString();
      EXPECT_LE(least.height(), free_area.height()) << window->windowTitle().toStdString();
      for (QPushButton* button : window->findChildren<QPushButton*>()) {
        if (!button->isVisible()) continue;
        const QRect where(button->mapTo(window, QPoint(0, 0)), button->size());
        EXPECT_TRUE(window->rect().contains(where))
            << window->windowTitle().toStdString() << ": " << button->text().toStdString();
      }
    }
  }
}

}  // namespace
}  // namespace rekendo::testing
