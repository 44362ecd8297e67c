// クラスの一覧 from the class server: every learner the connection may see (a teacher role:
// its classes; a learner role: only itself, as the database decides) with this week's
// rounds, average, best and last played, and who has not played. Read on a worker thread,
// with a connection of its own.
#pragma once

#include <QDialog>
#include <QString>
#include <memory>
#include <string>
#include <vector>

#include "class_admin.h"
#include "error.h"

QT_BEGIN_NAMESPACE
class QLabel;
class QTableWidget;
QT_END_NAMESPACE

namespace rekendo {

class ClassServerView : public QDialog {
  Q_OBJECT

 public:
  ClassServerView(const QString& conninfo, qint64 now_ms, QWidget* parent);
  // Cancels a read still under way, so that closing the view (or the program) never waits
  // for a slow or locked server.
  ~ClassServerView() override;

  QString Summary() const;

 signals:
  void Shown();

 private:
  void Show(const Result<std::vector<classroom::ReportRow>>& rows);

  QTableWidget* table_;
  QLabel* summary_;
  std::shared_ptr<classroom::QueryCanceller> canceller_;
};

}  // namespace rekendo
