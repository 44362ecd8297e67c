// 先生用の一覧 over a shared record: this week's rounds and average per learner, when each
// last played (also before this week), and who has not played this week; read on a worker.
#include <QDateTime>
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
  ASSERT_EQ(table->rowCount(), 3);
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

TEST_F(TeacherViewTest, AnUnreadableRecordIsSaidNotShownEmpty) {
  TeacherView view(RecordFile(), At(12, 9, 12), nullptr);  // no record there
  QSignalSpy shown(&view, &TeacherView::Shown);
  ASSERT_TRUE(shown.wait(5000));
  EXPECT_TRUE(view.Summary().startsWith(QStringLiteral("記録を読めませんでした。")))
      << view.Summary().toStdString();
}

}  // namespace
}  // namespace rekendo::testing
