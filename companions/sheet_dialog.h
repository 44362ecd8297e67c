// プリントを作る: the window's dialog for worksheets. The teacher picks the source (the set
// the drill has loaded, a problem file, a generated topic, the learner's review, 百ます計算),
// the count and seed, the paper and the answers, then prints (QPrintDialog) or saves a PDF.
// The sheet is built, rendered and written on a worker thread, so the drill's countdown on
// the GUI thread keeps its seconds; the worker reports back by a queued call, and a failure
// stays in the dialog's status line.
#pragma once

#include <QDialog>
#include <QFuture>
#include <QString>
#include <functional>

#include "error.h"
#include "sheet_request.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPrinter;
class QPushButton;
class QSpinBox;
class QStackedWidget;

namespace rekendo::worksheet {

class SheetDialog : public QDialog {
 public:
  // `initial` says what is offered and chosen first: its loaded set and review list (either
  // offered only when it holds problems), the file, topic, levels, count, paper and answers.
  // A seed of 0 means a fresh one from the clock.
  explicit SheetDialog(const SheetRequest& initial, QWidget* parent = nullptr);
  // Waits for a job still running (a few seconds at most).
  ~SheetDialog() override;

  // What the controls ask for now.
  SheetRequest Request() const;
  // True from 印刷 or PDF に保存 until the worker has reported.
  bool Busy() const { return busy_; }
  // The status line: what was written, or why not.
  QString StatusText() const;

  // Seams for tests; each defaults to the real dialog.
  // The PDF's path (empty: cancelled).
  void SetSaveChooser(std::function<QString()> chooser) { choose_save_ = std::move(chooser); }
  // Asked before an existing file is replaced; true replaces it.
  void SetReplaceQuestion(std::function<bool(const QString&)> ask) { ask_replace_ = std::move(ask); }
  // Sets up the printer (QPrintDialog); false cancels.
  void SetPrinterChooser(std::function<bool(QPrinter&)> chooser) {
    choose_printer_ = std::move(chooser);
  }

 protected:
  void reject() override;  // not while a job runs: its result has nowhere else to go

 private:
  void ShowSource();
  void ChooseProblemFile();
  void SavePdf();
  void Print();
  // Runs `job` on a worker: the words of its success, or its error.
  void Start(std::function<Result<QString>()> job);
  void Finished(bool ok, const QString& message);
  void SetBusy(bool busy);
  void ShowStatus(const QString& text, bool failure);
  std::uint64_t Seed() const;

  SheetRequest initial_;
  QComboBox* source_;
  QStackedWidget* pages_;
  QLineEdit* file_;
  QPushButton* choose_file_;
  QComboBox* topic_;
  QSpinBox* level_;
  QComboBox* operation_;
  QSpinBox* grid_level_;
  QLabel* grid_ranges_;
  QCheckBox* all_;
  QSpinBox* count_;
  QLineEdit* seed_;
  QComboBox* paper_;
  QComboBox* answers_;
  QComboBox* key_;
  QLabel* status_;
  QPushButton* print_;
  QPushButton* save_;
  QPushButton* close_;

  std::function<QString()> choose_save_;
  std::function<bool(const QString&)> ask_replace_;
  std::function<bool(QPrinter&)> choose_printer_;
  bool busy_ = false;
  QFuture<void> job_;
};

// Opens the dialog over `parent` (window-modal, deleted when closed) and returns at once.
SheetDialog* OpenSheetDialog(QWidget* parent, const SheetRequest& initial);

}  // namespace rekendo::worksheet
