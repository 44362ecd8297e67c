// 設定: the time limit, typing on the physical keyboard, 拡大, the retention of the reviews
// and the size of 今日の練習, each with a Japanese label
// and an accessible name, reachable by Tab and by its Alt key.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDoubleSpinBox>
#include <QSpinBox>

#include "drill_settings.h"

namespace rekendo {

class SettingsDialog : public QDialog {
 public:
  SettingsDialog(const DrillSettings& current, QWidget* parent);

  // What the dialog shows now.
  DrillSettings Chosen() const;

 private:
  QComboBox* time_limit_ = nullptr;
  QCheckBox* typing_ = nullptr;
  QCheckBox* fill_ = nullptr;
  QDoubleSpinBox* retention_ = nullptr;
  QSpinBox* practice_size_ = nullptr;
  QSpinBox* mastery_last_ = nullptr;
  QSpinBox* mastery_right_ = nullptr;
};

}  // namespace rekendo
