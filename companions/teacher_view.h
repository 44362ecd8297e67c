// 先生用の一覧: on a shared record, per learner this week's rounds, their average and when
// they last played, and who has not played this week. Read on a worker thread.
#pragma once

#include <QDialog>
#include <QString>
#include <vector>

#include "error.h"
#include "learner_overview.h"

QT_BEGIN_NAMESPACE
class QLabel;
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

 signals:
  // The table is filled (or the failure shown).
  void Shown();

 private:
  void Show(const Result<std::vector<record::LearnerWeek>>& rows);

  QTableWidget* table_;
  QLabel* summary_;
};

}  // namespace rekendo
