// The record's two budgets: a closed question written in well under a millisecond, and the
// 成績 window open with its chart drawn in under 300 ms on 100,000 rounds.
//
// REKENDO_BIG_RECORD=FOLDER uses a record made by rekendo-make-record; otherwise one is
// generated into a scratch folder first (about half a minute).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QStyleFactory>
#include <algorithm>
#include <chrono>
#include <vector>

#include "record_generator.h"
#include "record_window.h"
#include "drill.h"
#include "round_recorder.h"
#include "scratch_dir.h"

namespace {

using rekendo::QuestionKind;
using rekendo::QuestionOutcome;
using rekendo::record::Record;
using rekendo::record::RecordWindow;
using rekendo::record::RoundRecorder;

// Median and 99th percentile of per-item times, as counters in milliseconds.
void ReportSpread(benchmark::State& state, std::vector<double> millis) {
  if (millis.empty()) return;
  std::sort(millis.begin(), millis.end());
  state.counters["median_ms"] = millis[millis.size() / 2];
  state.counters["p99_ms"] = millis[millis.size() * 99 / 100];
}

double MillisSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

// One closed question through the recorder, as the drill sends it: asked, then closed.
void BM_RecordClosedQuestion(benchmark::State& state) {
  rekendo::bench::ScratchDir dir;
  const std::string problems = dir.Write("set.mon", "\x82\x50\x81\x7B\x82\x50\r\n\x82\x51\r\n");
  Record record(QString::fromStdString(dir.path().string()));
  RoundRecorder recorder(record);
  recorder.ProblemFileLoaded({problems, 1, std::string(64, '0')});
  std::vector<double> millis;
  int number = 0;
  for (auto _ : state) {
    if (number % 10 == 0) recorder.RoundStarted({rekendo::kTicksPerQuestion});
    number = number % 10 + 1;
    const auto start = std::chrono::steady_clock::now();
    recorder.QuestionAsked({number, QuestionKind::kProblem, 1, "\x82\x50\x81\x7B\x82\x50", "\x82\x51"});
    recorder.QuestionClosed({number, QuestionOutcome::kRight, "\x82\x51", 0, 4});
    millis.push_back(MillisSince(start));
  }
  if (record.Error()) state.SkipWithError(record.Error()->Describe().c_str());
  ReportSpread(state, std::move(millis));
}
BENCHMARK(BM_RecordClosedQuestion)->Iterations(2000)->Unit(benchmark::kMicrosecond);

QString BigRecordFolder() {
  static rekendo::bench::ScratchDir* scratch = nullptr;  // lives until the program ends
  const QString given = qEnvironmentVariable("REKENDO_BIG_RECORD");
  if (!given.isEmpty()) return given;
  if (!scratch) {
    scratch = new rekendo::bench::ScratchDir;
    const QString error = rekendo::bench::MakeBigRecord(
        QString::fromStdString(scratch->path().string()), rekendo::bench::RecordSize{});
    if (!error.isEmpty()) std::fprintf(stderr, "%s\n", qPrintable(error));
  }
  return QString::fromStdString(scratch->path().string());
}

// From nothing open to the window drawn: the record opened (as the main window does at the
// first 成績), the per-set summary, the chart, the missed problems and the latest rounds
// read, the window laid out and painted.
void BM_OpenRecordWindow(benchmark::State& state) {
  const QString folder = BigRecordFolder();
  std::vector<double> millis;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    Record record(folder);
    RecordWindow window(record);
    window.show();
    const QPixmap drawn = window.grab();
    benchmark::DoNotOptimize(drawn.cacheKey());
    millis.push_back(MillisSince(start));
    if (record.Error()) state.SkipWithError(record.Error()->Describe().c_str());
  }
  ReportSpread(state, std::move(millis));
}
BENCHMARK(BM_OpenRecordWindow)->Iterations(15)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
