// The line chart of a set's scores over time (Qt Charts), 0 to 100.
#pragma once

#include <QtCharts/QChartView>
#include <vector>

#include "record_queries.h"

QT_BEGIN_NAMESPACE
class QLineSeries;
class QDateTimeAxis;
class QValueAxis;
QT_END_NAMESPACE

namespace rekendo::record {

// Points beyond this are averaged in SQL (see LoadScoreSeries): the chart stays quick to
// draw and readable for any number of rounds.
inline constexpr int kChartPoints = 300;

class ScoreChart : public QChartView {
 public:
  explicit ScoreChart(QWidget* parent = nullptr);

  // Shows `points`; `set_name` goes in the title, `note` (what the points leave out) on a
  // line under it.
  void Show(const std::vector<ScorePoint>& points, const QString& set_name,
            const QString& note = {});
  int PointCount() const;

 private:
  QLineSeries* series_;
  QDateTimeAxis* time_axis_;
  QValueAxis* score_axis_;
};

}  // namespace rekendo::record
