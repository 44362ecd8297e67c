#include "settings_dialog.h"

#include <cmath>

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace rekendo {

SettingsDialog::SettingsDialog(const DrillSettings& current, QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("settingsDialog"));
  setWindowTitle(QStringLiteral("設定"));

  time_limit_ = new QComboBox(this);
  time_limit_->setObjectName(QStringLiteral("timeLimit"));
  for (const int seconds : DrillSettings::kLimits) {
    time_limit_->addItem(QStringLiteral("%1 秒").arg(seconds), seconds);
  }
  time_limit_->addItem(QStringLiteral("なし"), 0);
  time_limit_->setCurrentIndex(time_limit_->findData(current.time_limit_seconds.value_or(0)));
  time_limit_->setAccessibleName(QStringLiteral("制限時間"));
  time_limit_->setAccessibleDescription(QStringLiteral("次の回から"));

  typing_ = new QCheckBox(QStringLiteral("キーボードで入力する(&K)"), this);
  typing_->setObjectName(QStringLiteral("keyboardTyping"));
  typing_->setChecked(current.keyboard_typing);
  typing_->setAccessibleName(QStringLiteral("キーボードで入力する"));
  typing_->setAccessibleDescription(
      QStringLiteral("数字、a b c l m n x y z、+ - ( ) / . ^、r でルート、Enter で決定、Esc で取消"));

  fill_ = new QCheckBox(QStringLiteral("拡大（次に起動したときから）(&Z)"), this);
  fill_->setObjectName(QStringLiteral("fillScreen"));
  fill_->setChecked(current.fill_screen);
  fill_->setAccessibleName(QStringLiteral("拡大"));
  fill_->setAccessibleDescription(QStringLiteral("画面いっぱいに広げます。次に起動したときから"));

  retention_ = new QDoubleSpinBox(this);
  retention_->setObjectName(QStringLiteral("retention"));
  // Shown as a percentage, as teachers speak of it; kept as a fraction.
  retention_->setRange(schedule::kMinRetention * 100, schedule::kMaxRetention * 100);
  retention_->setSingleStep(1);
  retention_->setDecimals(0);
  retention_->setSuffix(QStringLiteral(" %"));
  retention_->setValue(current.retention * 100);
  retention_->setAccessibleName(QStringLiteral("復習の目標正答率"));
  retention_->setAccessibleDescription(
      QStringLiteral("高いほど早めに復習に出ます。70 % から 97 %、ふつうは 90 %"));

  practice_size_ = new QSpinBox(this);
  practice_size_->setObjectName(QStringLiteral("practiceSize"));
  practice_size_->setRange(schedule::kMinPracticeSize, schedule::kMaxPracticeSize);
  practice_size_->setSuffix(QStringLiteral(" 問"));
  practice_size_->setValue(current.practice_size);
  practice_size_->setAccessibleName(QStringLiteral("今日の練習の問題数"));
  practice_size_->setAccessibleDescription(QStringLiteral("10 から 50 問"));

  // 習得: "right_needed of the last last_questions"; the first can never exceed the second.
  mastery_last_ = new QSpinBox(this);
  mastery_last_->setObjectName(QStringLiteral("masteryLast"));
  mastery_last_->setRange(1, 50);
  mastery_last_->setPrefix(QStringLiteral("直近 "));
  mastery_last_->setSuffix(QStringLiteral(" 問中"));
  mastery_last_->setValue(current.mastery.last_questions);
  mastery_last_->setAccessibleName(QStringLiteral("習得の条件、直近の問題数"));
  mastery_right_ = new QSpinBox(this);
  mastery_right_->setObjectName(QStringLiteral("masteryRight"));
  mastery_right_->setRange(1, current.mastery.last_questions);
  mastery_right_->setSuffix(QStringLiteral(" 問正解"));
  mastery_right_->setValue(current.mastery.right_needed);
  mastery_right_->setAccessibleName(QStringLiteral("習得の条件、正解の数"));
  connect(mastery_last_, &QSpinBox::valueChanged, mastery_right_,
          [this](int last) { mastery_right_->setMaximum(last); });
  auto* mastery_row = new QHBoxLayout;
  mastery_row->addWidget(mastery_last_);
  mastery_row->addWidget(mastery_right_);

  auto* form = new QFormLayout;
  auto* limit_label = new QLabel(QStringLiteral("制限時間(&T)"), this);
  limit_label->setBuddy(time_limit_);
  form->addRow(limit_label, time_limit_);
  form->addRow(typing_);
  form->addRow(fill_);
  auto* retention_label = new QLabel(QStringLiteral("復習の目標正答率(&R)"), this);
  retention_label->setBuddy(retention_);
  form->addRow(retention_label, retention_);
  auto* size_label = new QLabel(QStringLiteral("今日の練習の問題数(&N)"), this);
  size_label->setBuddy(practice_size_);
  form->addRow(size_label, practice_size_);
  auto* mastery_label = new QLabel(QStringLiteral("習得の条件(&M)"), this);
  mastery_label->setBuddy(mastery_last_);
  form->addRow(mastery_label, mastery_row);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
  buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("キャンセル"));
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(buttons);
  time_limit_->setFocus();
}

DrillSettings SettingsDialog::Chosen() const {
  DrillSettings chosen;
  const int seconds = time_limit_->currentData().toInt();
  chosen.time_limit_seconds =
      seconds > 0 ? std::optional<int>(seconds) : std::optional<int>(std::nullopt);
  chosen.keyboard_typing = typing_->isChecked();
  chosen.fill_screen = fill_->isChecked();
  chosen.retention = std::round(retention_->value()) / 100.0;
  chosen.practice_size = practice_size_->value();
  chosen.mastery = {mastery_right_->value(), mastery_last_->value()};
  return chosen;
}

}  // namespace rekendo
