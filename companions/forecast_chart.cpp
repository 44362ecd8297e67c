#include "forecast_chart.h"

#include <QDate>
#include <QLabel>
#include <QVBoxLayout>
#include <QtCharts/QBarCategoryAxis>
#include <QtCharts/QBarSeries>
#include <QtCharts/QBarSet>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <QtCharts/QValueAxis>
#include <algorithm>
#include <numeric>

namespace rekendo::record {

QString ForecastSummary(const schedule::SetForecast& forecast) {
  const auto& days = forecast.due_per_day;
  const int total = std::accumulate(days.begin(), days.end(), 0);
  if (total == 0) return QStringLiteral("この先 14 日間に復習する問題はありません。");
  return QStringLiteral("今日の復習 %1 問。14 日間で %2 問（明日 %3 問）。")
      .arg(days[0])
      .arg(total)
      .arg(days[1]);
}

ForecastChart::ForecastChart(QWidget* parent)
    : QWidget(parent),
      summary_(new QLabel(this)),
      bars_(new QBarSet(QStringLiteral("復習する問題"))),
      days_axis_(new QBarCategoryAxis),
      count_axis_(new QValueAxis) {
  setObjectName(QStringLiteral("forecast"));
  summary_->setObjectName(QStringLiteral("forecastSummary"));
  summary_->setWordWrap(true);
  auto* series = new QBarSeries;
  series->append(bars_);
  auto* chart = new QChart;
  chart->legend()->hide();
  chart->addSeries(series);
  chart->setTitle(QStringLiteral("復習の予定（14 日間）"));
  count_axis_->setLabelFormat(QStringLiteral("%d"));
  count_axis_->setTitleText(QStringLiteral("問題数"));
  days_axis_->setTitleText(QStringLiteral("日"));
  chart->addAxis(days_axis_, Qt::AlignBottom);
  chart->addAxis(count_axis_, Qt::AlignLeft);
  series->attachAxis(days_axis_);
  series->attachAxis(count_axis_);
  auto* view = new QChartView(chart, this);  // the view owns the chart, the chart the series
  view->setObjectName(QStringLiteral("forecastChart"));
  view->setRenderHint(QPainter::Antialiasing);
  view->setMinimumSize(360, 200);
  view->setFocusPolicy(Qt::NoFocus);
  view->setAccessibleName(QStringLiteral("復習の予定"));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(summary_);
  layout->addWidget(view, 1);
  Show({}, QDate::currentDate());
}

CountScale CountScaleFor(int most) {
  // Ticks on whole numbers only: a step of 1, 2 or 5 times a power of ten, at most five of
  // them above zero, and the top on a tick.
  const int raw = std::max(1, (std::max(most, 5) + 4) / 5);
  int step = 1;
  for (int power = 1;; power *= 10) {
    if (raw <= power) { step = power; break; }
    if (raw <= 2 * power) { step = 2 * power; break; }
    if (raw <= 5 * power) { step = 5 * power; break; }
  }
  const int top = std::max(5, ((most + step - 1) / step) * step);
  return {((top + step - 1) / step) * step, step};
}

void ForecastChart::Show(const schedule::SetForecast& forecast, const QDate& today) {
  QStringList labels;
  QList<qreal> counts;
  int most = 0;
  for (int day = 0; day < schedule::kForecastDays; ++day) {
    labels << (day == 0 ? QStringLiteral("今日") : QString::number(today.addDays(day).day()));
    const int count = forecast.due_per_day[static_cast<std::size_t>(day)];
    counts << count;
    most = std::max(most, count);
  }
  days_axis_->clear();
  days_axis_->append(labels);
  bars_->remove(0, bars_->count());
  bars_->append(counts);
  const CountScale scale = CountScaleFor(most);
  count_axis_->setRange(0, scale.top);
  count_axis_->setTickCount(scale.top / scale.step + 1);
  summary_->setText(ForecastSummary(forecast));
  // The bars themselves say nothing to a screen reader: the sentence does.
  findChild<QChartView*>(QStringLiteral("forecastChart"))
      ->setAccessibleDescription(summary_->text());
}

QString ForecastChart::Summary() const { return summary_->text(); }

}  // namespace rekendo::record
