#include "rekendoscr.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCompleter>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QScreen>
#include <QWindow>
#include <algorithm>
#include <exception>

#include "display_text.h"
#include "io_error.h"
#include "keypad.h"
#include "layout_table.h"

namespace rekendo {

namespace {

QString FromUtf8(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

void SetBackground(QWidget* widget, const QColor& colour) {
  QPalette palette = widget->palette();
  palette.setColor(QPalette::Window, colour);
  widget->setPalette(palette);
  widget->setAutoFillBackground(true);
}

void SetTextColour(QWidget* widget, QPalette::ColorRole role, const QColor& colour) {
  QPalette palette = widget->palette();
  palette.setColor(role, colour);
  widget->setPalette(palette);
}

QStringList ProblemFileFilters() {
  return {QStringLiteral("問題ファイル (*.mon)"), QStringLiteral("text files (*.txt)"),
          QStringLiteral("all files (*)")};
}

// Enter in the name field can accept the dialog while the list of matching names is still
// open (it opens late, once the folder is listed); that list is a window of its own and would
// stay over the drill and swallow the learner's next click.
void CloseCompletionList(const QFileDialog& dialog) {
  for (const QCompleter* completer : dialog.findChildren<QCompleter*>()) {
    if (QAbstractItemView* list = completer->popup(); list->isVisible()) list->hide();
  }
}

}  // namespace

TForm1::TForm1(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("Form1"));
  setWindowTitle(FromUtf8(kWindowCaption));
  SetBackground(this, colour::kWindow);
  setFont(MakeFont({Face::Gothic, 12}));

  drill_ = std::make_unique<Drill>(static_cast<DrillView&>(*this));
  BuildControls();

  // The countdown is created stopped, so no tick can come before a question is set.
  timer_.setObjectName(QStringLiteral("Timer1"));
  timer_.setInterval(1000);
  timer_.setTimerType(Qt::PreciseTimer);
  connect(&timer_, &QTimer::timeout, this, &TForm1::Timer1Timer);

  last_dialog_filter_ = ProblemFileFilters().first();
  last_dialog_folder_ = QDir::currentPath();

  FormCreate();
}

TForm1::~TForm1() = default;

void TForm1::BuildControls() {
  for (const PanelDef& def : kPanels) {
    QWidget* widget = nullptr;
    switch (def.kind) {
      case PanelKind::Label: {
        auto* label = new QLabel(this);
        label->setTextFormat(Qt::PlainText);
        label->setFont(MakeFont(def.font));
        label->setAlignment(def.alignment);
        label->setWordWrap(def.word_wrap);
        label->setMargin(0);
        label->setIndent(0);
        if (def.background) SetBackground(label, *def.background);
        if (def.text_colour) SetTextColour(label, QPalette::WindowText, *def.text_colour);
        if (def.shows) {
          labels_[static_cast<std::size_t>(*def.shows)] = label;
        } else {
          label->setText(FromUtf8(kCredit));
        }
        widget = label;
        break;
      }
      case PanelKind::SunkenBox:
        widget = new BevelFrame(BevelFrame::Style::SunkenBox, this);
        break;
      case PanelKind::EtchedFrame:
        widget = new BevelFrame(BevelFrame::Style::Etched, this);
        break;
      case PanelKind::Bar:
        bar_ = new CountdownBar(this);
        widget = bar_;
        break;
    }
    widget->setObjectName(FromUtf8(def.object_name));
    widget->setGeometry(def.geometry);
    if (!def.shows && def.kind == PanelKind::Label) widget->adjustSize();  // sized to its text
  }
  bar_->Place(BarFrame::kTop + BarFrame::kHeight, 0);

  std::vector<QPushButton*> tab_chain =
      BuildKeypad(this, [this](const KeyDef& key) { KeyClicked(key); });
  std::vector<std::pair<int, QPushButton*>> commands;
  for (const CommandButtonDef& def : kCommandButtons) {
    auto* button = new QPushButton(FromUtf8(def.caption), this);
    button->setObjectName(FromUtf8(def.object_name));
    button->setGeometry(def.geometry);
    button->setFont(MakeFont(def.font));
    button->setFocusPolicy(Qt::StrongFocus);
    if (def.text_colour) SetTextColour(button, QPalette::ButtonText, *def.text_colour);
    commands.emplace_back(def.tab_order, button);
  }
  std::sort(commands.begin(), commands.end());
  for (const auto& [order, button] : commands) tab_chain.push_back(button);
  for (std::size_t i = 1; i < tab_chain.size(); ++i) {
    setTabOrder(tab_chain[i - 1], tab_chain[i]);
  }

  auto command = [this](const char* name) { return findChild<QPushButton*>(name); };
  connect(command("BitBtnsentaku"), &QPushButton::clicked, this, &TForm1::BitBtnsentakuClick);
  bit_btn_kaisi_ = command("BitBtnkaisi");
  connect(bit_btn_kaisi_, &QPushButton::clicked, this, &TForm1::BitBtnkaisiClick);
  bit_btn_next_ = command("BitBtnnext");
  connect(bit_btn_next_, &QPushButton::clicked, this, &TForm1::BitBtnnextClick);
  connect(command("BitBtnsyuryo"), &QPushButton::clicked, this, &TForm1::BitBtnsyuryoClick);

  // The "0" key is first in the tab order and holds the focus when the window opens.
  tab_chain.front()->setFocus();
}

void TForm1::FormCreate() {
  move(0, 0);
  resize(kWindowWidth, kWindowHeight);
}

void TForm1::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  FitOuterSize();
}

void TForm1::moveEvent(QMoveEvent* event) {
  QWidget::moveEvent(event);
  FitOuterSize();
}

void TForm1::FitOuterSize() {
  // The outer size is 1024 x 768, frame included; the window manager tells the frame's
  // size only once it has framed the window, which may be after the first show.
  if (sized_to_frame_ || windowHandle() == nullptr) return;
  const QMargins frame = windowHandle()->frameMargins();
  if (frame.isNull()) return;
  sized_to_frame_ = true;
  resize(kWindowWidth - frame.left() - frame.right(), kWindowHeight - frame.top() - frame.bottom());
  move(0, 0);
}

void TForm1::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  // The data files are read at the first activation only: coming back from the file
  // dialog, an error box or another program must not reload them or stop a countdown.
  if (event->type() == QEvent::ActivationChange && isActiveWindow() && !activated_) {
    activated_ = true;
    FormActivate();
  }
}

void TForm1::FormActivate() {
  Guarded([this] {
    drill_->LoadDataFiles();
    for (const CommandButtonDef& def : kCommandButtons) {
      if (def.activated_caption.empty()) continue;
      findChild<QPushButton*>(FromUtf8(def.object_name))->setText(FromUtf8(def.activated_caption));
    }
  });
}

template <typename Work>
void TForm1::Guarded(Work&& work) {
  std::string message;
  try {
    work();
    return;
  } catch (...) {
    message = MessageOfCurrentException();
  }
  if (report_error_) {
    report_error_(message);
  } else {
    qWarning("%s", qPrintable(ToDisplay(message)));
  }
}

QFileDialog& TForm1::OpenDialog1() {
  // Made at the first 問題選択 rather than with the window: listing a folder and loading
  // its icons would otherwise slow every start-up.
  if (open_dialog_ == nullptr) {
    open_dialog_ = new QFileDialog(this);  // owned as a child, and kept for the next choice
    open_dialog_->setObjectName(QStringLiteral("OpenDialog1"));
    open_dialog_->setOption(QFileDialog::DontUseNativeDialog);
    open_dialog_->setAcceptMode(QFileDialog::AcceptOpen);
    // AnyFile lets the learner type a name that does not exist; the load then says so.
    open_dialog_->setFileMode(QFileDialog::AnyFile);
    open_dialog_->setNameFilters(ProblemFileFilters());
  }
  return *open_dialog_;
}

std::optional<std::string> TForm1::RunOpenDialog() {
  QFileDialog& dialog = OpenDialog1();
  // Offer the folder, name and filter of the last confirmed choice; a cancel changes none.
  dialog.setDirectory(last_dialog_folder_);
  dialog.selectNameFilter(last_dialog_filter_);
  dialog.selectFile(last_dialog_file_);
  const int result = dialog.exec();
  CloseCompletionList(dialog);
  if (result != QDialog::Accepted) return std::nullopt;
  const QStringList chosen = dialog.selectedFiles();
  if (chosen.isEmpty()) return std::nullopt;
  const QFileInfo file(chosen.first());
  last_dialog_folder_ = file.absolutePath();
  last_dialog_file_ = file.fileName();
  last_dialog_filter_ = dialog.selectedNameFilter();
  return std::string(QFile::encodeName(file.absoluteFilePath()).constData());
}

void TForm1::BitBtnsentakuClick() {
  Guarded([this] {
    if (choose_file_) {
      drill_->BitBtnsentakuClick(choose_file_);
    } else {
      drill_->BitBtnsentakuClick([this] { return RunOpenDialog(); });
    }
  });
}

void TForm1::BitBtnkaisiClick() {
  Guarded([this] { drill_->BitBtnkaisiClick(); });
}

void TForm1::BitBtnnextClick() {
  Guarded([this] { drill_->BitBtnnextClick(); });
}

void TForm1::BitBtnsyuryoClick() { close(); }

void TForm1::Timer1Timer() {
  // A tick already queued when the countdown stopped is not a tick of the next question.
  if (!timer_.isActive()) return;
  Guarded([this] { drill_->Timer1Timer(); });
}

void TForm1::CharacterKeyClick(const KeyDef& key) {
  Guarded([this, &key] { drill_->AppendKey(key.sjis); });
}

void TForm1::ButtonkesiClick() {
  Guarded([this] { drill_->ButtonkesiClick(); });
}

void TForm1::ButtonketteiClick() {
  Guarded([this] { drill_->ButtonketteiClick(); });
}

void TForm1::KeyClicked(const KeyDef& key) {
  switch (key.role) {
    case KeyRole::Character:
      CharacterKeyClick(key);
      break;
    case KeyRole::Clear:
      ButtonkesiClick();
      break;
    case KeyRole::Submit:
      ButtonketteiClick();
      break;
  }
}

void TForm1::SetLabelText(Label label, std::string_view text) {
  labels_[static_cast<std::size_t>(label)]->setText(ToDisplay(ShownPart(text)));
}

void TForm1::SetTimerEnabled(bool enabled) {
  if (!enabled) {
    timer_.stop();
  } else if (!timer_.isActive()) {
    // QTimer::start() restarts a running timer; a running countdown keeps its phase.
    timer_.start();
  }
}

bool TForm1::TimerEnabled() const { return timer_.isActive(); }

void TForm1::SetBar(int top, int height) { bar_->Place(top, height); }

}  // namespace rekendo
