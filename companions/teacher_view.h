// 先生用の一覧: on a shared record, per learner this week's rounds, their average and when
// they last played, who has not played this week, each one's latest scores as a chart, and
// the problems the class misses most; all of it as CSV. Read on a worker thread.
#pragma once

#include <QDialog>
#include <QString>
#include <functional>
#include <vector>

#include "error.h"
#include "learner_overview.h"

QT_BEGIN_NAMESPACE
class QChartView;
class QHBoxLayout;
class QLabel;
class QPushButton;
class QTableWidget;
QT_END_NAMESPACE

namespace rekendo {

class TeacherView : public QDialog {
  Q_OBJECT

 public:
  // Reads the record at `record_path` for the week of `now_ms`.
  TeacherView(const QString& record_path, qint64 now_ms, QWidget* parent);

  // The words under the table (who has not played), for tests.
  QString Summary() const;
  // Adds クラスのサーバー…, which runs `open` (the class as the class server has it).
  void AddServerButton(std::function<void()> open);
  // Writes what the window shows as CSV to `path` (the CSV button asks where).
  Status ExportCsv(const QString& path) const;

 signals:
  // The table is filled (or the failure shown).
  void Shown();

 private:
  void Show(const Result<record::ClassOverview>& overview);
  void ShowTrend(const std::vector<record::LearnerWeek>& learners);
  void ShowMissed(const std::vector<record::ClassMissed>& missed);
  void ChooseCsvPath();

  QTableWidget* table_;
  QChartView* trend_;
  QTableWidget* missed_;
  QLabel* summary_;
  QPushButton* export_;
  QHBoxLayout* buttons_;
  record::ClassOverview shown_;
};

}  // namespace rekendo
