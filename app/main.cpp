// rekendo: start-up, the event loop, and the end of the program.
#include <QFile>
#include <QStyleFactory>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "application_title.h"
#include "command_line.h"
#include "companions.h"
#include "error_report.h"
#include "guarded_application.h"
#include "main_window.h"
#include "qt_translations.h"
#include "record.h"
#include "start_options.h"
#include "settings_hookup.h"

namespace {

bool HasDisplay() {
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
    const char* value = std::getenv(name);
    if (value != nullptr && *value != '\0') return true;
  }
  return false;
}

// --forget-teacher-pin: what the machine's administrator runs, in the account whose record
// it is, when the teacher's PIN is forgotten. No display needed.
int ForgetTeacherPin(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  rekendo::record::Record record(rekendo::DefaultDataFolder());
  record.Open();
  if (const rekendo::Status forgotten = record.ForgetTeacherPin(); !forgotten) {
    std::fprintf(stderr, "rekendo: %s\n", forgotten.error().Describe().c_str());
    return 1;
  }
  std::fputs("先生の暗証番号を消しました。次に学習者を変えるときに、新しい暗証番号を決めます。\n",
             stdout);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (const std::optional<int> status = rekendo::AnswerStartOptions(argc, argv)) return *status;
  for (int k = 1; k < argc; ++k) {
    if (std::string_view(argv[k]) == "--forget-teacher-pin") return ForgetTeacherPin(argc, argv);
  }
  if (!HasDisplay()) {
    std::fputs(
        "rekendo: no display to open its window on; start it from a desktop session, or "
        "under a virtual one: xvfb-run -a rekendo\n",
        stderr);
    return 1;
  }
  rekendo::GuardedApplication app(argc, argv);
  // One look everywhere, whatever desktop theme is installed.
  QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
  if (const std::optional<QString> missing = rekendo::InstallJapaneseQtTexts(app)) {
    std::fprintf(stderr, "rekendo: %s\n", qPrintable(*missing));
  }
  const QString title = QString::fromStdString(
      rekendo::ApplicationTitle(QCoreApplication::applicationFilePath().toStdString()));

  rekendo::ErrorReporter reporter(title, nullptr);
  app.SetReporter(&reporter);

  const rekendo::Result<rekendo::CommandLine> line =
      rekendo::ParseCommandLine(QCoreApplication::arguments().mid(1));
  if (!line) {
    std::fprintf(stderr, "rekendo: %s\n", line.error().Describe().c_str());
    return 2;
  }
  rekendo::DrillSettingsStore settings_store;
  const bool fill = line->fill_screen || settings_store.Load().fill_screen;
  rekendo::MainWindow form(fill ? rekendo::MainWindow::ScaleToFillScreen()
                                : rekendo::MainWindow::ScaleForScreen());
  reporter.SetOwner(&form);
  form.SetErrorReporter([&reporter](std::string_view message) { reporter.Report(message); });
  rekendo::Companions companions(form, rekendo::DefaultDataFolder(), &settings_store);
  const rekendo::SettingsHookup settings(
      form, settings_store,
      [&companions](const rekendo::DrillSettings& chosen) { companions.UseSettings(chosen); });
  companions.BringRecordUpToDate();
  if (line->problem_file) {
    // After start, as if chosen: the data files are read at the first activation first.
    QTimer::singleShot(0, &form, [&form, path = *line->problem_file] {
      form.LoadProblemFile(QFile::encodeName(path).toStdString());
    });
  }
  form.show();
  form.raise();
  form.activateWindow();
  QApplication::exec();
  return 0;
}
