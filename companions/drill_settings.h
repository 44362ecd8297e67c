// The choices a learner or teacher makes about how the drill plays: the time limit, typing
// on the physical keyboard, and filling the screen. Every default is the drill as it always
// was. Kept with QSettings for now, through this one class, so that they can later be kept
// per learner instead.
#pragma once

#include <QString>
#include <optional>

#include "fsrs.h"
#include "practice.h"

namespace rekendo {

struct DrillSettings {
  // The limits offered; nothing is no limit.
  static constexpr int kLimits[] = {40, 60, 80};

  std::optional<int> time_limit_seconds = 40;
  bool keyboard_typing = false;
  bool fill_screen = false;
  // The chance of recall at which a problem comes back for review (0.70–0.97), and how many
  // problems 今日の練習 holds (10–50).
  double retention = schedule::kDefaultRetention;
  int practice_size = schedule::kDefaultPracticeSize;
  // A topic at a level is 習得 with this many right of its last questions.
  schedule::MasteryRule mastery = {};

  bool operator==(const DrillSettings&) const = default;
};

class DrillSettingsStore {
 public:
  // The user's settings (organization and application "rekendo").
  DrillSettingsStore();
  // Settings kept in the INI file at `path` (tests).
  explicit DrillSettingsStore(const QString& path);

  // What was saved; anything missing or not understood is its default.
  DrillSettings Load() const;
  void Save(const DrillSettings& settings);

  // Where the class server is (クラス): a connection string without a password; empty:
  // none. Kept beside the settings, changed only through the teacher's dialog.
  QString ClassConnection() const;
  void SaveClassConnection(const QString& connection);

 private:
  QString path_;  // empty: the user's native settings
};

}  // namespace rekendo
