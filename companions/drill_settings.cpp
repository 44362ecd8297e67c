#include "drill_settings.h"

#include <QSettings>
#include <algorithm>
#include <iterator>
#include <memory>

namespace rekendo {

namespace {

constexpr const char* kTimeLimitKey = "drill/time_limit_seconds";  // 0: no limit
constexpr const char* kTypingKey = "drill/keyboard_typing";
constexpr const char* kFillKey = "window/fill_screen";
constexpr const char* kClassKey = "class/connection";
constexpr const char* kRetentionKey = "schedule/retention";
constexpr const char* kPracticeSizeKey = "schedule/practice_size";
constexpr const char* kMasteryRightKey = "schedule/mastery_right";
constexpr const char* kMasteryLastKey = "schedule/mastery_last";

std::unique_ptr<QSettings> Open(const QString& path) {
  if (path.isEmpty()) {
    return std::make_unique<QSettings>(QStringLiteral("rekendo"), QStringLiteral("rekendo"));
  }
  return std::make_unique<QSettings>(path, QSettings::IniFormat);
}

}  // namespace

DrillSettingsStore::DrillSettingsStore() = default;
DrillSettingsStore::DrillSettingsStore(const QString& path) : path_(path) {}

DrillSettings DrillSettingsStore::Load() const {
  const std::unique_ptr<QSettings> store = Open(path_);
  DrillSettings settings;
  bool ok = false;
  const int limit = store->value(kTimeLimitKey).toInt(&ok);
  if (ok && limit == 0) {
    settings.time_limit_seconds.reset();
  } else if (ok && std::find(std::begin(DrillSettings::kLimits), std::end(DrillSettings::kLimits),
                             limit) != std::end(DrillSettings::kLimits)) {
    settings.time_limit_seconds = limit;
  }
  settings.keyboard_typing = store->value(kTypingKey, false).toBool();
  settings.fill_screen = store->value(kFillKey, false).toBool();
  const double retention = store->value(kRetentionKey).toDouble(&ok);
  if (ok && retention >= schedule::kMinRetention && retention <= schedule::kMaxRetention) {
    settings.retention = retention;
  }
  const int size = store->value(kPracticeSizeKey).toInt(&ok);
  if (ok && size >= schedule::kMinPracticeSize && size <= schedule::kMaxPracticeSize) {
    settings.practice_size = size;
  }
  bool right_ok = false;
  bool last_ok = false;
  const schedule::MasteryRule rule{store->value(kMasteryRightKey).toInt(&right_ok),
                                   store->value(kMasteryLastKey).toInt(&last_ok)};
  // Only a rule the scheduler takes (it says which).
  if (right_ok && last_ok && schedule::MasteryOf({}, rule)) settings.mastery = rule;
  return settings;
}

void DrillSettingsStore::Save(const DrillSettings& settings) {
  const std::unique_ptr<QSettings> store = Open(path_);
  store->setValue(kTimeLimitKey, settings.time_limit_seconds.value_or(0));
  store->setValue(kTypingKey, settings.keyboard_typing);
  store->setValue(kFillKey, settings.fill_screen);
  store->setValue(kRetentionKey, settings.retention);
  store->setValue(kPracticeSizeKey, settings.practice_size);
  store->setValue(kMasteryRightKey, settings.mastery.right_needed);
  store->setValue(kMasteryLastKey, settings.mastery.last_questions);
  store->sync();
}

QString DrillSettingsStore::ClassConnection() const {
  return Open(path_)->value(kClassKey).toString();
}

void DrillSettingsStore::SaveClassConnection(const QString& connection) {
  const std::unique_ptr<QSettings> store = Open(path_);
  if (connection.isEmpty()) {
    store->remove(kClassKey);
  } else {
    store->setValue(kClassKey, connection);
  }
  store->sync();
}

}  // namespace rekendo
