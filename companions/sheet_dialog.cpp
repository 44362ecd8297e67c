#include "sheet_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QSpinBox>
#include <QStackedWidget>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>
#include <algorithm>
#include <charconv>
#include <exception>
#include <memory>

#include "dated_file.h"
#include "problem_file.h"
#include "sheet_content.h"
#include "sheet_font.h"
#include "sheet_painter.h"
#include "sheet_pdf.h"

namespace rekendo::worksheet {

namespace {

QString Q(const std::string& utf8) {
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

// The pages of the stack, one per source.
enum Page { kListPage, kFilePage, kTopicPage, kGridPage };

QWidget* Row(QWidget* parent, std::initializer_list<QWidget*> widgets) {
  auto* row = new QWidget(parent);
  auto* layout = new QHBoxLayout(row);
  layout->setContentsMargins(0, 0, 0, 0);
  for (QWidget* widget : widgets) layout->addWidget(widget);
  return row;
}

QString RangesText(GridOperation operation, int level) {
  const GridRanges r = RangesOf(operation, level);
  const QString sign = operation == GridOperation::kAdd   ? QStringLiteral("＋")
                       : operation == GridOperation::kSub ? QStringLiteral("－")
                                                          : QStringLiteral("×");
  const bool all_ten = r.across_high - r.across_low == kGridSize - 1;
  return QStringLiteral("横 %1〜%2%3 %4 縦 %5〜%6")
      .arg(r.across_low)
      .arg(r.across_high)
      .arg(all_ten ? QString() : QStringLiteral(" から 10 個"))
      .arg(sign)
      .arg(r.down_low)
      .arg(r.down_high);
}

std::uint64_t ClockSeed() {
  return static_cast<std::uint64_t>(QDateTime::currentMSecsSinceEpoch()) % 1000000000ULL;
}

QString Words(const Error& error) {
  QString text = Q(error.message);
  if (!error.subject.empty()) text += QStringLiteral("\n") + QFile::decodeName(error.subject.c_str());
  return text;
}

QString PagesText(const PageCounts& pages) {
  return QStringLiteral("%1 ページ（問題 %2、解答 %3）").arg(pages.total()).arg(pages.sheet).arg(pages.key);
}

QString SavedText(const QString& path, const PageCounts& pages, KeyPlacement key) {
  if (key != KeyPlacement::kSeparate) {
    return QStringLiteral("保存しました: %1（%2）").arg(path, PagesText(pages));
  }
  const QString key_path =
      QFile::decodeName(QByteArray::fromStdString(KeyPathFor(QFile::encodeName(path).toStdString())));
  return QStringLiteral("保存しました: %1（%2 ページ）、解答は %3（%4 ページ）")
      .arg(path)
      .arg(pages.sheet)
      .arg(key_path)
      .arg(pages.key);
}

}  // namespace

SheetDialog::SheetDialog(const SheetRequest& initial, QWidget* parent)
    : QDialog(parent),
      initial_(initial),
      source_(new QComboBox(this)),
      pages_(new QStackedWidget(this)),
      file_(new QLineEdit(this)),
      choose_file_(new QPushButton(QStringLiteral("選ぶ(&F)…"), this)),
      topic_(new QComboBox(this)),
      level_(new QSpinBox(this)),
      operation_(new QComboBox(this)),
      grid_level_(new QSpinBox(this)),
      grid_ranges_(new QLabel(this)),
      all_(new QCheckBox(QStringLiteral("すべての問題(&A)"), this)),
      count_(new QSpinBox(this)),
      seed_(new QLineEdit(this)),
      paper_(new QComboBox(this)),
      answers_(new QComboBox(this)),
      key_(new QComboBox(this)),
      status_(new QLabel(this)),
      print_(new QPushButton(QStringLiteral("印刷(&P)…"), this)),
      save_(new QPushButton(QStringLiteral("PDF に保存(&S)…"), this)),
      close_(new QPushButton(QStringLiteral("閉じる"), this)) {
  setWindowTitle(QStringLiteral("プリントを作る"));
  setObjectName(QStringLiteral("sheetDialog"));
  setMinimumWidth(460);

  // --- 種類 and the page of each source -----------------------------------------------
  const auto add_source = [this](const QString& text, Source source) {
    source_->addItem(text, static_cast<int>(source));
  };
  if (!initial_.loaded_set.pairs.empty()) {
    const QString name = initial_.loaded_set.title.empty() ? QStringLiteral("問題集")
                                                            : Q(initial_.loaded_set.title);
    add_source(QStringLiteral("読み込んだ問題集「%1」（%2 問）").arg(name).arg(initial_.loaded_set.pairs.size()),
               Source::kLoadedSet);
  }
  add_source(QStringLiteral("問題ファイル"), Source::kProblemFile);
  add_source(QStringLiteral("単元から作る"), Source::kGenerated);
  if (!initial_.review.pairs.empty()) {
    add_source(QStringLiteral("復習の問題（%1 問）").arg(initial_.review.pairs.size()),
               Source::kReview);
  }
  add_source(QStringLiteral("百ます計算"), Source::kGrid);
  source_->setAccessibleName(QStringLiteral("プリントの種類"));

  auto* list_page = new QLabel(QStringLiteral("今の問題をそのまま使います。"), pages_);
  list_page->setAccessibleName(QStringLiteral("問題の出どころ"));

  auto* file_page = new QWidget(pages_);
  auto* file_form = new QFormLayout(file_page);
  file_form->setContentsMargins(0, 0, 0, 0);
  file_->setText(QFile::decodeName(initial_.problem_file.c_str()));
  file_->setPlaceholderText(QStringLiteral("*.mon"));
  file_->setAccessibleName(QStringLiteral("問題ファイルのパス"));
  choose_file_->setAccessibleName(QStringLiteral("問題ファイルを選ぶ"));
  auto* file_label = new QLabel(QStringLiteral("ファイル(&I)"), file_page);
  file_label->setBuddy(file_);
  file_form->addRow(file_label, Row(file_page, {file_, choose_file_}));

  auto* topic_page = new QWidget(pages_);
  auto* topic_form = new QFormLayout(topic_page);
  topic_form->setContentsMargins(0, 0, 0, 0);
  for (const generator::TopicSummary& topic : generator::TopicList()) {
    topic_->addItem(Q(topic.japanese_name), Q(topic.name));
  }
  if (const int index = topic_->findData(Q(initial_.topic)); index >= 0) {
    topic_->setCurrentIndex(index);
  }
  topic_->setAccessibleName(QStringLiteral("単元"));
  level_->setRange(1, generator::kLevelCount);
  level_->setValue(std::clamp(initial_.level, 1, generator::kLevelCount));
  level_->setAccessibleName(QStringLiteral("単元のレベル"));
  topic_form->addRow(QStringLiteral("単元(&T)"), topic_);
  topic_form->addRow(QStringLiteral("レベル(&L)"), level_);

  auto* grid_page = new QWidget(pages_);
  auto* grid_form = new QFormLayout(grid_page);
  grid_form->setContentsMargins(0, 0, 0, 0);
  operation_->addItem(QStringLiteral("たし算"), static_cast<int>(GridOperation::kAdd));
  operation_->addItem(QStringLiteral("ひき算"), static_cast<int>(GridOperation::kSub));
  operation_->addItem(QStringLiteral("かけ算"), static_cast<int>(GridOperation::kMul));
  operation_->setCurrentIndex(operation_->findData(static_cast<int>(initial_.grid)));
  operation_->setAccessibleName(QStringLiteral("百ます計算の計算"));
  grid_level_->setRange(1, 3);
  grid_level_->setValue(std::clamp(initial_.level, 1, 3));
  grid_level_->setAccessibleName(QStringLiteral("百ます計算のレベル"));
  grid_ranges_->setAccessibleName(QStringLiteral("百ます計算の数の範囲"));
  grid_form->addRow(QStringLiteral("計算(&O)"), operation_);
  grid_form->addRow(QStringLiteral("レベル(&V)"), grid_level_);
  grid_form->addRow(QString(), grid_ranges_);

  pages_->insertWidget(kListPage, list_page);
  pages_->insertWidget(kFilePage, file_page);
  pages_->insertWidget(kTopicPage, topic_page);
  pages_->insertWidget(kGridPage, grid_page);

  // --- count, seed, paper, answers ---------------------------------------------------------
  all_->setChecked(!initial_.count.has_value());
  all_->setAccessibleName(QStringLiteral("すべての問題を載せる"));
  count_->setRange(1, generator::kMaxCount);
  count_->setValue(initial_.count.value_or(generator::kDefaultCount));
  count_->setSuffix(QStringLiteral(" 問"));
  count_->setAccessibleName(QStringLiteral("問題数"));
  seed_->setValidator(new QRegularExpressionValidator(
      QRegularExpression(QStringLiteral("[0-9]{1,19}")), seed_));
  seed_->setText(QString::number(initial_.seed != 0 ? initial_.seed : ClockSeed()));
  seed_->setAccessibleName(QStringLiteral("問題の番号"));
  seed_->setToolTip(QStringLiteral("同じ番号からは同じプリントができます"));
  paper_->addItem(QStringLiteral("A4 縦"), static_cast<int>(Paper::kA4));
  paper_->addItem(QStringLiteral("B5 縦（JIS）"), static_cast<int>(Paper::kB5));
  paper_->addItem(QStringLiteral("A4 横"), static_cast<int>(Paper::kA4Landscape));
  paper_->setCurrentIndex(paper_->findData(static_cast<int>(initial_.paper)));
  paper_->setAccessibleName(QStringLiteral("用紙"));
  answers_->addItem(QStringLiteral("最初の答えだけ"), static_cast<int>(AnswerStyle::kFirst));
  answers_->addItem(QStringLiteral("すべての答え（「または」でつなぐ）"),
                    static_cast<int>(AnswerStyle::kAll));
  answers_->setCurrentIndex(answers_->findData(static_cast<int>(initial_.answers)));
  answers_->setAccessibleName(QStringLiteral("解答に載せる答え"));
  key_->addItem(QStringLiteral("別にする（両面印刷でも裏に来ない）"),
                static_cast<int>(KeyPlacement::kSeparate));
  key_->addItem(QStringLiteral("プリントの後ろに付ける"), static_cast<int>(KeyPlacement::kEnd));
  key_->addItem(QStringLiteral("作らない"), static_cast<int>(KeyPlacement::kNone));
  key_->setCurrentIndex(key_->findData(static_cast<int>(initial_.key)));
  key_->setAccessibleName(QStringLiteral("解答の置き場所"));

  status_->setWordWrap(true);
  status_->setAccessibleName(QStringLiteral("状態"));
  status_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  status_->hide();

  auto* form = new QFormLayout;
  auto* source_label = new QLabel(QStringLiteral("種類(&K)"), this);
  source_label->setBuddy(source_);
  form->addRow(source_label, source_);
  form->addRow(QString(), pages_);
  auto* count_label = new QLabel(QStringLiteral("問題数(&N)"), this);
  count_label->setBuddy(all_);
  form->addRow(count_label, Row(this, {all_, count_}));
  form->addRow(QStringLiteral("問題の番号(&E)\n（同じ番号で同じプリント）"), seed_);
  form->addRow(QStringLiteral("用紙(&Y)"), paper_);
  form->addRow(QStringLiteral("解答(&W)"), answers_);
  form->addRow(QStringLiteral("解答の置き場所(&Z)"), key_);

  print_->setAccessibleName(QStringLiteral("印刷"));
  save_->setAccessibleName(QStringLiteral("PDF に保存"));
  close_->setAccessibleName(QStringLiteral("閉じる"));
  save_->setDefault(true);
  auto* buttons = new QDialogButtonBox(this);
  buttons->addButton(print_, QDialogButtonBox::ActionRole);
  buttons->addButton(save_, QDialogButtonBox::ActionRole);
  buttons->addButton(close_, QDialogButtonBox::RejectRole);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(status_);
  layout->addWidget(buttons);

  // The keyboard path, top to bottom; hidden pages and disabled controls are skipped.
  QWidget* order[] = {source_, file_,   choose_file_, topic_,   level_,  operation_, grid_level_,
                      all_,    count_,  seed_,        paper_,   answers_, key_,      print_,
                      save_,
                      close_};
  for (std::size_t i = 0; i + 1 < std::size(order); ++i) setTabOrder(order[i], order[i + 1]);

  connect(source_, &QComboBox::currentIndexChanged, this, &SheetDialog::ShowSource);
  // What was said of the last sheet is of no use for another kind.
  connect(source_, &QComboBox::currentIndexChanged, status_, &QLabel::hide);
  connect(all_, &QCheckBox::toggled, this, &SheetDialog::ShowSource);
  connect(operation_, &QComboBox::currentIndexChanged, this, &SheetDialog::ShowSource);
  connect(grid_level_, &QSpinBox::valueChanged, this, &SheetDialog::ShowSource);
  connect(choose_file_, &QPushButton::clicked, this, &SheetDialog::ChooseProblemFile);
  connect(save_, &QPushButton::clicked, this, &SheetDialog::SavePdf);
  connect(print_, &QPushButton::clicked, this, &SheetDialog::Print);
  connect(close_, &QPushButton::clicked, this, &SheetDialog::reject);

  // Each page keeps its fields at their full height when a long message below takes room.
  int tallest = 0;
  for (int i = 0; i < pages_->count(); ++i) {
    tallest = std::max(tallest, pages_->widget(i)->sizeHint().height());
  }
  pages_->setMinimumHeight(tallest);

  int first = source_->findData(static_cast<int>(initial_.source));
  source_->setCurrentIndex(first >= 0 ? first : source_->findData(static_cast<int>(Source::kProblemFile)));
  ShowSource();
  source_->setFocus();

  // The face is added on the GUI thread, before any worker lays text out in it.
  if (const auto family = SheetFontFamily(); !family) ShowStatus(Words(family.error()), true);
}

SheetDialog::~SheetDialog() { job_.waitForFinished(); }

void SheetDialog::ShowSource() {
  const auto source = static_cast<Source>(source_->currentData().toInt());
  switch (source) {
    case Source::kLoadedSet:
    case Source::kReview:
      pages_->setCurrentIndex(kListPage);
      break;
    case Source::kProblemFile:
      pages_->setCurrentIndex(kFilePage);
      break;
    case Source::kGenerated:
      pages_->setCurrentIndex(kTopicPage);
      break;
    case Source::kGrid:
      pages_->setCurrentIndex(kGridPage);
      break;
  }
  // A generated set is made of N problems; a grid has a hundred and one key only.
  all_->setEnabled(source != Source::kGenerated && source != Source::kGrid);
  count_->setEnabled(source == Source::kGenerated ||
                     (source != Source::kGrid && !all_->isChecked()));
  answers_->setEnabled(source != Source::kGrid);
  grid_ranges_->setText(RangesText(static_cast<GridOperation>(operation_->currentData().toInt()),
                                   grid_level_->value()));
}

std::uint64_t SheetDialog::Seed() const {
  const QByteArray digits = seed_->text().toLatin1();
  std::uint64_t seed = 0;
  const auto [end, error] = std::from_chars(digits.constData(), digits.constData() + digits.size(), seed);
  return error == std::errc() && end == digits.constData() + digits.size() && !digits.isEmpty()
             ? seed
             : 0;
}

SheetRequest SheetDialog::Request() const {
  SheetRequest request;
  request.source = static_cast<Source>(source_->currentData().toInt());
  request.loaded_set = initial_.loaded_set;
  request.review = initial_.review;
  request.problem_file = QFile::encodeName(file_->text()).toStdString();
  request.topic = topic_->currentData().toString().toStdString();
  request.grid = static_cast<GridOperation>(operation_->currentData().toInt());
  request.level = request.source == Source::kGrid ? grid_level_->value() : level_->value();
  if (request.source == Source::kGenerated || (request.source != Source::kGrid && !all_->isChecked())) {
    request.count = count_->value();
  }
  request.seed = Seed();
  request.paper = static_cast<Paper>(paper_->currentData().toInt());
  request.answers = static_cast<AnswerStyle>(answers_->currentData().toInt());
  request.key = static_cast<KeyPlacement>(key_->currentData().toInt());
  return request;
}

QString SheetDialog::StatusText() const { return status_->text(); }

void SheetDialog::ChooseProblemFile() {
  const QString chosen = QFileDialog::getOpenFileName(
      this, QStringLiteral("問題ファイルを選ぶ"), QFileInfo(file_->text()).absolutePath(),
      QStringLiteral("問題ファイル (*.mon *.txt);;すべてのファイル (*)"), nullptr,
      QFileDialog::DontUseNativeDialog);
  if (!chosen.isEmpty()) file_->setText(chosen);
}

void SheetDialog::SavePdf() {
  if (busy_) return;
  QString path;
  if (choose_save_) {
    path = choose_save_();
  } else {
    QFileDialog dialog(this, QStringLiteral("PDF に保存"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);  // asked below, in Japanese
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilter(QStringLiteral("PDF (*.pdf)"));
    dialog.setDefaultSuffix(QStringLiteral("pdf"));
    // A name of its own, so that this week's sheet never replaces last week's.
    dialog.selectFile(QString::fromStdString(
        files::DatedName("プリント-", ".pdf", QDateTime::currentSecsSinceEpoch())));
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
      path = dialog.selectedFiles().first();
    }
  }
  if (path.isEmpty()) return;
  Existing existing = Existing::kKeep;
  const QFileInfo target(path);
  if (target.exists() || target.isSymLink()) {
    const bool replace =
        ask_replace_ ? ask_replace_(path)
                     : QMessageBox::question(
                           this, QStringLiteral("PDF に保存"),
                           QStringLiteral("「%1」はもうあります。置き換えますか？").arg(target.fileName()),
                           QMessageBox::Yes | QMessageBox::No, QMessageBox::No) == QMessageBox::Yes;
    if (!replace) return;
    existing = Existing::kReplace;
  }
  const SheetRequest request = Request();
  const std::string file = QFile::encodeName(path).toStdString();
  Start([request, file, existing, path]() -> Result<QString> {
    const auto made = MakeSheetPdf(request, file, existing);
    if (!made) return made.error();
    return SavedText(path, *made, request.key);
  });
}

void SheetDialog::Print() {
  if (busy_) return;
  auto printer = std::make_shared<QPrinter>(QPrinter::HighResolution);
  const SheetRequest request = Request();
  printer->setPageLayout(PageLayoutFor(request.paper));
  printer->setFullPage(true);
  printer->setDocName(QStringLiteral("Rekendo プリント"));
  const bool accepted = choose_printer_
                            ? choose_printer_(*printer)
                            : QPrintDialog(printer.get(), this).exec() == QDialog::Accepted;
  if (!accepted) return;
  // The sheet lays out on the paper as the printer has it now, from its corner.
  printer->setFullPage(true);
  Start([request, printer]() -> Result<QString> {
    const auto sheet = BuildSheet(request);
    if (!sheet) return sheet.error();
    if (request.key != KeyPlacement::kSeparate) {
      const Part part = request.key == KeyPlacement::kEnd ? Part::kBoth : Part::kSheet;
      const auto pages = PaintSheet(*printer, *sheet, request.answers, part);
      if (!pages) return pages.error();
      return QStringLiteral("印刷に送りました（%1）").arg(PagesText(*pages));
    }
    // Two jobs, so that a duplex printer never puts the key on the back of the sheet.
    const auto pages = PaintSheet(*printer, *sheet, request.answers, Part::kSheet);
    if (!pages) return pages.error();
    printer->setDocName(QStringLiteral("Rekendo プリントの解答"));
    // Printed to a file, the key is a file of its own beside it, as PDF に保存 makes it.
    if (printer->outputFormat() == QPrinter::PdfFormat && !printer->outputFileName().isEmpty()) {
      printer->setOutputFileName(QFile::decodeName(QByteArray::fromStdString(
          KeyPathFor(QFile::encodeName(printer->outputFileName()).toStdString()))));
    }
    const auto key = PaintSheet(*printer, *sheet, request.answers, Part::kKey);
    if (!key) return key.error();
    return QStringLiteral("印刷に送りました（プリント %1 ページと、別に解答 %2 ページ）")
        .arg(pages->sheet)
        .arg(key->key);
  });
}

void SheetDialog::Start(std::function<Result<QString>()> job) {
  SetBusy(true);
  ShowStatus(QStringLiteral("プリントを作っています…"), false);
  // `this` outlives the job: the destructor waits for it, and the queued call to a deleted
  // dialog is dropped with the dialog's posted events.
  job_ = QtConcurrent::run([this, job = std::move(job)] {
    bool ok = false;
    QString message;
    try {
      const Result<QString> result = job();
      ok = result.ok();
      message = ok ? result.value() : Words(result.error());
    } catch (const std::bad_alloc&) {
      message = QStringLiteral("メモリが足りません。");
    } catch (const std::exception& error) {
      message = QStringLiteral("プリントを作れませんでした: ") + QString::fromLocal8Bit(error.what());
    } catch (...) {
      message = QStringLiteral("プリントを作れませんでした。");
    }
    QMetaObject::invokeMethod(this, [this, ok, message] { Finished(ok, message); },
                              Qt::QueuedConnection);
  });
}

void SheetDialog::Finished(bool ok, const QString& message) {
  SetBusy(false);
  ShowStatus(message, !ok);
}

void SheetDialog::SetBusy(bool busy) {
  busy_ = busy;
  print_->setEnabled(!busy);
  save_->setEnabled(!busy);
  close_->setEnabled(!busy);
}

void SheetDialog::ShowStatus(const QString& text, bool failure) {
  status_->setStyleSheet(failure ? QStringLiteral("color: #c00000") : QString());
  status_->setText(text);
  status_->show();
}

void SheetDialog::reject() {
  if (busy_) return;
  QDialog::reject();
}

SheetDialog* OpenSheetDialog(QWidget* parent, const SheetRequest& initial) {
  auto* dialog = new SheetDialog(initial, parent);
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  dialog->setWindowModality(Qt::WindowModal);
  dialog->show();
  return dialog;
}

}  // namespace rekendo::worksheet
