// rekendo-start-probe [PROBLEM_FILE]: starts exactly as the drill does and, at the end of
// its first activation (the data files loaded), says it is ready and quits. Given a problem
// file, it first loads that through the 問題選択 button, for the memory figure.
#include <optional>
#include <string>

#include "probe_form.h"
#include "ready_signal.h"

int main(int argc, char** argv) {
  const std::optional<std::string> problems =
      argc > 1 ? std::optional<std::string>(argv[1]) : std::nullopt;
  // The steps below are app/main.cpp's, in its order.
  rekendo::GuardedApplication app(argc, argv);
  QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
  const QString title = rekendo::bench::ApplicationTitleOfThisProgram();

  rekendo::ErrorReporter reporter(title, nullptr);
  rekendo::bench::ExitOnReport(reporter);
  app.SetReporter(&reporter);

  rekendo::bench::ProbeForm form;
  reporter.SetOwner(&form);
  form.SetErrorReporter([&reporter](std::string_view message) { reporter.Report(message); });
  form.OnFirstActivation([&form, &problems] {
    if (problems) {
      form.SetFileChooser([&problems] { return problems; });
      rekendo::MainWindowPeer(form).ChooseProblemFile();
    }
    rekendo::bench::SignalReady();
    QCoreApplication::quit();
  });
  form.ShowActive();
  QApplication::exec();
  return 0;
}
