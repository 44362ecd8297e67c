#include "class_server_view.h"

#include <QDateTime>
#include <QFutureWatcher>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>
#include <memory>

#include "class_database.h"
#include "learner_overview.h"

namespace rekendo {

namespace {

using Rows = Result<std::vector<classroom::ReportRow>>;

QTableWidgetItem* Cell(const QString& text, bool number = false) {
  auto* item = new QTableWidgetItem(text);
  item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
  if (number) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
  return item;
}

Rows ReadReport(const std::string& conninfo, qint64 since_ms,
                std::shared_ptr<classroom::QueryCanceller> canceller) {
  // Made, used and dropped on this worker thread: a connection belongs to one thread.
  classroom::ClassDatabase db(conninfo, {}, canceller);
  if (Status opened = db.Open(); !opened) return opened.error();
  if (canceller->Cancelled()) return Error{ErrorCode::kOther, "閉じました。", {}, {}};
  return classroom::ClassReport(db, since_ms);
}

}  // namespace

ClassServerView::ClassServerView(const QString& conninfo, qint64 now_ms, QWidget* parent)
    : QDialog(parent),
      table_(new QTableWidget(0, 6, this)),
      summary_(new QLabel(this)),
      canceller_(std::make_shared<classroom::QueryCanceller>()) {
  setObjectName(QStringLiteral("classServerView"));
  const qint64 since = record::StartOfWeek(now_ms);
  setWindowTitle(QStringLiteral("クラスの一覧（%1 からの今週、クラスのサーバー）")
                     .arg(QDateTime::fromMSecsSinceEpoch(since).toString(QStringLiteral("M/d"))));
  table_->setObjectName(QStringLiteral("classWeeks"));
  table_->setAccessibleName(QStringLiteral("クラスの学習者ごとの今週"));
  table_->setHorizontalHeaderLabels({QStringLiteral("クラス"), QStringLiteral("学習者"),
                                     QStringLiteral("今週の回数"), QStringLiteral("平均"),
                                     QStringLiteral("最高"), QStringLiteral("最後に解いた日")});
  table_->verticalHeader()->hide();
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
  table_->setWordWrap(false);
  table_->setTabKeyNavigation(false);
  summary_->setWordWrap(true);
  summary_->setText(QStringLiteral("クラスのサーバーから読み込み中…"));
  auto* close = new QPushButton(QStringLiteral("閉じる"), this);
  connect(close, &QPushButton::clicked, this, &QDialog::accept);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(table_, 1);
  layout->addWidget(summary_);
  layout->addWidget(close, 0, Qt::AlignRight);
  resize(680, 420);

  auto* watcher = new QFutureWatcher<std::shared_ptr<Rows>>(this);
  connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher] {
    watcher->deleteLater();
    Show(*watcher->result());
  });
  watcher->setFuture(QtConcurrent::run([where = conninfo.toStdString(), since,
                                        canceller = canceller_] {
    return std::make_shared<Rows>(ReadReport(where, since, canceller));
  }));
}

ClassServerView::~ClassServerView() { canceller_->Cancel(); }

QString ClassServerView::Summary() const { return summary_->text(); }

void ClassServerView::Show(const Rows& rows) {
  if (!rows) {
    summary_->setStyleSheet(QStringLiteral("color: #a00000;"));
    summary_->setText(QString::fromStdString(rows.error().Describe()));
    emit Shown();
    return;
  }
  table_->setRowCount(static_cast<int>(rows->size()));
  QStringList idle;
  for (int row = 0; row < static_cast<int>(rows->size()); ++row) {
    const classroom::ReportRow& learner = (*rows)[row];
    const QString name = QString::fromStdString(
        learner.display_name.empty() ? learner.role : learner.display_name);
    table_->setItem(row, 0, Cell(QString::fromStdString(learner.class_name)));
    table_->setItem(row, 1, Cell(name));
    table_->setItem(row, 2, Cell(QString::number(learner.rounds), true));
    table_->setItem(row, 3, Cell(learner.average ? QString::number(*learner.average, 'f', 1)
                                                 : QStringLiteral("—"), true));
    table_->setItem(row, 4, Cell(learner.best ? QString::number(*learner.best)
                                              : QStringLiteral("—"), true));
    table_->setItem(row, 5, Cell(learner.last_played_ms
                                     ? QDateTime::fromMSecsSinceEpoch(*learner.last_played_ms)
                                           .toLocalTime()
                                           .toString(QStringLiteral("yyyy/MM/dd HH:mm"))
                                     : QStringLiteral("まだ解いていません")));
    if (learner.rounds == 0) idle << name;
  }
  summary_->setText(rows->empty()
                        ? QStringLiteral("このつなぎ方で見える学習者はいません。")
                    : idle.isEmpty()
                        ? QStringLiteral("今週はみんな解いています。")
                        : QStringLiteral("今週まだ解いていない人: ") + idle.join(QStringLiteral("、")));
  emit Shown();
}

}  // namespace rekendo
