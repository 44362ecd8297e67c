// 習得: every topic of 問題を作る against its levels, each cell 未 (no question yet), 練習中
// or 習得 (9 of the last 10 right before the time-out), for the current learner.
#pragma once

#include <QTableWidget>
#include <vector>

#include "generated_sets.h"

namespace rekendo::record {

class MasteryGrid : public QTableWidget {
 public:
  explicit MasteryGrid(QWidget* parent = nullptr);

  // Every cell from `mastery`; topic and level pairs not in it are 未.
  void Show(const std::vector<TopicMastery>& mastery);
};

}  // namespace rekendo::record
