// The drill's one window. It lays out the controls from the tables, turns clicks and timer
// ticks into drill operations, and shows what the drill writes.
#pragma once

#include <QFileDialog>
#include <QLabel>
#include <QPushButton>
#include <QStringList>
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
#include "scale.h"
#include "status_line.h"

namespace rekendo {

class MainWindow : public QWidget, private DrillView {
 public:
  // Shows a failure that escaped a handler; the message is Shift-JIS.
  using ErrorReporter = std::function<void(std::string_view sjis_message)>;

  // Fits the primary screen's free area (see ScaleForScreen).
  explicit MainWindow(QWidget* parent = nullptr);
  explicit MainWindow(const Scale& scale, QWidget* parent = nullptr);
  ~MainWindow() override;

  // The shrink that fits the window into the primary screen's free area. The offscreen
  // platform's nominal 800 x 600 screen is no screen to fit: there the window keeps its
  // full size, as tests, snapshots and probes expect.
  static Scale ScaleForScreen();
  // The one factor that makes the window fill the primary screen's free area (拡大), larger
  // or smaller; factor 1 on the offscreen platform.
  static Scale ScaleToFillScreen();

  void SetErrorReporter(ErrorReporter reporter) { report_error_ = std::move(reporter); }
  // Replaces the problem-file dialog (tests, scripted snapshots).
  void SetFileChooser(Drill::FileChooser chooser) { choose_file_ = std::move(chooser); }
  // Loads `path` exactly as if it had been chosen with 問題選択.
  void LoadProblemFile(const std::string& path);
  // What a band button (Command::kRecord, kGenerate) does; it shows only while it has one.
  void SetBandAction(Command command, std::function<void()> action);

  // Settings the learner chooses. The time limit holds from the next round (nothing: no
  // limit); typing on the physical keyboard holds at once.
  void SetTimeLimit(std::optional<int> seconds) { drill_->SetTimeLimit(seconds); }
  // Typing on the physical keyboard (off unless chosen in 設定).
  void SetKeyboardTyping(bool on);
  bool KeyboardTyping() const { return keyboard_typing_; }

  // Who plays, named first on the status line (empty: nobody named, as with one learner).
  void SetLearnerName(const QString& name);
  // A line about what was just loaded (今日の練習: how many reviews, how many new), shown
  // after the load's own status until the next load.
  void ShowStatusNote(const QString& note);

  const Drill& drill() const { return *drill_; }
  // The name (without its folder) of the problem file the bank holds; empty before one.
  const QString& LoadedFileName() const { return loaded_file_name_; }
  // `observer` (not owned) hears of every question and round; nullptr for none.
  void SetDrillObserver(DrillObserver* observer) { drill_->SetObserver(observer); }
  bool HasBeenActivated() const { return activated_; }

 protected:
  void changeEvent(QEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  // With keyboard typing on, the physical keys a button receives type the keypad's.
  bool eventFilter(QObject* watched, QEvent* event) override;

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
  std::vector<QPushButton*> BuildBand();
  void ChainTabOrder(std::vector<QPushButton*> keys, const std::vector<QPushButton*>& commands);
  void PlaceAtTopLeft();
  void FitOuterSize();

  // Handlers.
  void LoadDataFilesOnce();
  void ChooseProblemFile();
  // Loads the file `chooser` gives, as 問題選択 does, and says how it went on the status line.
  void LoadThrough(const Drill::FileChooser& chooser, bool from_dialog);
  void ShowStatus(const LoadStatus& status);
  void UpdateStatusLine();
  void Announce(const QString& news);
  void StartRound();
  void NextQuestion();
  void Quit();
  void Tick();
  void KeyPressed(const KeyDef& key);
  void RunCommand(Command command);
  // Tells a screen reader what a label now shows, and speaks up for the verdict, the
  // judgement and the last seconds.
  void TellAssistiveTechnology(Label label, QLabel* widget, std::string_view sjis_text);

  QFileDialog& ProblemFileDialog();
  std::optional<std::string> RunProblemFileDialog();
  // Runs one handler's work; a failure is reported, never let through Qt's dispatch.
  template <typename Work>
  void Guarded(Work&& work);
  // The same, handing back the failure's (Shift-JIS) message instead of reporting it.
  template <typename Work>
  std::optional<std::string> Attempt(Work&& work);
  void Report(const std::string& sjis_message);

  struct BandButton {
    Command command;
    QPushButton* button;
    std::function<void()> action;
  };

  Scale scale_;
  std::unique_ptr<Drill> drill_;
  std::array<QLabel*, kLabelCount> labels_{};
  std::array<QPushButton*, kCommandButtonCount> command_buttons_{};
  std::vector<QPushButton*> keys_;  // in the order of kKeypad
  CountdownBar* bar_ = nullptr;
  QLabel* status_line_ = nullptr;
  QWidget* announcer_ = nullptr;  // a notification screen readers speak as it shows
  QStringList pending_news_;      // announced in this turn of the event loop
  QString learner_name_;
  QString status_text_;  // what the last load said
  QString status_note_;
  QString loaded_file_name_;
  std::vector<BandButton> band_buttons_;
  QTimer timer_;
  QFileDialog* file_dialog_ = nullptr;  // owned as a child
  QString last_dialog_folder_;
  QString last_dialog_file_;
  QString last_dialog_filter_;
  Drill::FileChooser choose_file_;
  ErrorReporter report_error_;
  bool activated_ = false;
  bool sized_to_frame_ = false;
  bool keyboard_typing_ = false;
  std::vector<QPushButton*> commands_;  // the command and band buttons, in tab order
};

}  // namespace rekendo
