// 先生用の一覧 over a shared record: this week's rounds and average per learner, when each
// last played (also before this week), and who has not played this week; read on a worker.
#include <QDateTime>
#include <QFile>
#include <QSignalSpy>
#include <QTableWidget>

#include "record_support.h"
#include "teacher_view.h"

namespace rekendo::testing {
namespace {

qint64 At(int month, int day, int hour) {
  return QDateTime(QDate(2026, month, day), QTime(hour, 0)).toMSecsSinceEpoch();
}

class TeacherViewTest : public RecordTest {};

TEST_F(TeacherViewTest, ThisWeekPerLearnerAndWhoHasNotPlayed) {
  record::RecordOptions options;
  options.first_learner_name = QStringLiteral("あやか");
  record::Record record(Folder(), options);
  ASSERT_TRUE(record.Open());
  const qint64 ben = *record.AddLearner(QStringLiteral("けん"));
  const qint64 cho = *record.AddLearner(QStringLiteral("さくら"));
  (void)cho;
  const auto round = [&](qint64 start, std::optional<int> score) {
    const auto id = record.StartRound({QString(64, QLatin1Char('a')), "/p.mon", "p.mon", 3, start});
    ASSERT_TRUE(id);
    ASSERT_TRUE(record.EndRound(*id, {score.has_value(), score, std::nullopt, start + 60000}));
  };
  // Wednesday 9 December; the week began on Monday the 7th.
  round(At(12, 8, 10), 80);
  round(At(12, 9, 9), 60);
  round(At(12, 9, 10), std::nullopt);  // left unfinished: counted, not averaged
  ASSERT_TRUE(record.SetCurrentLearner(ben));
  round(At(12, 1, 10), 100);  // last week

  TeacherView view(RecordFile(), At(12, 9, 12), nullptr);
  QSignalSpy shown(&view, &TeacherView::Shown);
  ASSERT_TRUE(shown.wait(5000));
  const auto* table = view.findChild<QTableWidget*>(QStringLiteral("learnerWeeks"));
  ASSERT_EQ(table->rowCount(), 3) << view.Summary().toStdString();
  const auto cell = [&](int row, int column) { return table->item(row, column)->text(); };
  EXPECT_EQ(cell(0, 0), QStringLiteral("あやか"));
  EXPECT_EQ(cell(0, 1), QStringLiteral("3"));
  EXPECT_EQ(cell(0, 2), QStringLiteral("70.0"));
  EXPECT_EQ(cell(0, 3), QStringLiteral("2026/12/09 10:00"));
  EXPECT_EQ(cell(1, 0), QStringLiteral("けん"));
  EXPECT_EQ(cell(1, 1), QStringLiteral("0"));
  EXPECT_EQ(cell(1, 2), QStringLiteral("—"));
  EXPECT_EQ(cell(1, 3), QStringLiteral("2026/12/01 10:00"));
  EXPECT_EQ(cell(2, 3), QStringLiteral("まだ解いていません"));
  EXPECT_EQ(view.Summary(), QStringLiteral("今週まだ解いていない人: けん、さくら"));
}

TEST_F(TeacherViewTest, TheClassMostMissedTheTrendAndTheCsvKeepOtherTimeLimitsApart) {
  record::RecordOptions options;
  options.first_learner_name = QStringLiteral("あやか");
  record::Record record(Folder(), options);
  ASSERT_TRUE(record.Open());
  const qint64 ken = *record.AddLearner(QStringLiteral("けん"));
  const QString set(64, QLatin1Char('b'));
  const auto round = [&](qint64 start, int score, int limit, QuestionOutcome first) {
    const auto id = record.StartRound({set, "/九九.mon", "九九.mon", 3, start, limit});
    ASSERT_TRUE(id);
    for (int number = 1; number <= 2; ++number) {
      record::QuestionRow row;
      row.number = number;
      row.bank_index = number;
      row.text = Sjis(number == 1 ? "７×８＝" : "６×６＝");
      row.accepted = Sjis(number == 1 ? "５６" : "３６");
      row.outcome = number == 1 ? first : QuestionOutcome::kRight;
      row.closed_at = start + number;
      ASSERT_TRUE(record.AddQuestion(*id, set, row));
    }
    ASSERT_TRUE(record.EndRound(*id, {true, score, 1, start + 60000}));
  };
  round(At(12, 8, 10), 50, 40, QuestionOutcome::kWrongAtTimeUp);
  round(At(12, 8, 11), 70, 40, QuestionOutcome::kRight);
  round(At(12, 8, 12), 100, 80, QuestionOutcome::kRight);  // more time: not in the average
  ASSERT_TRUE(record.SetCurrentLearner(ken));
  round(At(12, 9, 10), 40, 40, QuestionOutcome::kWrongAtTimeUp);

  TeacherView view(RecordFile(), At(12, 9, 12), nullptr);
  QSignalSpy shown(&view, &TeacherView::Shown);
  ASSERT_TRUE(shown.wait(5000));
  const auto* table = view.findChild<QTableWidget*>(QStringLiteral("learnerWeeks"));
  EXPECT_EQ(table->item(0, 1)->text(), QStringLiteral("3"));
  EXPECT_EQ(table->item(0, 2)->text(), QStringLiteral("60.0"));
  // あやか missed 7×8 on Tuesday: due again by Wednesday.
  EXPECT_EQ(table->item(0, 4)->text(), QStringLiteral("1"));
  EXPECT_EQ(table->item(1, 4)->text(), QStringLiteral("0"));  // けん missed it today: due tomorrow
  EXPECT_TRUE(view.Summary().contains(QStringLiteral("ほかの制限時間の 1 回は含みません")));
  // Both missed 7×8 once: the class's most missed, asked of two learners.
  const auto* missed = view.findChild<QTableWidget*>(QStringLiteral("classMissed"));
  ASSERT_EQ(missed->rowCount(), 1);
  EXPECT_EQ(missed->item(0, 1)->text(), QStringLiteral("７×８＝"));
  EXPECT_EQ(missed->item(0, 3)->text(), QStringLiteral("2 / 4（2 人）"));
  const QWidget* trend = view.findChild<QWidget*>(QStringLiteral("classTrend"));
  EXPECT_EQ(trend->accessibleDescription(),
            QStringLiteral("あやか: 2 回、最初 50 点、最後 70 点。けん: 1 回、最初 40 点、最後 40 点。"));

  const QString csv = Folder() + QStringLiteral("/クラス.csv");
  ASSERT_TRUE(view.ExportCsv(csv));
  QFile file(csv);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QString text = QString::fromUtf8(file.readAll());
  EXPECT_TRUE(text.contains(QStringLiteral("\r\nあやか,3,60.0,1,2026-12-08T")));
  EXPECT_TRUE(text.contains(QStringLiteral("\r\n九九.mon,７×８＝,５６,4,2,2\r\n")));
}

TEST_F(TeacherViewTest, AnUnreadableRecordIsSaidNotShownEmpty) {
  TeacherView view(RecordFile(), At(12, 9, 12), nullptr);  // no record there
  QSignalSpy shown(&view, &TeacherView::Shown);
  ASSERT_TRUE(shown.wait(5000));
  EXPECT_TRUE(view.Summary().startsWith(QStringLiteral("記録を読めませんでした。")))
      << view.Summary().toStdString();
}

}  // namespace
}  // namespace rekendo::testing
