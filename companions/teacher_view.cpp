#include "teacher_view.h"

#include <QDateTime>
#include <QFutureWatcher>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>
#include <memory>

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
    : QDialog(parent), table_(new QTableWidget(0, 4, this)), summary_(new QLabel(this)) {
  setObjectName(QStringLiteral("teacherView"));
  const qint64 since = record::StartOfWeek(now_ms);
  setWindowTitle(QStringLiteral("先生用の一覧（%1 からの今週）")
                     .arg(QDateTime::fromMSecsSinceEpoch(since).toString(QStringLiteral("M/d"))));
  table_->setObjectName(QStringLiteral("learnerWeeks"));
  table_->setHorizontalHeaderLabels({QStringLiteral("学習者"), QStringLiteral("今週の回数"),
                                     QStringLiteral("平均"), QStringLiteral("最後に解いた日")});
  table_->verticalHeader()->hide();
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
  for (int column = 1; column < 4; ++column) {
    table_->horizontalHeader()->setSectionResizeMode(column, QHeaderView::ResizeToContents);
  }
  table_->setWordWrap(false);
  table_->setTabKeyNavigation(false);
  summary_->setWordWrap(true);
  summary_->setText(QStringLiteral("読み込み中…"));
  auto* close = new QPushButton(QStringLiteral("閉じる"), this);
  connect(close, &QPushButton::clicked, this, &QDialog::accept);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(table_, 1);
  layout->addWidget(summary_);
  layout->addWidget(close, 0, Qt::AlignRight);
  resize(560, 380);

  using Rows = std::shared_ptr<Result<std::vector<record::LearnerWeek>>>;
  auto* watcher = new QFutureWatcher<Rows>(this);
  connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher] {
    watcher->deleteLater();
    Show(*watcher->result());
  });
  watcher->setFuture(QtConcurrent::run([record_path, since] {
    return std::make_shared<Result<std::vector<record::LearnerWeek>>>(
        record::ReadLearnerOverview(record_path, since));
  }));
}

QString TeacherView::Summary() const { return summary_->text(); }

void TeacherView::Show(const Result<std::vector<record::LearnerWeek>>& rows) {
  if (!rows) {
    summary_->setStyleSheet(QStringLiteral("color: #a00000;"));
    summary_->setText(QString::fromStdString(rows.error().Describe()));
    emit Shown();
    return;
  }
  table_->setRowCount(static_cast<int>(rows->size()));
  QStringList idle;
  for (int row = 0; row < static_cast<int>(rows->size()); ++row) {
    const record::LearnerWeek& learner = (*rows)[row];
    table_->setItem(row, 0, Cell(learner.name));
    table_->setItem(row, 1, Cell(QString::number(learner.rounds), true));
    table_->setItem(row, 2, Cell(learner.average ? QString::number(*learner.average, 'f', 1)
                                                 : QStringLiteral("—"), true));
    table_->setItem(row, 3, Cell(learner.last_played
                                     ? QDateTime::fromMSecsSinceEpoch(*learner.last_played)
                                           .toLocalTime()
                                           .toString(QStringLiteral("yyyy/MM/dd HH:mm"))
                                     : QStringLiteral("まだ解いていません")));
    if (learner.rounds == 0) idle << learner.name;
  }
  summary_->setText(idle.isEmpty()
                        ? QStringLiteral("今週はみんな解いています。")
                        : QStringLiteral("今週まだ解いていない人: ") + idle.join(QStringLiteral("、")));
  emit Shown();
}

}  // namespace rekendo
