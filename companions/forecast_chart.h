// 復習の予定: a bar chart of how many of a set's problems come due on each of the next 14
// days (today first, overdue ones counted today), with the same in one sentence above it
// for anyone who cannot see the bars.
#pragma once

#include <QWidget>

#include "practice.h"

QT_BEGIN_NAMESPACE
class QBarSet;
class QBarCategoryAxis;
class QLabel;
class QValueAxis;
QT_END_NAMESPACE

namespace rekendo::record {

class ForecastChart : public QWidget {
 public:
  explicit ForecastChart(QWidget* parent = nullptr);

  // Shows the forecast; `today` is the first bar, the others are labelled by day of month.
  void Show(const schedule::SetForecast& forecast, const QDate& today);
  // What the sentence says, e.g. 「今日の復習 3 問。14 日間で 25 問（明日 2 問）。」
  QString Summary() const;

 private:
  QLabel* summary_;
  QBarSet* bars_;
  QBarCategoryAxis* days_axis_;
  QValueAxis* count_axis_;
};

// The count axis for a tallest bar of `most`: its top and the step between its ticks, both
// whole numbers (0, 2, 4, 6, 8 rather than 0, 1.4, 2.8 …, which read as 0, 1, 2, 4 …).
struct CountScale {
  int top = 5;
  int step = 1;
};
CountScale CountScaleFor(int most);

// The sentence for a forecast.
QString ForecastSummary(const schedule::SetForecast& forecast);

}  // namespace rekendo::record
