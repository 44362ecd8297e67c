// The drill's one window, Form1. It lays out the controls from the tables, turns clicks
// and timer ticks into drill operations, and shows what the drill writes.
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

#include "drill.h"
#include "drill_view.h"
#include "frame_widgets.h"
#include "keypad_table.h"

namespace rekendo {

class TForm1 : public QWidget, private DrillView {
 public:
  // Shows a failure that escaped a handler; the message is Shift-JIS.
  using ErrorReporter = std::function<void(std::string_view sjis_message)>;

  explicit TForm1(QWidget* parent = nullptr);
  ~TForm1() override;

  void SetErrorReporter(ErrorReporter reporter) { report_error_ = std::move(reporter); }
  // Replaces the problem-file dialog (tests, scripted snapshots).
  void SetFileChooser(Drill::FileChooser chooser) { choose_file_ = std::move(chooser); }

  Drill& drill() { return *drill_; }
  QTimer& Timer1() { return timer_; }
  QFileDialog& OpenDialog1();
  bool HasBeenActivated() const { return activated_; }

  // Event handlers, named after their control and event.
  void FormCreate();
  void FormActivate();
  void BitBtnsentakuClick();
  void BitBtnkaisiClick();
  void BitBtnnextClick();
  void BitBtnsyuryoClick();
  void Timer1Timer();
  void CharacterKeyClick(const KeyDef& key);
  void ButtonkesiClick();
  void ButtonketteiClick();

 protected:
  void changeEvent(QEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void moveEvent(QMoveEvent* event) override;

 private:
  // DrillView
  void SetLabelText(Label label, std::string_view text) override;
  void SetTimerEnabled(bool enabled) override;
  bool TimerEnabled() const override;
  void SetBar(int top, int height) override;

  void BuildControls();
  void FitOuterSize();
  void KeyClicked(const KeyDef& key);
  std::optional<std::string> RunOpenDialog();
  // Runs one handler's work; a failure is reported, never let through Qt's dispatch.
  template <typename Work>
  void Guarded(Work&& work);

  std::unique_ptr<Drill> drill_;
  std::array<QLabel*, kLabelCount> labels_{};
  CountdownBar* bar_ = nullptr;
  QPushButton* bit_btn_kaisi_ = nullptr;
  QPushButton* bit_btn_next_ = nullptr;
  QTimer timer_;
  QFileDialog* open_dialog_ = nullptr;  // owned as a child
  QString last_dialog_folder_;
  QString last_dialog_file_;
  QString last_dialog_filter_;
  Drill::FileChooser choose_file_;
  ErrorReporter report_error_;
  bool activated_ = false;
  bool sized_to_frame_ = false;
};

}  // namespace rekendo
