#include "companions.h"

#include <QDateTime>
#include <QFile>
#include <QMessageBox>
#include <QStandardPaths>

#include "class_server_view.h"
#include "generate_dialog.h"
#include "local_schedule.h"
#include "record_upgrade.h"
#include "record_window.h"
#include "sheet_dialog.h"
#include "teacher_gate.h"
#include "teacher_view.h"

namespace rekendo {

namespace {

void OpenClassServerView(const QString& where, QWidget* parent) {
  ClassServerView view(where, QDateTime::currentMSecsSinceEpoch(), parent);
  view.exec();
}

}  // namespace

Companions::Companions(MainWindow& window, const QString& data_folder,
                       DrillSettingsStore* settings)
    : window_(window),
      data_folder_(data_folder),
      record_(data_folder),
      recorder_(record_),
      class_(record_, recorder_, settings),
      learners_(window_, record_, class_),
      practice_(window, record_, [this](const QString& path) { Load(path); }) {
  // The record opens at the first round, so start-up does not wait for the database.
  window_.SetDrillObserver(&recorder_);
  window_.SetBandAction(Command::kRecord, [this] { OpenRecordWindow(); });
  window_.SetBandAction(Command::kGenerate, [this] { GenerateProblemSet(); });
  window_.SetBandAction(Command::kPrint, [this] { PrintSheet(); });
}

Companions::~Companions() {
  window_.SetDrillObserver(nullptr);
  window_.SetBandAction(Command::kRecord, {});
  window_.SetBandAction(Command::kGenerate, {});
  window_.SetBandAction(Command::kPrint, {});
}

void Companions::UseSettings(const DrillSettings& settings) {
  record_.SetSchedule(LocalSchedule(settings.retention));
  practice_.SetSize(settings.practice_size);
  record_.SetMasteryRule(settings.mastery);
}

void Companions::BringRecordUpToDate() {
  rekendo::BringRecordUpToDate(data_folder_, record_.Schedule(), &window_);
}

void Companions::PrintSheet() {
  // The set the drill holds is offered first; the dialog also prints any file, a generated
  // topic or a 百ます grid.
  worksheet::SheetRequest request;
  request.loaded_set = worksheet::ProblemListFromBank(
      window_.drill().Bank(), window_.LoadedFileName().toStdString());
  request.source = request.loaded_set.pairs.empty() ? worksheet::Source::kProblemFile
                                                       : worksheet::Source::kLoadedSet;
  worksheet::OpenSheetDialog(&window_, request);
}

void Companions::OpenRecordWindow() {
  record::RecordWindow record_window(record_, &window_);
  // On a shared record (several learners, or once the teacher set a PIN) the CSV of everyone,
  // 記録する and 記録を消す are the teacher's: the PIN is asked once for this window.
  TeacherGate teacher_gate(record_, &record_window);
  const QString name = learners_.ShownName();
  if (!name.isEmpty() || record_.TeacherPinHash()) {
    record_window.SetTeacherCheck([&teacher_gate] { return teacher_gate.Unlock(); });
  }
  // One learner's record at a time: the title says whose.
  if (!name.isEmpty()) {
    record_window.setWindowTitle(QStringLiteral("成績 — ") + name);
    // On a shared record the teacher sees everyone's week, after the PIN.
    record_window.SetTeacherAction([this, &record_window] {
      TeacherGate gate(record_, &record_window);
      if (!gate.Unlock()) return;
      TeacherView view(record_.FilePath(), QDateTime::currentMSecsSinceEpoch(), &record_window);
      if (const QString where = class_.Connection(); !where.isEmpty()) {
        view.AddServerButton([where, &view] { OpenClassServerView(where, &view); });
      }
      view.exec();
    });
  } else if (const QString where = class_.Connection(); !where.isEmpty()) {
    // With a class server the database decides what the list shows: a teacher role its
    // classes, a learner role only itself, as psql would show them.
    record_window.SetTeacherAction(
        [where, &record_window] { OpenClassServerView(where, &record_window); });
  }
  record_window.KeepRoundsForClass(!class_.Connection().isEmpty());
  // How the rounds stand with the class server, kept up to date while the window is open.
  record_window.SetClassStatus(class_.StatusText());
  if (const auto* uploader = class_.Uploader()) {
    QObject::connect(uploader, &classroom::ClassUploader::StatusChanged, &record_window,
                     [this, &record_window] { record_window.SetClassStatus(class_.StatusText()); });
  }
  QObject::connect(&record_window, &record::RecordWindow::PracticeSetReady, &record_window,
                   [this, &record_window](const QString& path) {
                     record_window.accept();
                     Load(path);  // guarded by the window: a failure shows in its status line
                   });
  record_window.exec();
}

void Companions::GenerateProblemSet() {
  GenerateDialog dialog(data_folder_ + QStringLiteral("/generated"), &window_);
  dialog.UseRecord(&record_);
  if (dialog.exec() == QDialog::Accepted && !dialog.WrittenPath().isEmpty()) {
    Load(dialog.WrittenPath());
  }
}

void Companions::Load(const QString& path) {
  window_.LoadProblemFile(QFile::encodeName(path).toStdString());
}

QString DefaultDataFolder() {
  return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
}

}  // namespace rekendo
