// The learner's settings, hooked into the main window: applied at start, and changed with
// the band's 設定 button. The time limit holds from the next round, typing at once, 拡大
// from the next start (the window is laid out once, at its scale).
#pragma once

#include "drill_settings.h"
#include "main_window.h"

namespace rekendo {

class SettingsHookup {
 public:
  // `store` and `window` must outlive this.
  SettingsHookup(MainWindow& window, DrillSettingsStore& store);
  ~SettingsHookup();
  SettingsHookup(const SettingsHookup&) = delete;
  SettingsHookup& operator=(const SettingsHookup&) = delete;

  const DrillSettings& Current() const { return current_; }

 private:
  void Apply();
  void OpenDialog();

  MainWindow& window_;
  DrillSettingsStore& store_;
  DrillSettings current_;
};

}  // namespace rekendo
