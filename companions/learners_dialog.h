// 学習者: who plays on this record. Choosing a learner makes every later round theirs;
// adding, renaming and removing one, and the class server's settings, need the teacher's
// PIN (TeacherGate).
#pragma once

#include <QDialog>
#include <QString>
#include <functional>
#include <optional>

#include "record.h"
#include "teacher_gate.h"

QT_BEGIN_NAMESPACE
class QLabel;
class QListWidget;
class QPushButton;
QT_END_NAMESPACE

namespace rekendo {

class LearnersDialog : public QDialog {
 public:
  // Asks for a name, starting from `current`; nothing when cancelled. Replaced by tests.
  using AskName = std::function<std::optional<QString>(const QString& prompt, const QString& current)>;
  using Confirm = std::function<bool(const QString& question)>;

  // `open_class` opens the クラス dialog (empty: no such button).
  LearnersDialog(record::Record& record, std::function<void()> open_class, QWidget* parent);

  TeacherGate& Gate() { return gate_; }
  void SetAskName(AskName ask) { ask_name_ = std::move(ask); }
  void SetConfirm(Confirm confirm) { confirm_ = std::move(confirm); }
  // Whether a round is under way in the window: choosing another learner then asks first,
  // since the round goes on as the learner's who started it.
  void SetRoundUnderWay(std::function<bool()> under_way) { round_under_way_ = std::move(under_way); }

  // The buttons' work, callable directly; each works on the selected row.
  void ChooseSelected();
  void AddLearner();
  void RenameSelected();
  void RemoveSelected();
  // The selected learner's role on the class server.
  void SetClassRoleOfSelected();
  void OpenClass();
  // Selects the row of learner `id` (tests, and after a change).
  void Select(qint64 id);

 private:
  void Reload(qint64 select_id);
  std::optional<qint64> SelectedId() const;
  QString SelectedName() const;
  void ShowMessage(const QString& text, bool trouble);

  record::Record& record_;
  std::function<void()> open_class_;
  TeacherGate gate_;
  AskName ask_name_;
  Confirm confirm_;
  std::function<bool()> round_under_way_;
  QListWidget* list_;
  QLabel* message_;
  QPushButton* choose_button_;
};

}  // namespace rekendo
