#include "score_chart.h"

#include <QDateTime>
#include <QtCharts/QChart>
#include <QtCharts/QDateTimeAxis>
#include <QtCharts/QLineSeries>
#include <QtCharts/QValueAxis>

namespace rekendo::record {

ScoreChart::ScoreChart(QWidget* parent)
    : QChartView(parent),
      series_(new QLineSeries),
      time_axis_(new QDateTimeAxis),
      score_axis_(new QValueAxis) {
  setObjectName(QStringLiteral("scoreChart"));
  auto* chart = new QChart;
  chart->legend()->hide();
  chart->addSeries(series_);
  time_axis_->setFormat(QStringLiteral("MM/dd"));
  time_axis_->setTitleText(QStringLiteral("日付"));
  score_axis_->setRange(0, 100);
  score_axis_->setTickCount(6);
  score_axis_->setLabelFormat(QStringLiteral("%d"));
  score_axis_->setTitleText(QStringLiteral("得点"));
  chart->addAxis(time_axis_, Qt::AlignBottom);
  chart->addAxis(score_axis_, Qt::AlignLeft);
  series_->attachAxis(time_axis_);
  series_->attachAxis(score_axis_);
  chart->setTitle(QStringLiteral("得点の推移"));
  // The view owns the chart, the chart the series and axes. The view's own empty chart is
  // let go by setChart, not deleted.
  QChart* empty = this->chart();
  setChart(chart);
  delete empty;
  setRenderHint(QPainter::Antialiasing);
  setMinimumSize(360, 240);
  setFocusPolicy(Qt::NoFocus);
}

void ScoreChart::Show(const std::vector<ScorePoint>& points, const QString& set_name,
                      const QString& note) {
  QList<QPointF> line;
  line.reserve(static_cast<qsizetype>(points.size()));
  int rounds = 0;
  for (const ScorePoint& point : points) {
    line.append(QPointF(static_cast<qreal>(point.time), point.score));
    rounds += point.rounds;
  }
  series_->replace(line);
  series_->setPointsVisible(points.size() <= 60);
  if (points.empty()) {
    time_axis_->setFormat(QStringLiteral("MM/dd"));
    time_axis_->setTickCount(5);
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    time_axis_->setRange(QDateTime::fromMSecsSinceEpoch(now - 7LL * 24 * 3600 * 1000),
                         QDateTime::fromMSecsSinceEpoch(now));
  } else {
    // A little room either side, so a single round is not drawn on the edge.
    // Rounds of a day or two are told apart by the hour; longer records by the day.
    constexpr qint64 kHour = 3600LL * 1000;
    const qint64 first = points.front().time;
    const qint64 last = points.back().time;
    const bool by_hour = last - first < 48 * kHour;
    time_axis_->setFormat(by_hour ? QStringLiteral("MM/dd hh:mm") : QStringLiteral("MM/dd"));
    time_axis_->setTickCount(by_hour ? 4 : 5);
    const qint64 margin = std::max<qint64>((last - first) / 20, by_hour ? kHour / 2 : 12 * kHour);
    time_axis_->setRange(QDateTime::fromMSecsSinceEpoch(first - margin),
                         QDateTime::fromMSecsSinceEpoch(last + margin));
  }
  QString title = QStringLiteral("得点の推移 — %1").arg(set_name);
  if (rounds > static_cast<int>(points.size())) {
    title += QStringLiteral("（%1 回を %2 点にまとめて表示）").arg(rounds).arg(points.size());
  }
  // The title is rich text: a file name is shown as it is, whatever it holds.
  chart()->setTitle(note.isEmpty() ? title.toHtmlEscaped()
                                   : title.toHtmlEscaped() + QStringLiteral("<br>") +
                                         note.toHtmlEscaped());
  // A screen reader cannot see the line: it hears what the line shows.
  QString summary;
  if (points.empty()) {
    summary = QStringLiteral("まだ最後まで解いた回がありません。");
  } else {
    double sum = 0;
    for (const ScorePoint& point : points) sum += point.score * point.rounds;
    summary = QStringLiteral("%1 回。最初 %2 点、最後 %3 点、平均 %4 点。")
                  .arg(rounds)
                  .arg(points.front().score, 0, 'f', 0)
                  .arg(points.back().score, 0, 'f', 0)
                  .arg(sum / rounds, 0, 'f', 1);
  }
  setAccessibleName(QStringLiteral("得点の推移"));
  setAccessibleDescription(title + QStringLiteral("。") + summary + note);
}

int ScoreChart::PointCount() const { return static_cast<int>(series_->count()); }

}  // namespace rekendo::record
