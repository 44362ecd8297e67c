#include "main_window.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QAccessible>
#include <QCloseEvent>
#include <QCompleter>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>
#include <QWindow>
#include <algorithm>
#include <exception>

#include "accessible_widgets.h"
#include "accessible_texts.h"
#include "display_text.h"
#include "io_error.h"
#include "keypad.h"
#include "layout_table.h"
#include "press_button.h"
#include "typed_keys.h"
#include "unshown_names.h"

namespace rekendo {

namespace {

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

MainWindow::MainWindow(QWidget* parent) : MainWindow(ScaleForScreen(), parent) {}

MainWindow::MainWindow(const Scale& scale, QWidget* parent) : QWidget(parent), scale_(scale) {
  setObjectName(QStringLiteral("mainWindow"));
  setWindowTitle(FromUtf8(kWindowCaption));
  SetBackground(this, colour::kWindow);
  setFont(MakeFont(scale_.Font({Face::Gothic, 12})));

  drill_ = std::make_unique<Drill>(static_cast<DrillView&>(*this));
  InstallAccessibleWidgets();
  // Nothing to see: it carries news to screen readers (see Announce).
  announcer_ = new QWidget(this);
  announcer_->setObjectName(QStringLiteral("announcer"));
  announcer_->setGeometry(0, 0, 1, 1);
  announcer_->setAttribute(Qt::WA_TransparentForMouseEvents);
  announcer_->setFocusPolicy(Qt::NoFocus);
  announcer_->hide();
  BuildPanels();
  std::vector<QPushButton*> commands = BuildCommandButtons();
  const std::vector<QPushButton*> band = BuildBand();
  commands.insert(commands.end(), band.begin(), band.end());
  keys_ = BuildKeypad(this, scale_, [this](const KeyDef& key) { KeyPressed(key); });
  ChainTabOrder(keys_, commands);
  for (QPushButton* button : keys_) button->installEventFilter(this);
  for (QPushButton* button : commands) button->installEventFilter(this);
  commands_ = commands;
  ShowStatus({});

  // The countdown is created stopped, so no tick can come before a question is set.
  timer_.setObjectName(QStringLiteral("countdownTimer"));
  timer_.setInterval(1000);
  timer_.setTimerType(Qt::PreciseTimer);
  connect(&timer_, &QTimer::timeout, this, &MainWindow::Tick);

  last_dialog_filter_ = ProblemFileFilters().first();
  last_dialog_folder_ = QDir::currentPath();

  PlaceAtTopLeft();
}

MainWindow::~MainWindow() = default;

Scale MainWindow::ScaleForScreen() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (screen == nullptr || QGuiApplication::platformName() == QStringLiteral("offscreen"))
    return {};
  return Scale::ToFit(screen->availableGeometry().size());
}

Scale MainWindow::ScaleToFillScreen() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (screen == nullptr || QGuiApplication::platformName() == QStringLiteral("offscreen"))
    return {};
  return Scale::ToFill(screen->availableGeometry().size());
}

void MainWindow::BuildPanels() {
  for (const PanelDef& def : kPanels) {
    QWidget* widget = nullptr;
    switch (def.kind) {
      case PanelKind::Label: {
        auto* label = new QLabel(this);
        label->setTextFormat(Qt::PlainText);
        label->setFont(MakeFont(scale_.Font(def.font)));
        label->setAlignment(def.alignment);
        label->setWordWrap(def.word_wrap);
        label->setMargin(0);
        label->setIndent(0);
        if (def.background) SetBackground(label, *def.background);
        if (def.text_colour) SetTextColour(label, QPalette::WindowText, *def.text_colour);
        if (def.shows) {
          labels_[static_cast<std::size_t>(*def.shows)] = label;
          label->setAccessibleName(FromUtf8(AccessibleRole(*def.shows)));
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
    widget->setGeometry(scale_.Rect(def.geometry));
    if (!def.shows && def.kind == PanelKind::Label) widget->adjustSize();  // sized to its text
  }
  SetBar(BarFrame::kTop + BarFrame::kHeight, 0);
}

std::vector<QPushButton*> MainWindow::BuildCommandButtons() {
  std::vector<std::pair<int, QPushButton*>> by_tab_order;
  for (std::size_t i = 0; i < kCommandButtons.size(); ++i) {
    const CommandButtonDef& def = kCommandButtons[i];
    auto* button = new PressButton(FromUtf8(def.caption), this);
    button->setObjectName(FromUtf8(def.object_name));
    // The opening caption, on one line: the activated one breaks it for the eye only.
    button->setAccessibleName(FromUtf8(def.caption));
    button->setGeometry(scale_.Rect(def.geometry));
    button->setFont(MakeFont(scale_.Font(def.font)));
    button->SetFocusFrameWidth(scale_.Length(kFocusFrameWidth, 2));
    if (def.text_colour) SetTextColour(button, QPalette::ButtonText, *def.text_colour);
    connect(button, &QPushButton::clicked, this,
            [this, command = def.command] { RunCommand(command); });
    command_buttons_[i] = button;
    by_tab_order.emplace_back(def.tab_order, button);
  }
  std::sort(by_tab_order.begin(), by_tab_order.end());
  std::vector<QPushButton*> buttons;
  for (const auto& [order, button] : by_tab_order) buttons.push_back(button);
  return buttons;
}

std::vector<QPushButton*> MainWindow::BuildBand() {
  std::vector<QPushButton*> buttons;
  for (const BandRowDef& def : kBandRows) {
    QWidget* widget = nullptr;
    if (def.kind == BandKind::StatusLine) {
      status_line_ = new QLabel(this);
      status_line_->setTextFormat(Qt::PlainText);
      status_line_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
      status_line_->setWordWrap(true);
      status_line_->setAccessibleName(QStringLiteral("状況"));
      widget = status_line_;
    } else {
      auto* button = new PressButton(FromUtf8(def.caption), this);
      button->setAccessibleName(FromUtf8(def.caption));
      button->SetFocusFrameWidth(scale_.Length(kFocusFrameWidth, 2));
      button->hide();  // until SetBandAction gives it something to do
      connect(button, &QPushButton::clicked, this,
              [this, command = *def.command] { RunCommand(command); });
      band_buttons_.push_back({*def.command, button, {}});
      buttons.push_back(button);
      widget = button;
    }
    widget->setObjectName(FromUtf8(def.object_name));
    widget->setGeometry(scale_.Rect(def.geometry));
    widget->setFont(MakeFont(scale_.Font(def.font)));
  }
  return buttons;
}

void MainWindow::SetBandAction(Command command, std::function<void()> action) {
  for (BandButton& band : band_buttons_) {
    if (band.command != command) continue;
    band.button->setVisible(static_cast<bool>(action));
    band.action = std::move(action);
    return;
  }
}

void MainWindow::ChainTabOrder(std::vector<QPushButton*> keys,
                               const std::vector<QPushButton*>& commands) {
  keys.insert(keys.end(), commands.begin(), commands.end());
  for (std::size_t i = 1; i < keys.size(); ++i) setTabOrder(keys[i - 1], keys[i]);
  // The "0" key is first in the tab order and holds the focus when the window opens.
  keys.front()->setFocus();
}

void MainWindow::RunCommand(Command command) {
  switch (command) {
    case Command::kChooseFile:
      ChooseProblemFile();
      break;
    case Command::kStart:
      StartRound();
      break;
    case Command::kNext:
      NextQuestion();
      break;
    case Command::kQuit:
      Quit();
      break;
    case Command::kPrint:
    case Command::kRecord:
    case Command::kGenerate:
    case Command::kSettings:
    case Command::kPractice:
    case Command::kLearners:
      for (const BandButton& band : band_buttons_) {
        if (band.command != command || !band.action) continue;
        // A copy: the action may set a new one for its own button.
        const std::function<void()> action = band.action;
        Guarded(action);
        break;
      }
      break;
  }
}

void MainWindow::PlaceAtTopLeft() {
  move(0, 0);
  resize(scale_.WindowSize());
}

void MainWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  FitOuterSize();
}

void MainWindow::moveEvent(QMoveEvent* event) {
  QWidget::moveEvent(event);
  FitOuterSize();
}

void MainWindow::FitOuterSize() {
  // The outer size is 1024 x 768 (or its scaled size), frame included; the window manager
  // tells the frame's size only once it has framed the window, which may be after the first
  // show.
  if (sized_to_frame_ || windowHandle() == nullptr) return;
  const QMargins frame = windowHandle()->frameMargins();
  if (frame.isNull()) return;
  sized_to_frame_ = true;
  const QSize outer = scale_.WindowSize();
  resize(outer.width() - frame.left() - frame.right(),
         outer.height() - frame.top() - frame.bottom());
  move(0, 0);
}

void MainWindow::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  // The data files are read at the first activation only: coming back from the file
  // dialog, an error box or another program must not reload them or stop a countdown.
  if (event->type() == QEvent::ActivationChange && isActiveWindow() && !activated_) {
    activated_ = true;
    LoadDataFilesOnce();
  }
}

void MainWindow::LoadDataFilesOnce() {
  Guarded([this] {
    drill_->LoadDataFiles();
    for (std::size_t i = 0; i < kCommandButtons.size(); ++i) {
      const std::string_view caption = kCommandButtons[i].activated_caption;
      if (!caption.empty()) command_buttons_[i]->setText(FromUtf8(caption));
    }
  });
}

template <typename Work>
std::optional<std::string> MainWindow::Attempt(Work&& work) {
  try {
    work();
    return std::nullopt;
  } catch (...) {
    return MessageOfCurrentException();
  }
}

template <typename Work>
void MainWindow::Guarded(Work&& work) {
  if (const std::optional<std::string> failure = Attempt(std::forward<Work>(work)))
    Report(*failure);
}

void MainWindow::Report(const std::string& sjis_message) {
  if (report_error_) {
    report_error_(sjis_message);
  } else {
    qWarning("%s", qPrintable(ToDisplay(sjis_message)));
  }
}

QFileDialog& MainWindow::ProblemFileDialog() {
  // Made at the first 問題選択 rather than with the window: listing a folder and loading
  // its icons would otherwise slow every start-up.
  if (file_dialog_ == nullptr) {
    file_dialog_ = new QFileDialog(this);  // owned as a child, and kept for the next choice
    file_dialog_->setObjectName(QStringLiteral("problemFileDialog"));
    file_dialog_->setOption(QFileDialog::DontUseNativeDialog);
    file_dialog_->setAcceptMode(QFileDialog::AcceptOpen);
    // AnyFile lets the learner type a name that does not exist; the load then says so.
    file_dialog_->setFileMode(QFileDialog::AnyFile);
    file_dialog_->setNameFilters(ProblemFileFilters());
  }
  return *file_dialog_;
}

std::optional<std::string> MainWindow::RunProblemFileDialog() {
  QFileDialog& dialog = ProblemFileDialog();
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

void MainWindow::ChooseProblemFile() {
  if (choose_file_) {
    LoadThrough(choose_file_, false);
  } else {
    LoadThrough([this] { return RunProblemFileDialog(); }, true);
  }
}

void MainWindow::LoadProblemFile(const std::string& path) {
  LoadThrough([&path] { return std::optional<std::string>(path); }, false);
}

void MainWindow::LoadThrough(const Drill::FileChooser& chooser, bool from_dialog) {
  std::optional<DataSource> chosen;
  const std::optional<std::string> failure = Attempt([&] {
    drill_->ChooseProblemFile([&] {
      chosen = chooser();
      return chosen;
    });
  });
  LoadStatus status;
  if (chosen) {
    status.file_name =
        QFileInfo(QFile::decodeName(QByteArray::fromStdString(std::string(chosen->path()))))
            .fileName();
  }
  if (failure) {
    status.kind = LoadStatus::Kind::Failed;
    status.failure = ToDisplay(*failure);
  } else if (chosen) {
    status.kind = LoadStatus::Kind::Loaded;
    status.problem_count = drill_->Bank().problem_count;
    loaded_file_name_ = status.file_name;
    const LoadSummary& load = drill_->LastLoad();
    status.look = text::LookOfText(load.head);
    status.pairs_left_out = load.pairs_left_out;
    status.all_left_out_counted = load.all_left_out_counted;
    status.read_as_utf8 = load.read_as_utf8;
  } else {
    status.kind = LoadStatus::Kind::Cancelled;
  }
  if (from_dialog && file_dialog_ != nullptr) {
    status.unshown_names = CountNonUtf8Names(
        QFile::encodeName(file_dialog_->directory().absolutePath()).toStdString());
  }
  // Said before the error box opens, so that the line behind it already tells what happened.
  ShowStatus(status);
  if (failure) Report(*failure);
}

void MainWindow::ShowStatus(const LoadStatus& status) {
  const QString name =
      QFontMetrics(status_line_->font())
          .elidedText(status.file_name, Qt::ElideMiddle, status_line_->width() / 2);
  status_text_ = StatusText(status, name);
  status_note_.clear();
  UpdateStatusLine();
}

void MainWindow::SetLearnerName(const QString& name) {
  learner_name_ = name;
  UpdateStatusLine();
}

void MainWindow::ShowStatusNote(const QString& note) {
  status_note_ = note;
  UpdateStatusLine();
}

void MainWindow::UpdateStatusLine() {
  if (!status_line_) return;
  QString text = status_text_;
  if (!status_note_.isEmpty()) text += QStringLiteral("\n") + status_note_;
  if (!learner_name_.isEmpty()) text = learner_name_ + QStringLiteral("：") + text;
  status_line_->setText(text);
}

void MainWindow::StartRound() {
  Guarded([this] { drill_->StartRound(); });
}

void MainWindow::NextQuestion() {
  Guarded([this] { drill_->NextQuestion(); });
}

void MainWindow::Quit() { close(); }

void MainWindow::closeEvent(QCloseEvent* event) {
  Guarded([this] { drill_->Abandon(); });
  QWidget::closeEvent(event);
}

void MainWindow::Tick() {
  // A tick already queued when the countdown stopped is not a tick of the next question.
  if (!timer_.isActive()) return;
  Guarded([this] { drill_->Tick(); });
}

void MainWindow::KeyPressed(const KeyDef& key) {
  Guarded([this, &key] {
    switch (key.role) {
      case KeyRole::Character:
        drill_->AppendKey(key.sjis);
        break;
      case KeyRole::Clear:
        drill_->ClearAnswer();
        break;
      case KeyRole::Submit:
        drill_->SubmitAnswer();
        break;
    }
  });
}

void MainWindow::SetLabelText(Label label, std::string_view text) {
  QLabel* widget = labels_[static_cast<std::size_t>(label)];
  widget->setText(ToDisplay(ShownPart(text)));
  TellAssistiveTechnology(label, widget, text);
}

void MainWindow::TellAssistiveTechnology(Label label, QLabel* widget, std::string_view text) {
  // The label's name is its role; what it shows is its description (and its text).
  widget->setAccessibleDescription(widget->text());
  if (!QAccessible::isActive()) return;
  QAccessibleEvent changed(widget, QAccessible::DescriptionChanged);
  QAccessible::updateAccessibility(&changed);
  if (!ShouldAnnounce(label, text, drill_->Snapshot())) return;
  QAccessibleEvent alert(widget, QAccessible::Alert);
  QAccessible::updateAccessibility(&alert);
  Announce(widget->accessibleName() + QStringLiteral("、") + widget->text().simplified());
}

void MainWindow::Announce(const QString& news) {
  // What one click brings (the verdict, then the revealed answer) is said as one: a reader
  // speaks only the latest of several notifications that show at once.
  const bool first = pending_news_.isEmpty();
  pending_news_ << news;
  if (!first) return;
  QTimer::singleShot(0, this, [this] {
    // Shown anew for every piece of news: readers speak a notification as it appears.
    announcer_->hide();
    announcer_->setAccessibleName(pending_news_.join(QStringLiteral("。")));
    pending_news_.clear();
    announcer_->show();
  });
}

void MainWindow::SetKeyboardTyping(bool on) {
  keyboard_typing_ = on;
  // A mouse click then leaves the keyboard where it was, so that the next Enter answers
  // rather than pressing the clicked button again; Tab still reaches every button.
  for (QPushButton* button : commands_) {
    button->setFocusPolicy(on ? Qt::TabFocus : Qt::StrongFocus);
  }
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  if (!keyboard_typing_ || event->type() != QEvent::KeyPress) {
    return QWidget::eventFilter(watched, event);
  }
  const auto* key_event = static_cast<QKeyEvent*>(event);
  // While a question is open the answer owns Enter (決定) and Backspace / Delete (取消),
  // wherever the focus is; else Enter on a command button still presses it, and on the
  // keypad it is 決定.
  const bool on_keypad = std::find(keys_.begin(), keys_.end(), watched) != keys_.end();
  const RoundSnapshot round = drill_->Snapshot();
  const bool question_open =
      round.stage == Stage::kRunning && round.question_number >= 1 &&
      round.question_number <= 10 && !round.closed;
  const KeyDef* key = KeyForTyped(key_event->key(), key_event->text(), key_event->modifiers());
  if (key == nullptr && question_open && key_event->modifiers() == Qt::NoModifier &&
      (key_event->key() == Qt::Key_Backspace || key_event->key() == Qt::Key_Delete)) {
    key = KeyForTyped(Qt::Key_Escape, {}, Qt::NoModifier);
  }
  if (key == nullptr || (key->role == KeyRole::Submit && !on_keypad && !question_open)) {
    return QWidget::eventFilter(watched, event);
  }
  keys_[static_cast<std::size_t>(key - kKeypad.data())]->click();
  return true;
}

void MainWindow::SetTimerEnabled(bool enabled) {
  // The drill switches only on a real change, so start() never restarts a running second.
  if (enabled) {
    timer_.start();
  } else {
    timer_.stop();
  }
}

bool MainWindow::TimerEnabled() const { return timer_.isActive(); }

void MainWindow::SetBar(int top, int height) {
  // The drill counts in the unscaled frame; its edges are mapped so the bar still meets the
  // frame's bottom.
  const int scaled_top = scale_.Position(top);
  bar_->Place(scaled_top, height > 0 ? scale_.Position(top + height) - scaled_top : 0);
}

}  // namespace rekendo
