#include "teacher_view.h"

#include <QChart>
#include <QChartView>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLineSeries>
#include <QValueAxis>
#include <QFutureWatcher>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>
#include <memory>

#include "screen_fit.h"
#include "csv_export.h"

namespace rekendo {

namespace {

QTableWidgetItem* Cell(const QString& text, bool number = false) {
  auto* item = new QTableWidgetItem(text);
  item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
  if (number) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
  return item;
}

}  // namespace

TeacherView::TeacherView(const QString& record_path, qint64 now_ms, QWidget* parent)
    : QDialog(parent),
      table_(new QTableWidget(0, 5, this)),
      trend_(new QChartView(this)),
      missed_(new QTableWidget(0, 4, this)),
      summary_(new QLabel(this)),
      export_(new QPushButton(QStringLiteral("CSV に書き出す(&E)…"), this)) {
  setObjectName(QStringLiteral("teacherView"));
  const qint64 since = record::StartOfWeek(now_ms);
  setWindowTitle(QStringLiteral("先生用の一覧（%1 からの今週）")
                     .arg(QDateTime::fromMSecsSinceEpoch(since).toString(QStringLiteral("M/d"))));
  table_->setObjectName(QStringLiteral("learnerWeeks"));
  table_->setAccessibleName(QStringLiteral("学習者ごとの今週"));
  table_->setHorizontalHeaderLabels({QStringLiteral("学習者"), QStringLiteral("今週の回数"),
                                     QStringLiteral("平均"), QStringLiteral("最後に解いた日"),
                                     QStringLiteral("今日の復習")});
  table_->verticalHeader()->hide();
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
  for (int column = 1; column < 5; ++column) {
    table_->horizontalHeader()->setSectionResizeMode(column, QHeaderView::ResizeToContents);
  }
  table_->setWordWrap(false);
  table_->setTabKeyNavigation(false);
  summary_->setWordWrap(true);
  summary_->setText(QStringLiteral("読み込み中…"));

  trend_->setObjectName(QStringLiteral("classTrend"));
  trend_->setAccessibleName(QStringLiteral("得点の推移（学習者ごと）"));
  trend_->setRenderHint(QPainter::Antialiasing);
  trend_->setMinimumHeight(260);
  trend_->setFocusPolicy(Qt::TabFocus);  // its description speaks for the lines

  missed_->setObjectName(QStringLiteral("classMissed"));
  missed_->setAccessibleName(QStringLiteral("クラスでよく間違える問題"));
  missed_->setHorizontalHeaderLabels({QStringLiteral("問題ファイル"), QStringLiteral("問題"),
                                      QStringLiteral("正解"), QStringLiteral("正解 / 出題")});
  missed_->verticalHeader()->hide();
  missed_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  missed_->setSelectionBehavior(QAbstractItemView::SelectRows);
  missed_->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
  missed_->setWordWrap(false);
  missed_->setTabKeyNavigation(false);

  export_->setEnabled(false);
  connect(export_, &QPushButton::clicked, this, &TeacherView::ChooseCsvPath);
  auto* close = new QPushButton(QStringLiteral("閉じる"), this);
  connect(close, &QPushButton::clicked, this, &QDialog::accept);
  buttons_ = new QHBoxLayout;
  buttons_->addWidget(export_);
  buttons_->addStretch(1);
  buttons_->addWidget(close);
  auto* missed_title = new QLabel(QStringLiteral("クラスでよく間違える問題(&M)"), this);
  missed_title->setBuddy(missed_);
  auto* content = new QWidget(this);
  auto* content_layout = new QVBoxLayout(content);
  content_layout->setContentsMargins(0, 0, 0, 0);
  content_layout->addWidget(table_, 1);
  content_layout->addWidget(summary_);
  content_layout->addWidget(trend_, 2);
  content_layout->addWidget(missed_title);
  content_layout->addWidget(missed_, 1);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(ScrollingArea(content, this), 1);
  layout->addLayout(buttons_);
  FitToScreen(this, QSize(720, 780), FreeScreenArea(parent));

  using Rows = std::shared_ptr<Result<record::ClassOverview>>;
  auto* watcher = new QFutureWatcher<Rows>(this);
  connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher] {
    watcher->deleteLater();
    Show(*watcher->result());
  });
  const QDateTime now = QDateTime::fromMSecsSinceEpoch(now_ms).toLocalTime();
  const qint64 day_end = QDateTime(now.date().addDays(1), QTime(0, 0)).toMSecsSinceEpoch();
  watcher->setFuture(QtConcurrent::run([record_path, since, day_end] {
    return std::make_shared<Result<record::ClassOverview>>(
        record::ReadClassOverview(record_path, since, day_end));
  }));
}

QString TeacherView::Summary() const { return summary_->text(); }

void TeacherView::AddServerButton(std::function<void()> open) {
  auto* server = new QPushButton(QStringLiteral("クラスのサーバー(&S)…"), this);
  connect(server, &QPushButton::clicked, this, std::move(open));
  buttons_->insertWidget(1, server);
}

void TeacherView::Show(const Result<record::ClassOverview>& overview) {
  if (!overview) {
    summary_->setStyleSheet(QStringLiteral("color: #a00000;"));
    summary_->setText(QString::fromStdString(overview.error().Describe()));
    emit Shown();
    return;
  }
  shown_ = *overview;
  const std::vector<record::LearnerWeek>* rows = &shown_.learners;
  int other_limits = 0;
  table_->setRowCount(static_cast<int>(rows->size()));
  QStringList idle;
  for (int row = 0; row < static_cast<int>(rows->size()); ++row) {
    const record::LearnerWeek& learner = (*rows)[row];
    table_->setItem(row, 0, Cell(learner.name));
    table_->setItem(row, 1, Cell(QString::number(learner.rounds), true));
    table_->setItem(row, 2, Cell(learner.average ? QString::number(*learner.average, 'f', 1)
                                                 : QStringLiteral("—"), true));
    other_limits += learner.other_limit_rounds;
    table_->setItem(row, 3, Cell(learner.last_played
                                     ? QDateTime::fromMSecsSinceEpoch(*learner.last_played)
                                           .toLocalTime()
                                           .toString(QStringLiteral("yyyy/MM/dd HH:mm"))
                                     : QStringLiteral("まだ解いていません")));
    table_->setItem(row, 4, Cell(QString::number(learner.due_today), true));
    if (learner.rounds == 0) idle << learner.name;
  }
  QString summary = idle.isEmpty()
                        ? QStringLiteral("今週はみんな解いています。")
                        : QStringLiteral("今週まだ解いていない人: ") + idle.join(QStringLiteral("、"));
  if (other_limits > 0) {
    summary += QStringLiteral("\n平均と図は 40 秒の回だけ（ほかの制限時間の %1 回は含みません）。")
                   .arg(other_limits);
  }
  summary_->setText(summary);
  ShowTrend(shown_.learners);
  ShowMissed(shown_.most_missed);
  export_->setEnabled(true);
  emit Shown();
}

void TeacherView::ShowTrend(const std::vector<record::LearnerWeek>& learners) {
  auto* chart = new QChart;
  chart->setTitle(QStringLiteral("最近の %1 回の得点（40 秒の回、古い順）").arg(record::kTrendRounds));
  chart->legend()->setAlignment(Qt::AlignRight);
  chart->setMargins(QMargins(4, 4, 4, 4));
  auto* rounds_axis = new QValueAxis;
  rounds_axis->setTickCount(5);
  rounds_axis->setLabelFormat(QStringLiteral("%d"));
  rounds_axis->setRange(1, record::kTrendRounds);
  auto* score_axis = new QValueAxis;
  score_axis->setTitleText(QStringLiteral("得点"));
  score_axis->setRange(0, 100);
  score_axis->setLabelFormat(QStringLiteral("%d"));
  chart->addAxis(rounds_axis, Qt::AlignBottom);
  chart->addAxis(score_axis, Qt::AlignLeft);
  QStringList described;
  for (const record::LearnerWeek& learner : learners) {
    if (learner.recent_scores.empty()) continue;
    auto* line = new QLineSeries;
    line->setName(learner.name);
    for (std::size_t i = 0; i < learner.recent_scores.size(); ++i) {
      line->append(static_cast<qreal>(i + 1), learner.recent_scores[i]);
    }
    line->setPointsVisible(true);
    chart->addSeries(line);
    line->attachAxis(rounds_axis);
    line->attachAxis(score_axis);
    described << QStringLiteral("%1: %2 回、最初 %3 点、最後 %4 点")
                     .arg(learner.name)
                     .arg(learner.recent_scores.size())
                     .arg(learner.recent_scores.front())
                     .arg(learner.recent_scores.back());
  }
  QChart* old = trend_->chart();
  trend_->setChart(chart);
  delete old;
  trend_->setAccessibleDescription(
      described.isEmpty() ? QStringLiteral("まだ最後まで解いた回がありません。")
                          : described.join(QStringLiteral("。")) + QStringLiteral("。"));
}

void TeacherView::ShowMissed(const std::vector<record::ClassMissed>& missed) {
  missed_->setRowCount(static_cast<int>(missed.size()));
  for (int row = 0; row < static_cast<int>(missed.size()); ++row) {
    const record::ClassMissed& problem = missed[row];
    missed_->setItem(row, 0, Cell(problem.set_name));
    missed_->setItem(row, 1, Cell(problem.text.left(200)));
    missed_->setItem(row, 2, Cell(problem.accepted.left(200)));
    missed_->setItem(row, 3, Cell(QStringLiteral("%1 / %2（%3 人）")
                                      .arg(problem.right)
                                      .arg(problem.asked)
                                      .arg(problem.learners),
                                  true));
  }
}

Status TeacherView::ExportCsv(const QString& path) const {
  return record::WriteCsvFile(path, record::ClassOverviewCsv(shown_));
}

void TeacherView::ChooseCsvPath() {
  const QString path = QFileDialog::getSaveFileName(
      this, QStringLiteral("クラスの一覧を CSV に書き出す"),
      QDir::home().filePath(QStringLiteral("クラス.csv")), QStringLiteral("CSV (*.csv)"));
  if (path.isEmpty()) return;
  const Status written = ExportCsv(path);
  if (!written) {
    summary_->setStyleSheet(QStringLiteral("color: #a00000;"));
    summary_->setText(QString::fromStdString(written.error().Describe()));
    return;
  }
  summary_->setStyleSheet({});
  summary_->setText(summary_->text() + QStringLiteral("\n%1 に書き出しました。").arg(QDir::toNativeSeparators(path)));
}

}  // namespace rekendo
