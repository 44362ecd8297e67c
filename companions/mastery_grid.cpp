#include "mastery_grid.h"

#include <QHeaderView>

#include "problem_file.h"

namespace rekendo::record {

namespace {

QString FromUtf8(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

MasteryGrid::MasteryGrid(QWidget* parent) : QTableWidget(parent) {
  setObjectName(QStringLiteral("mastery"));
  setAccessibleName(QStringLiteral("習得の表"));
  setAccessibleDescription(QStringLiteral("単元ごと、レベルごとに 未・練習中・習得"));
  const auto topics = generator::TopicList();
  setRowCount(static_cast<int>(topics.size()));
  setColumnCount(generator::kLevelCount);
  QStringList levels;
  for (int level = 1; level <= generator::kLevelCount; ++level) {
    levels << QStringLiteral("レベル %1").arg(level);
  }
  setHorizontalHeaderLabels(levels);
  QStringList names;
  for (const auto& topic : topics) names << FromUtf8(topic.japanese_name);
  setVerticalHeaderLabels(names);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
  Show({});
}

void MasteryGrid::Show(const std::vector<TopicMastery>& mastery) {
  const auto topics = generator::TopicList();
  for (int row = 0; row < static_cast<int>(topics.size()); ++row) {
    const QString topic = FromUtf8(topics[static_cast<std::size_t>(row)].name);
    for (int level = 1; level <= generator::kLevelCount; ++level) {
      schedule::Mastery state = schedule::Mastery::kNotStarted;
      QString tally;
      for (const TopicMastery& cell : mastery) {
        if (cell.topic == topic && cell.level == level) {
          state = cell.mastery;
          tally = QStringLiteral("（直近 %1 問中 %2 問正解）").arg(cell.counted).arg(cell.right);
        }
      }
      auto* item = new QTableWidgetItem(QString::fromUtf8(schedule::MasteryLabel(state)));
      item->setTextAlignment(Qt::AlignCenter);
      item->setToolTip(tally);
      if (state == schedule::Mastery::kMastered) item->setBackground(QColor(0xd8, 0xf0, 0xd8));
      setItem(row, level - 1, item);
    }
  }
}

}  // namespace rekendo::record
