#include "record_window.h"

#include <QCheckBox>
#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFutureWatcher>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QSplitter>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTableWidget>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>
#include <exception>
#include <memory>

#include "screen_fit.h"
#include "dated_file.h"
#include "forecast_chart.h"
#include "forecast_view.h"
#include "mastery_grid.h"
#include "practice_set.h"
#include "record_labels.h"
#include "score_chart.h"
#include "sheet_dialog.h"

namespace rekendo::record {

namespace {

QString LocalTime(qint64 millis) {
  return QDateTime::fromMSecsSinceEpoch(millis).toLocalTime().toString(
      QStringLiteral("yyyy/MM/dd HH:mm"));
}

// A long text is shown by its start: a row stays one readable line, and a huge one cannot
// hold up the window while it is laid out.
QString Shown(const QString& text, qsizetype limit = 200) {
  return text.size() <= limit ? text : text.left(limit) + QStringLiteral("…");
}

QTableWidgetItem* Cell(const QString& text, bool number = false) {
  auto* item = new QTableWidgetItem(text);
  item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
  if (number) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
  return item;
}

QTableWidget* NewTable(const QStringList& headers, QWidget* parent) {
  auto* table = new QTableWidget(0, static_cast<int>(headers.size()), parent);
  table->setHorizontalHeaderLabels(headers);
  table->setSelectionBehavior(QAbstractItemView::SelectRows);
  table->setSelectionMode(QAbstractItemView::SingleSelection);
  table->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table->verticalHeader()->hide();
  table->horizontalHeader()->setStretchLastSection(true);
  table->setTabKeyNavigation(false);  // Tab leaves the table, arrows move in it
  return table;
}

// What the average and the chart leave out, in words.
QString OtherLimitsNote(const SetSummary& set) {
  QString note = QStringLiteral("40 秒の回だけ。ほかの時間の %1 回").arg(set.other_limit_rounds);
  if (set.other_limit_average) {
    note += QStringLiteral("は平均 %1 点").arg(*set.other_limit_average, 0, 'f', 1);
  }
  return note;
}

}  // namespace

RecordWindow::RecordWindow(Record& record, QWidget* parent)
    : QDialog(parent),
      record_(record),
      status_(new QLabel(this)),
      message_(new QLabel(this)),
      class_status_(new QLabel(this)),
      sets_table_(NewTable({QStringLiteral("問題ファイル"), QStringLiteral("回数"),
                            QStringLiteral("平均"), QStringLiteral("最高"),
                            QStringLiteral("最後に解いた日"), QStringLiteral("復習")},
                           this)),
      chart_(new ScoreChart(this)),
      forecast_(new ForecastChart(this)),
      mastery_(new MasteryGrid(this)),
      missed_table_(NewTable({QStringLiteral("問題"), QStringLiteral("正解"),
                              QStringLiteral("出題"), QStringLiteral("正解した")},
                             this)),
      rounds_tree_(new QTreeWidget(this)),
      recording_(new QCheckBox(QStringLiteral("記録する(&R)"), this)),
      practice_count_(new QSpinBox(this)),
      practice_button_(new QPushButton(QStringLiteral("復習(&P)"), this)),
      print_button_(new QPushButton(QStringLiteral("印刷(&R)…"), this)),
      export_button_(new QPushButton(QStringLiteral("CSV に書き出す(&E)..."), this)),
      delete_button_(new QPushButton(QStringLiteral("記録を消す(&D)..."), this)),
      teacher_button_(new QPushButton(QStringLiteral("先生用(&T)…"), this)) {
  setWindowTitle(QStringLiteral("成績"));
  setObjectName(QStringLiteral("RecordWindow"));
  FitToScreen(this, QSize(1000, 680), FreeScreenArea(parent));
  confirm_ = [this](const QString& question) {
    return QMessageBox::question(this, QStringLiteral("成績"), question,
                                 QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
  };
  choose_csv_scope_ = [this] {
    QMessageBox box(QMessageBox::Question, QStringLiteral("CSV に書き出す"),
                    QStringLiteral("だれの記録を書き出しますか？"), QMessageBox::NoButton, this);
    QPushButton* mine = box.addButton(QStringLiteral("自分の記録"), QMessageBox::AcceptRole);
    QPushButton* everyone =
        box.addButton(QStringLiteral("全員の記録（先生の暗証番号）"), QMessageBox::ActionRole);
    box.addButton(QStringLiteral("やめる"), QMessageBox::RejectRole);
    box.setDefaultButton(mine);
    box.exec();
    if (box.clickedButton() == mine) return CsvScope::kMine;
    if (box.clickedButton() == everyone) return CsvScope::kEveryone;
    return CsvScope::kCancel;
  };
  choose_save_path_ = [this](const QString& suggested) {
    return QFileDialog::getSaveFileName(this, QStringLiteral("CSV に書き出す"), suggested,
                                        QStringLiteral("CSV ファイル (*.csv)"));
  };

  status_->setWordWrap(true);
  status_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  status_->setStyleSheet(QStringLiteral("color: #a00000;"));
  message_->setWordWrap(true);
  message_->setTextInteractionFlags(Qt::TextSelectableByMouse);

  sets_table_->setObjectName(QStringLiteral("sets"));
  sets_table_->setAccessibleName(QStringLiteral("問題集"));
  sets_table_->horizontalHeaderItem(5)->setToolTip(QStringLiteral("今日の復習：今日までに復習する問題の数"));
  sets_table_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
  sets_table_->horizontalHeader()->setStretchLastSection(false);
  for (int column = 1; column < 6; ++column) {
    sets_table_->horizontalHeader()->setSectionResizeMode(column,
                                                          QHeaderView::ResizeToContents);
  }
  missed_table_->setObjectName(QStringLiteral("missed"));
  missed_table_->setAccessibleName(QStringLiteral("よく間違える問題"));
  missed_table_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
  missed_table_->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
  missed_table_->horizontalHeader()->setStretchLastSection(false);
  rounds_tree_->setObjectName(QStringLiteral("rounds"));
  rounds_tree_->setAccessibleName(QStringLiteral("回ごとの結果"));
  rounds_tree_->setHeaderLabels({QStringLiteral("日時・番号"), QStringLiteral("得点・結果"),
                                 QStringLiteral("問題"), QStringLiteral("正解"),
                                 QStringLiteral("入力"), QStringLiteral("秒")});
  rounds_tree_->setColumnWidth(0, 150);
  rounds_tree_->setColumnWidth(1, 150);
  rounds_tree_->setColumnWidth(2, 260);

  auto* sets_label = new QLabel(QStringLiteral("問題集(&S)"), this);
  sets_label->setBuddy(sets_table_);
  auto* sets_box = new QWidget(this);
  auto* sets_layout = new QVBoxLayout(sets_box);
  sets_layout->setContentsMargins(0, 0, 0, 0);
  sets_layout->addWidget(sets_label);
  sets_layout->addWidget(sets_table_);
  auto* top = new QSplitter(Qt::Horizontal, this);
  top->addWidget(sets_box);
  top->addWidget(chart_);
  top->setStretchFactor(0, 2);
  top->setStretchFactor(1, 3);

  auto* tabs = new QTabWidget(this);
  tabs->setAccessibleName(QStringLiteral("問題と回"));
  tabs->addTab(missed_table_, QStringLiteral("よく間違える問題(&M)"));
  tabs->addTab(forecast_, QStringLiteral("復習の予定(&F)"));
  tabs->addTab(mastery_, QStringLiteral("習得(&G)"));
  auto* rounds_page = new QWidget(this);
  auto* rounds_layout = new QVBoxLayout(rounds_page);
  rounds_layout->addWidget(rounds_tree_);
  rounds_layout->addWidget(new QLabel(
      QStringLiteral("○ 正解　× 時間切れ　→ とばした　・ 答える前に終了　（最新 %1 回）")
          .arg(kListedRounds),
      rounds_page));
  tabs->addTab(rounds_page, QStringLiteral("回ごとの結果(&O)"));
  auto* body = new QSplitter(Qt::Vertical, this);
  body->addWidget(top);
  body->addWidget(tabs);

  practice_count_->setRange(kPracticeMin, kPracticeMax);
  practice_count_->setValue(20);
  practice_count_->setSuffix(QStringLiteral(" 問"));
  auto* count_label = new QLabel(QStringLiteral("問題数(&N)"), this);
  count_label->setBuddy(practice_count_);
  auto* close_button = new QPushButton(QStringLiteral("閉じる"), this);
  practice_button_->setToolTip(
      QStringLiteral("選んだ問題集でよく間違える問題を問題ファイルにして、すぐに始めます"));

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(recording_);
  buttons->addStretch();
  buttons->addWidget(count_label);
  buttons->addWidget(practice_count_);
  buttons->addWidget(practice_button_);
  buttons->addWidget(print_button_);
  buttons->addSpacing(16);
  buttons->addWidget(export_button_);
  buttons->addWidget(delete_button_);
  buttons->addWidget(teacher_button_);
  teacher_button_->setObjectName(QStringLiteral("teacherButton"));
  teacher_button_->setAutoDefault(false);
  teacher_button_->hide();
  buttons->addSpacing(16);
  buttons->addWidget(close_button);

  // Everything but the buttons scrolls on a screen too small for it; the buttons stay.
  auto* content = new QWidget(this);
  auto* content_layout = new QVBoxLayout(content);
  content_layout->setContentsMargins(0, 0, 0, 0);
  content_layout->addWidget(status_);
  content_layout->addWidget(body, 1);
  content_layout->addWidget(message_);
  content_layout->addWidget(class_status_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(ScrollingArea(content, this), 1);
  layout->addLayout(buttons);
  class_status_->setObjectName(QStringLiteral("classStatus"));
  class_status_->setWordWrap(true);
  class_status_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  class_status_->hide();

  print_button_->setToolTip(QStringLiteral("よく間違える問題をプリントにします"));
  for (auto* button : {practice_button_, print_button_, export_button_, delete_button_, close_button}) {
    button->setAutoDefault(false);
  }
  connect(sets_table_, &QTableWidget::currentCellChanged, this,
          [this](int row) { ChooseSet(row); });
  connect(practice_button_, &QPushButton::clicked, this, [this] { WritePracticeSet(); });
  connect(print_button_, &QPushButton::clicked, this, [this] { PrintReview(); });
  connect(export_button_, &QPushButton::clicked, this, [this] { ExportCsv(); });
  connect(delete_button_, &QPushButton::clicked, this, [this] { DeleteRecord(); });
  connect(close_button, &QPushButton::clicked, this, &QDialog::accept);
  connect(recording_, &QCheckBox::toggled, this, [this](bool on) { SetRecording(on); });

  Reload();
}

void RecordWindow::Reload() {
  record_.Open();
  const QString chosen_hash =
      chosen_ >= 0 && chosen_ < static_cast<int>(sets_.size()) ? sets_[chosen_].hash : QString();
  sets_.clear();
  if (record_.IsOpen()) {
    auto loaded = record_.SetSummaries();
    if (loaded) {
      sets_ = std::move(loaded).value();
    } else {
      ShowError(loaded.error());
    }
  }
  {
    const QSignalBlocker blocker(recording_);
    recording_->setChecked(record_.RecordingEnabled());
  }
  if (auto mastery = record_.Mastery()) {
    mastery_->Show(*mastery);
  } else {
    ShowError(mastery.error());
  }
  ShowStatus();
  FillSets();
  int row = sets_.empty() ? -1 : 0;
  for (int i = 0; i < static_cast<int>(sets_.size()); ++i) {
    if (sets_[i].hash == chosen_hash) row = i;
  }
  chosen_ = -2;  // shows the row even when it is the same index as before
  {
    const QSignalBlocker blocker(sets_table_);
    sets_table_->setCurrentCell(row, 0);
  }
  ChooseSet(row);
}

void RecordWindow::SetTeacherAction(std::function<void()> open) {
  teacher_button_->disconnect();
  connect(teacher_button_, &QPushButton::clicked, this, std::move(open));
  teacher_button_->show();
}

void RecordWindow::SetClassStatus(const QString& text) {
  class_status_->setText(text);
  class_status_->setVisible(!text.isEmpty());
}

void RecordWindow::ShowStatus() {
  QString text;
  if (const auto& error = record_.Error()) {
    text = QString::fromStdString(error->message + "\nファイル: " + error->subject);
  }
  if (!record_.Notice().isEmpty()) {
    if (!text.isEmpty()) text += QLatin1Char('\n');
    text += record_.Notice();
  }
  if (text.isEmpty() && sets_.empty()) {
    status_->setStyleSheet(QString());
    text = record_.RecordingEnabled()
               ? QStringLiteral("まだ記録がありません。問題ファイルを選んで一回解くと、ここに成績が出ます。")
               : QStringLiteral("まだ記録がありません。記録は止まっています（「記録する」で始まります）。");
  } else {
    status_->setStyleSheet(QStringLiteral("color: #a00000;"));
  }
  status_->setText(text);
  status_->setVisible(!text.isEmpty());
}

void RecordWindow::ShowError(const Error& error) {
  ShowMessage(QString::fromStdString(error.Describe()), true);
}

void RecordWindow::ShowMessage(const QString& text, bool trouble) {
  message_->setStyleSheet(trouble ? QStringLiteral("color: #a00000;") : QString());
  message_->setText(text);
}

void RecordWindow::FillSets() {
  sets_table_->setRowCount(static_cast<int>(sets_.size()));
  for (int row = 0; row < static_cast<int>(sets_.size()); ++row) {
    const SetSummary& set = sets_[row];
    QString rounds = QString::number(set.rounds);
    if (set.unfinished > 0) rounds += QStringLiteral("（途中 %1）").arg(set.unfinished);
    sets_table_->setItem(row, 0, Cell(set.name));
    sets_table_->item(row, 0)->setToolTip(set.hash);
    sets_table_->setItem(row, 1, Cell(rounds, true));
    QString average = set.average ? QString::number(*set.average, 'f', 1) : QStringLiteral("—");
    // Rounds with more time (or none) are another test: counted apart, and said so.
    if (set.other_limit_rounds > 0) average += QStringLiteral("（40 秒）");
    sets_table_->setItem(row, 2, Cell(average, true));
    if (set.other_limit_rounds > 0) {
      sets_table_->item(row, 2)->setToolTip(OtherLimitsNote(set));
    }
    sets_table_->setItem(row, 3, Cell(set.best ? QString::number(*set.best)
                                               : QStringLiteral("—"), true));
    sets_table_->setItem(row, 4, Cell(LocalTime(set.last_played)));
    sets_table_->setItem(row, 5, Cell(QString::number(set.due_today), true));
  }
}

void RecordWindow::ChooseSet(int row) {
  if (row == chosen_) return;
  chosen_ = row;
  if (row < 0 || row >= static_cast<int>(sets_.size())) {
    chosen_ = -1;
    chart_->Show({}, QStringLiteral("（問題集なし）"));
    forecast_->Show({}, QDate::currentDate());
    FillMissed({});
    FillRounds({});
    UpdateButtons();
    return;
  }
  const SetSummary& set = sets_[row];
  const SetViewLimits limits{kChartPoints, kPracticeMax, kListedRounds};
  const QString path = record_.FilePath();
  const qint64 learner = record_.CurrentLearnerId();
  const QString hash = set.hash;
  const QString name = set.name;
  const int request = ++view_request_;
  ShowForecast(hash);
  if (QFileInfo(path).size() <= read_in_background_above_) {
    ShowSetView(ReadSetView(path, learner, hash, limits), name);
    return;
  }
  // A large record is read on a worker: the window, and the countdown under it, go on.
  chart_->Show({}, name + QStringLiteral("（読み込み中…）"));
  FillMissed({});
  FillRounds({});
  UpdateButtons();
  using Read = std::shared_ptr<Result<SetView>>;
  auto* watcher = new QFutureWatcher<Read>(this);
  connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher, request, name] {
    watcher->deleteLater();
    // Another set was chosen meanwhile: its own read shows it.
    if (request == view_request_) ShowSetView(*watcher->result(), name);
  });
  watcher->setFuture(QtConcurrent::run([path, learner, hash, limits] {
    return std::make_shared<Result<SetView>>(ReadSetView(path, learner, hash, limits));
  }));
}

void RecordWindow::ShowSetView(const Result<SetView>& view, const QString& name) {
  if (!view) {
    ShowError(view.error());
    chart_->Show({}, name);
    FillMissed({});
    FillRounds({});
  } else {
    const bool apart = chosen_ >= 0 && sets_[chosen_].other_limit_rounds > 0;
    chart_->Show(view->points, name, apart ? OtherLimitsNote(sets_[chosen_]) : QString());
    FillMissed(view->missed);
    FillRounds(view->rounds);
  }
  UpdateButtons();
  emit SetShown();
}

void RecordWindow::ShowForecast(const QString& hash) {
  // A range of one learner's states of one set (at most its 1000 problems): quick at any
  // size of record, so read here.
  const auto forecast = ReadSetForecast(record_, hash, QDateTime::currentSecsSinceEpoch());
  if (!forecast) {
    ShowError(forecast.error());
    forecast_->Show({}, QDate::currentDate());
    return;
  }
  forecast_->Show(*forecast, QDate::currentDate());
}

void RecordWindow::FillMissed(const std::vector<MissedProblem>& missed) {
  missed_table_->setRowCount(static_cast<int>(missed.size()));
  for (int row = 0; row < static_cast<int>(missed.size()); ++row) {
    const MissedProblem& problem = missed[row];
    missed_table_->setItem(row, 0, Cell(Shown(problem.text)));
    missed_table_->setItem(row, 1, Cell(Shown(problem.accepted)));
    missed_table_->setItem(row, 2, Cell(QString::number(problem.asked), true));
    missed_table_->setItem(row, 3, Cell(QString::number(problem.right), true));
  }
}

void RecordWindow::FillRounds(const std::vector<RoundDetail>& rounds) {
  rounds_tree_->clear();
  QList<QTreeWidgetItem*> items;
  items.reserve(static_cast<qsizetype>(rounds.size()));
  for (const RoundDetail& round : rounds) {
    QString marks;
    for (const QuestionDetail& question : round.questions) marks += OutcomeMark(question.outcome);
    QString score = round.score ? QStringLiteral("%1 点").arg(*round.score)
                                : QStringLiteral("— 点");
    if (round.time_limit_seconds != 40) {
      score += QStringLiteral("（%1）").arg(TimeLimitLabel(round.time_limit_seconds));
    }
    auto* item = new QTreeWidgetItem(
        {LocalTime(round.started_at), score + QStringLiteral("　") + EndingLabel(round.ending),
         marks});
    for (const QuestionDetail& question : round.questions) {
      QString number = QString::number(question.number);
      if (question.kind != QuestionKind::kProblem) number += QStringLiteral("（%1）").arg(KindLabel(question.kind));
      QString outcome = OutcomeLabel(question.outcome);
      if (question.wrong_tries > 0) outcome += QStringLiteral("（誤答 %1）").arg(question.wrong_tries);
      auto* row = new QTreeWidgetItem(item, {number, outcome, Shown(question.text),
                                             Shown(question.accepted), Shown(question.typed),
                                             QString::number(question.seconds_used)});
      row->setToolTip(2, Shown(question.text, 2000));
      row->setToolTip(3, Shown(question.accepted, 2000));
      row->setToolTip(4, Shown(question.typed, 2000));
    }
    items.append(item);
  }
  rounds_tree_->addTopLevelItems(items);
}

void RecordWindow::UpdateButtons() {
  const bool chosen = chosen_ >= 0;
  practice_button_->setEnabled(chosen && missed_table_->rowCount() > 0);
  print_button_->setEnabled(practice_button_->isEnabled());
  export_button_->setEnabled(record_.IsOpen() && !sets_.empty());
  delete_button_->setEnabled(record_.CanWrite() && !sets_.empty());
  recording_->setEnabled(record_.CanWrite());
}

void RecordWindow::WritePracticeSet() {
  if (chosen_ < 0) return;
  const SetSummary& set = sets_[chosen_];
  const auto written =
      record::WritePracticeSet(record_, set.hash, set.name, practice_count_->value());
  if (!written) {
    ShowError(written.error());
    return;
  }
  const PracticeSet& practice = *written;
  ShowMessage(QStringLiteral("よく間違える %1 問を %2 に書きました。").arg(practice.problems)
                  .arg(QDir::toNativeSeparators(practice.path)),
              false);
  emit PracticeSetReady(practice.path);
}

void RecordWindow::PrintReview() {
  if (chosen_ < 0) return;
  const SetSummary& set = sets_[chosen_];
  const auto missed = record_.MostMissed(set.hash, practice_count_->value());
  if (!missed) {
    ShowError(missed.error());
    return;
  }
  worksheet::SheetRequest request;
  request.source = worksheet::Source::kReview;
  request.review.title = (QFileInfo(set.name).completeBaseName() + QStringLiteral("の復習")).toStdString();
  for (const MissedProblem& problem : *missed) {
    if (problem.cut) continue;  // as for 復習: a cut answer would be a wrong key
    request.review.pairs.push_back({problem.text_sjis.toStdString(), problem.accepted_sjis.toStdString()});
  }
  worksheet::OpenSheetDialog(this, request);
}

void RecordWindow::ExportCsv() {
  const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  const QString suggested = QDir(folder).filePath(
      QString::fromStdString(files::DatedName("成績-", ".csv", std::time(nullptr))));
  // A learner's own rounds are theirs to take; everyone's are the teacher's.
  std::optional<qint64> learner;
  if (teacher_check_) {
    const CsvScope scope = choose_csv_scope_();
    if (scope == CsvScope::kCancel) return;
    if (scope == CsvScope::kMine) learner = record_.CurrentLearnerId();
    if (scope == CsvScope::kEveryone && !teacher_check_()) return;
  }
  const QString path = choose_save_path_(suggested);
  if (path.isEmpty()) return;
  if (const Status exported = record_.ExportCsv(path, learner); !exported) {
    ShowError(exported.error());
    return;
  }
  ShowMessage(QStringLiteral("%1 に書き出しました。").arg(QDir::toNativeSeparators(path)), false);
}

void RecordWindow::DeleteRecord() {
  QString question = QStringLiteral("すべての問題集の記録を消します。元に戻せません。よろしいですか？");
  if (teacher_check_) {
    // The PIN first, then what exactly goes: every learner's rounds.
    if (!teacher_check_()) return;
    QStringList whose;
    if (const auto learners = record_.Learners()) {
      for (const Learner& learner : *learners) {
        const Result<int> rounds = record_.LearnerRoundCount(learner.id);
        whose << QStringLiteral("%1 %2 回").arg(learner.name).arg(rounds ? *rounds : 0);
      }
    }
    question = QStringLiteral("学習者全員の記録（%1）を消します。元に戻せません。よろしいですか？")
                   .arg(whose.join(QStringLiteral("、")));
  }
  if (!confirm_(question)) return;
  if (!record_.DeleteAll(keep_rounds_for_class_)) {
    ShowStatus();
    return;
  }
  ShowMessage(QStringLiteral("記録を消しました。"), false);
  Reload();
}

void RecordWindow::SetRecording(bool on) {
  if ((!teacher_check_ || teacher_check_()) && record_.SetRecordingEnabled(on)) {
    ShowMessage(on ? QStringLiteral("これからの回を記録します。")
                   : QStringLiteral("記録を止めました。これからの回は記録されません。"),
                false);
    return;
  }
  const QSignalBlocker blocker(recording_);
  recording_->setChecked(!on);
  ShowStatus();
}

}  // namespace rekendo::record
