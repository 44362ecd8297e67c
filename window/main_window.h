// The drill's one window. It lays out the controls from the tables, turns clicks and timer
// ticks into drill operations, and shows what the drill writes.
#pragma once

#include <QFileDialog>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>
#include <string_view>
#include <vector>

#include "drill.h"
#include "drill_view.h"
#include "frame_widgets.h"
#include "keypad_table.h"
#include "layout_table.h"

namespace rekendo {

class MainWindow : public QWidget, private DrillView {
 public:
  // Shows a failure that escaped a handler; the message is Shift-JIS.
  using ErrorReporter = std::function<void(std::string_view sjis_message)>;

  explicit MainWindow(QWidget* parent = nullptr);
  ~MainWindow() override;

  void SetErrorReporter(ErrorReporter reporter) { report_error_ = std::move(reporter); }
  // Replaces the problem-file dialog (tests, scripted snapshots).
  void SetFileChooser(Drill::FileChooser chooser) { choose_file_ = std::move(chooser); }

  const Drill& drill() const { return *drill_; }
  bool HasBeenActivated() const { return activated_; }

 protected:
  void changeEvent(QEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  friend class MainWindowPeer;

  // DrillView
  void SetLabelText(Label label, std::string_view text) override;
  void SetTimerEnabled(bool enabled) override;
  bool TimerEnabled() const override;
  void SetBar(int top, int height) override;

  // Building the window, one kind of control at a time.
  void BuildPanels();
  std::vector<QPushButton*> BuildCommandButtons();
  void ChainTabOrder(std::vector<QPushButton*> keys, const std::vector<QPushButton*>& commands);
  void PlaceAtTopLeft();
  void FitOuterSize();

  // Handlers.
  void LoadDataFilesOnce();
  void ChooseProblemFile();
  void StartRound();
  void NextQuestion();
  void Quit();
  void Tick();
  void KeyPressed(const KeyDef& key);
  void RunCommand(Command command);

  QFileDialog& ProblemFileDialog();
  std::optional<std::string> RunProblemFileDialog();
  // Runs one handler's work; a failure is reported, never let through Qt's dispatch.
  template <typename Work>
  void Guarded(Work&& work);

  std::unique_ptr<Drill> drill_;
  std::array<QLabel*, kLabelCount> labels_{};
  std::array<QPushButton*, kCommandButtonCount> command_buttons_{};
  CountdownBar* bar_ = nullptr;
  QTimer timer_;
  QFileDialog* file_dialog_ = nullptr;  // owned as a child
  QString last_dialog_folder_;
  QString last_dialog_file_;
  QString last_dialog_filter_;
  Drill::FileChooser choose_file_;
  ErrorReporter report_error_;
  bool activated_ = false;
  bool sized_to_frame_ = false;
};

}  // namespace rekendo
