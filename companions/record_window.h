// 成績: the learning record at a glance. Per problem set the rounds, average, best and last
// play; for the chosen set the chart of its scores, the problems missed most and the latest
// rounds question by question. From here the learner practises the missed problems (復習),
// exports the record as CSV, deletes it, or turns recording off.
#pragma once

#include <QDialog>
#include <QString>
#include <functional>
#include <vector>

#include "error.h"
#include "record.h"
#include "record_queries.h"
#include "set_view.h"

QT_BEGIN_NAMESPACE
class QCheckBox;
class QLabel;
class QPushButton;
class QSpinBox;
class QTableWidget;
class QTreeWidget;
QT_END_NAMESPACE

namespace rekendo::record {

class ForecastChart;
class MasteryGrid;
class ScoreChart;

// How many of the latest rounds the window lists.
inline constexpr int kListedRounds = 200;

class RecordWindow : public QDialog {
  Q_OBJECT

 public:
  // Asks the learner a yes/no question; replaced by tests.
  using Confirm = std::function<bool(const QString& question)>;
  // Asks where to save the CSV; an empty string when cancelled. Replaced by tests.
  using ChooseSavePath = std::function<QString(const QString& suggested)>;
  // On a shared record: whose rounds the CSV holds. Replaced by tests.
  enum class CsvScope { kCancel, kMine, kEveryone };
  using ChooseCsvScope = std::function<CsvScope()>;

  // Opens the record if that has not happened yet and shows it.
  explicit RecordWindow(Record& record, QWidget* parent = nullptr);
  // Records larger than this are read on a worker thread when a set is chosen (tests set 0).
  void ReadInBackgroundAbove(qint64 bytes) { read_in_background_above_ = bytes; }

  void SetConfirm(Confirm confirm) { confirm_ = std::move(confirm); }
  void SetChooseSavePath(ChooseSavePath choose) { choose_save_path_ = std::move(choose); }
  void SetChooseCsvScope(ChooseCsvScope choose) { choose_csv_scope_ = std::move(choose); }
  // On a shared record (several learners, or a teacher's PIN set): what opens the teacher's
  // things (the CSV of everyone, 記録する, 記録を消す), true once the teacher's PIN was given.
  // Unset, the record is one learner's and nothing is asked.
  void SetTeacherCheck(std::function<bool()> unlock) { teacher_check_ = std::move(unlock); }
  // With a class server set, 記録を消す keeps the rounds it has not taken yet.
  void KeepRoundsForClass(bool keep) { keep_rounds_for_class_ = keep; }

  // A line about sending to the class server (empty: none, and nothing shown).
  void SetClassStatus(const QString& text);
  // Shows a 先生用 button that runs `open` (the teacher's view of a shared record).
  void SetTeacherAction(std::function<void()> open);

  // Reads everything again, keeping the chosen set where it still exists.
  void Reload();
  // The chosen set, -1 for none.
  void ChooseSet(int row);

  // The buttons' work, callable directly.
  void WritePracticeSet();
  // The most missed problems as a worksheet (the 印刷 dialog, on the review).
  void PrintReview();
  void ExportCsv();
  void DeleteRecord();

 signals:
  // A practice set was written: load it as if chosen with 問題選択.
  void PracticeSetReady(const QString& path);
  // The chosen set's chart and tables are filled.
  void SetShown();

 private:
  void ShowStatus();
  void ShowMessage(const QString& text, bool trouble);
  void ShowError(const Error& error);
  void ShowSetView(const Result<SetView>& view, const QString& name);
  void FillSets();
  void ShowForecast(const QString& hash);
  void FillMissed(const std::vector<MissedProblem>& missed);
  void FillRounds(const std::vector<RoundDetail>& rounds);
  void SetRecording(bool on);
  void UpdateButtons();

  Record& record_;
  Confirm confirm_;
  ChooseSavePath choose_save_path_;
  ChooseCsvScope choose_csv_scope_;
  std::function<bool()> teacher_check_;
  bool keep_rounds_for_class_ = false;
  std::vector<SetSummary> sets_;
  int chosen_ = -1;
  int view_request_ = 0;  // the latest read of a set; older ones arriving late are dropped
  qint64 read_in_background_above_ = 8 << 20;

  QLabel* status_;
  QLabel* message_;
  QLabel* class_status_;
  QTableWidget* sets_table_;
  ScoreChart* chart_;
  ForecastChart* forecast_;
  MasteryGrid* mastery_;
  QTableWidget* missed_table_;
  QTreeWidget* rounds_tree_;
  QCheckBox* recording_;
  QSpinBox* practice_count_;
  QPushButton* practice_button_;
  QPushButton* print_button_;
  QPushButton* export_button_;
  QPushButton* delete_button_;
  QPushButton* teacher_button_;
};

}  // namespace rekendo::record
