// rekendo-countdown-probe [--class-stopped] PROBLEM_FILE: times one full countdown of the real
// countdown timer, from the start of the first question until the fortieth tick's time-out
// closes it. Prints "countdown <ticks> <wall ms> <worst tick drift ms>". The learning record is
// on, in a scratch folder, as in the program: the question closed by the last tick is written
// to it. With --class-stopped the class is configured (REKENDO_CLASS) at a scratch PostgreSQL
// server that was started and stopped again, and a round waits in the queue: the uploader
// keeps failing and retrying all through the countdown. The line then ends with how many
// tries failed.
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
#include "record.h"
#include "scratch_cluster.h"

namespace {

using Clock = std::chrono::steady_clock;

double Milliseconds(Clock::duration duration) {
  return std::chrono::duration<double, std::milli>(duration).count();
}

}  // namespace

// A server that was there and is not any more, and a round of an earlier session waiting.
bool ConfigureStoppedClass(const QString& data_folder,
                           rekendo::classroom::testing::ScratchCluster& cluster) {
  std::string error;
  if (!cluster.Start(&error) || !cluster.Stop(/*immediate=*/false, &error)) {
    std::fprintf(stderr, "rekendo-countdown-probe: scratch server: %s\n", error.c_str());
    return false;
  }
  qputenv(rekendo::kClassEnvironment, QByteArray::fromStdString(cluster.SocketConnInfo("alice")));
  rekendo::record::Record record(data_folder);
  const auto round = record.Open() ? record.StartRound({QString(64, QLatin1Char('a')), "/p.mon",
                                                        "p.mon", 10, 1'765'000'000'000})
                                   : std::nullopt;
  if (!round || !record.EndRound(*round, {true, 50, 5, 1'765'000'060'000})) {
    std::fputs("rekendo-countdown-probe: could not queue a round\n", stderr);
    return false;
  }
  return true;
}

int main(int argc, char** argv) {
  const bool class_stopped = argc == 3 && std::string(argv[1]) == "--class-stopped";
  if (argc != 2 && !class_stopped) {
    std::fputs("usage: rekendo-countdown-probe [--class-stopped] PROBLEM_FILE\n", stderr);
    return 2;
  }
  const std::optional<std::string> problems(argv[argc - 1]);
  rekendo::GuardedApplication app(argc, argv);
  QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
  rekendo::ErrorReporter reporter(rekendo::bench::ApplicationTitleOfThisProgram(), nullptr);
  rekendo::bench::ExitOnReport(reporter);
  app.SetReporter(&reporter);

  rekendo::bench::ProbeForm form;
  reporter.SetOwner(&form);
  form.SetErrorReporter([&reporter](std::string_view message) { reporter.Report(message); });
  const QTemporaryDir data_folder;
  rekendo::classroom::testing::ScratchCluster cluster;
  if (class_stopped && !ConfigureStoppedClass(data_folder.path(), cluster)) return 1;
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
    if (class_stopped) {
      const auto* uploader = companions.Class().Uploader();
      std::printf("countdown %d %.3f %.3f %d\n", ticks, Milliseconds(now - start), worst_drift,
                  uploader ? uploader->Snapshot().failures_in_a_row : -1);
    } else {
      std::printf("countdown %d %.3f %.3f\n", ticks, Milliseconds(now - start), worst_drift);
    }
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
