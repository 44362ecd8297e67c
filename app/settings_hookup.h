// The learner's settings, hooked into the main window: applied at start, and changed with
// the band's 設定 button. The time limit holds from the next round, typing at once, 拡大
// from the next start (the window is laid out once, at its scale).
#pragma once

#include <functional>

#include "drill_settings.h"
#include "main_window.h"

namespace rekendo {

class SettingsHookup {
 public:
  // `store` and `window` must outlive this.
  // `changed` hears the settings at start and after every change.
  using Listener = std::function<void(const DrillSettings&)>;
  SettingsHookup(MainWindow& window, DrillSettingsStore& store, Listener changed = {});
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
  Listener changed_;
};

}  // namespace rekendo
