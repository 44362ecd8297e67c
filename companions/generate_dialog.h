// 問題を作る: the teacher picks a topic, a level and a count, and the dialog writes a new
// problem set into a folder its caller chooses. Errors stay in the dialog; nothing throws.
#pragma once

#include <QDialog>
#include <QString>
#include <vector>

#include "problem_file.h"
#include "record.h"

class QComboBox;
class QLabel;
class QSpinBox;

namespace rekendo {

class GenerateDialog : public QDialog {
 public:
  // `folder` is made when missing; the sets are written there.
  explicit GenerateDialog(QString folder, QWidget* parent = nullptr);

  // The set written by 作る, or empty while none is.
  const QString& WrittenPath() const { return written_path_; }

  // Notes each set written in `record` (its topic and level, by its bytes) and proposes the
  // next level of a topic the learner has mastered. `record` must outlive the dialog.
  void UseRecord(record::Record* record);

 private:
  // Follows the chosen topic and level: the count's maximum and the example shown.
  void ShowChoice();
  void FitContents();
  void Print();
  // 作る: writes the set and accepts, or shows why it could not.
  void Make();

  QString folder_;
  std::vector<generator::TopicSummary> topics_;
  QComboBox* topic_;
  QSpinBox* level_;
  QSpinBox* count_;
  QLabel* example_;
  QLabel* error_;
  QString written_path_;
  record::Record* record_ = nullptr;
  QLabel* proposal_ = nullptr;
};

}  // namespace rekendo
