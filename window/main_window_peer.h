// Reaches inside the main window for tests, the snapshot tool and the benchmark probes:
// the timer, the dialog, the handlers a click would run, and the drill to replay a session.
#pragma once

#include "main_window.h"

namespace rekendo {

class MainWindowPeer {
 public:
  explicit MainWindowPeer(MainWindow& window) : window_(window) {}

  QTimer& Timer() { return window_.timer_; }
  QFileDialog& FileDialog() { return window_.ProblemFileDialog(); }
  Drill& drill() { return *window_.drill_; }
  void Tick() { window_.Tick(); }
  void ChooseProblemFile() { window_.ChooseProblemFile(); }
  void StartRound() { window_.StartRound(); }

 private:
  MainWindow& window_;
};

}  // namespace rekendo
