#include "generate_dialog.h"

#include <QComboBox>
#include <QDateTime>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <exception>
#include <algorithm>
#include <variant>

#include "dated_file.h"
#include "level_proposal.h"
#include "sha256.h"
#include "sheet_dialog.h"

namespace rekendo {

namespace {

QString FromUtf8(const std::string& text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

GenerateDialog::GenerateDialog(QString folder, QWidget* parent)
    : QDialog(parent),
      folder_(std::move(folder)),
      topics_(generator::TopicList()),
      topic_(new QComboBox(this)),
      level_(new QSpinBox(this)),
      count_(new QSpinBox(this)),
      example_(new QLabel(this)),
      error_(new QLabel(this)) {
  setWindowTitle(QStringLiteral("問題を作る"));
  setMinimumWidth(420);  // room for the longest example and its note
  for (const generator::TopicSummary& topic : topics_) {
    topic_->addItem(FromUtf8(topic.japanese_name), FromUtf8(topic.name));
  }
  level_->setRange(1, generator::kLevelCount);
  count_->setRange(1, generator::kMaxCount);
  count_->setValue(generator::kDefaultCount);
  example_->setWordWrap(true);
  error_->setWordWrap(true);
  error_->setStyleSheet(QStringLiteral("color: #c00000"));
  error_->hide();

  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("単元(&T)"), topic_);
  form->addRow(QStringLiteral("レベル(&L)"), level_);
  form->addRow(QStringLiteral("問題数(&N)"), count_);

  auto* buttons = new QDialogButtonBox(this);
  QPushButton* make = buttons->addButton(QStringLiteral("作る"), QDialogButtonBox::AcceptRole);
  QPushButton* print = buttons->addButton(QStringLiteral("印刷(&P)…"), QDialogButtonBox::ActionRole);
  buttons->addButton(QStringLiteral("キャンセル"), QDialogButtonBox::RejectRole);
  connect(print, &QPushButton::clicked, this, &GenerateDialog::Print);
  make->setDefault(true);
  connect(buttons, &QDialogButtonBox::accepted, this, &GenerateDialog::Make);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(example_);
  layout->addWidget(error_);
  layout->addWidget(buttons);

  connect(topic_, &QComboBox::currentIndexChanged, this, &GenerateDialog::ShowChoice);
  connect(level_, &QSpinBox::valueChanged, this, &GenerateDialog::ShowChoice);
  ShowChoice();
  topic_->setFocus();
}

void GenerateDialog::ShowChoice() {
  const int index = topic_->currentIndex();
  if (index < 0) return;
  const generator::TopicSummary& topic = topics_[static_cast<std::size_t>(index)];
  const auto level = static_cast<std::size_t>(level_->value() - 1);
  count_->setMaximum(static_cast<int>(
      std::min<std::uint64_t>(generator::kMaxCount, topic.available[level])));
  QString text = QStringLiteral("例: ") + FromUtf8(topic.examples[level]);
  if (!topic.note.empty()) text += QStringLiteral("\n※") + FromUtf8(topic.note);
  example_->setText(text);
  error_->hide();
  FitContents();
}

void GenerateDialog::FitContents() {
  // A longer example wraps onto more lines: the dialog grows with it instead of squashing
  // the boxes above, whatever the font size or scale.
  layout()->activate();
  const int needed = layout()->totalHeightForWidth(width());
  if (needed > height()) resize(width(), needed);
}

void GenerateDialog::Print() {
  // The same topic, level and count on paper instead of a file.
  worksheet::SheetRequest request;
  request.source = worksheet::Source::kGenerated;
  request.topic = topics_[static_cast<std::size_t>(topic_->currentIndex())].name;
  request.level = level_->value();
  request.count = count_->value();
  worksheet::OpenSheetDialog(this, request);
}

void GenerateDialog::Make() {
  const auto fail = [this](const QString& message) {
    error_->setText(message);
    error_->show();
    FitContents();
  };
  // Memory running out on a large set is reported by the application's guard at the event
  // boundary; everything expected comes back as a value.
  const generator::TopicSummary& topic = topics_[static_cast<std::size_t>(topic_->currentIndex())];
  const auto made = generator::GenerateProblemFile(
      topic.name, level_->value(), count_->value(),
      static_cast<std::uint64_t>(QDateTime::currentMSecsSinceEpoch()));
  if (!made) return fail(FromUtf8(made.error().message));
  if (!QDir().mkpath(folder_)) return fail(QStringLiteral("フォルダーを作れません: ") + folder_);
  // Named by topic, level and time; two sets made within a second get two names.
  const auto written = files::WriteNewDatedFile(
      QFile::encodeName(folder_).toStdString(),
      topic.japanese_name + "-レベル" + std::to_string(level_->value()) + "-", ".mon",
      made->cp932);
  if (!written) return fail(QStringLiteral("書き出せませんでした: ") + FromUtf8(written.error().Describe()));
  written_path_ = QFile::decodeName(QByteArray::fromStdString(*written));
  if (record_) {
    // Known by its bytes, as the record knows every set; the file itself is unchanged.
    Sha256 digest;
    digest.Add(made->cp932);
    record_->NoteGeneratedSet(QString::fromStdString(digest.HexDigest()),
                              FromUtf8(topic.name), level_->value());
  }
  accept();
}

void GenerateDialog::UseRecord(record::Record* record) {
  record_ = record;
  if (!record_ || !record_->Open()) return;
  const auto mastery = record_->Mastery();
  if (!mastery) return;  // 成績 says what is wrong with the record
  const auto proposal = ProposeNextLevel(*mastery, topics_, record_->MasteryRule());
  if (!proposal) return;
  topic_->setCurrentIndex(proposal->topic_index);
  level_->setValue(proposal->level);
  proposal_ = new QLabel(proposal->reason, this);
  proposal_->setObjectName(QStringLiteral("levelProposal"));
  proposal_->setWordWrap(true);
  static_cast<QVBoxLayout*>(layout())->insertWidget(0, proposal_);
  FitContents();
}

}  // namespace rekendo
