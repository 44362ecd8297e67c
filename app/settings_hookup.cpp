#include "settings_hookup.h"

#include "settings_dialog.h"

namespace rekendo {

SettingsHookup::SettingsHookup(MainWindow& window, DrillSettingsStore& store, Listener changed)
    : window_(window), store_(store), current_(store.Load()), changed_(std::move(changed)) {
  Apply();
  window_.SetBandAction(Command::kSettings, [this] { OpenDialog(); });
}

SettingsHookup::~SettingsHookup() { window_.SetBandAction(Command::kSettings, {}); }

void SettingsHookup::Apply() {
  window_.SetTimeLimit(current_.time_limit_seconds);
  window_.SetKeyboardTyping(current_.keyboard_typing);
  if (changed_) changed_(current_);
}

void SettingsHookup::OpenDialog() {
  SettingsDialog dialog(current_, &window_);
  if (dialog.exec() != QDialog::Accepted) return;
  current_ = dialog.Chosen();
  store_.Save(current_);
  Apply();
}

}  // namespace rekendo
