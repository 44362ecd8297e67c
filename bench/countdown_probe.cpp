// rekendo-countdown-probe PROBLEM_FILE: times one full countdown of the real countdown timer, from
// the start of the first question until the fortieth tick's time-out closes it. Prints
// "countdown <ticks> <wall ms> <worst tick drift ms>". The learning record is on, in a scratch
// folder, as in the program: the question closed by the last tick is written to it.
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <optional>
#include <string>

#include "companions.h"
#include "probe_form.h"

namespace {

using Clock = std::chrono::steady_clock;

double Milliseconds(Clock::duration duration) {
  return std::chrono::duration<double, std::milli>(duration).count();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("usage: rekendo-countdown-probe PROBLEM_FILE\n", stderr);
    return 2;
  }
  const std::optional<std::string> problems(argv[1]);
  rekendo::GuardedApplication app(argc, argv);
  QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
  rekendo::ErrorReporter reporter(rekendo::bench::ApplicationTitleOfThisProgram(), nullptr);
  rekendo::bench::ExitOnReport(reporter);
  app.SetReporter(&reporter);

  rekendo::bench::ProbeForm form;
  reporter.SetOwner(&form);
  form.SetErrorReporter([&reporter](std::string_view message) { reporter.Report(message); });
  const QTemporaryDir data_folder;
  const rekendo::Companions companions(form, data_folder.path());

  Clock::time_point start;
  int ticks = 0;
  double worst_drift = 0;
  // Connected after the form's own handler, so it sees each tick once the drill has.
  QObject::connect(&rekendo::MainWindowPeer(form).Timer(), &QTimer::timeout, &form, [&] {
    const Clock::time_point now = Clock::now();
    ++ticks;
    worst_drift = std::max(worst_drift, std::abs(Milliseconds(now - start) - 1000.0 * ticks));
    if (rekendo::MainWindowPeer(form).Timer().isActive()) return;
    std::printf("countdown %d %.3f %.3f\n", ticks, Milliseconds(now - start), worst_drift);
    std::fflush(stdout);
    QCoreApplication::quit();
  });
  form.OnFirstActivation([&] {
    form.SetFileChooser([&problems] { return problems; });
    rekendo::MainWindowPeer(form).ChooseProblemFile();
    rekendo::MainWindowPeer(form).StartRound();
    start = Clock::now();
    if (!rekendo::MainWindowPeer(form).Timer().isActive()) {
      std::fputs("rekendo-countdown-probe: the round did not start\n", stderr);
      std::exit(1);
    }
  });
  // A countdown that never ends must not hold up bench/run.
  QTimer::singleShot(std::chrono::seconds(60), [] {
    std::fputs("rekendo-countdown-probe: no end of the countdown within 60 s\n", stderr);
    std::exit(1);
  });
  form.ShowActive();
  QApplication::exec();
  return 0;
}
