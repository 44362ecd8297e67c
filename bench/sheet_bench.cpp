// rekendo-sheet's budgets: a problem file of 100 problems to a written PDF with its key in
// under 500 ms, and of 1000 problems in under 3 s. Each iteration does what the command and
// the dialog's PDF に保存 do: the drill's load, layout, rendering and the safe write.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <string>

#include "sample_files.h"
#include "scratch_dir.h"
#include "sheet_font.h"
#include "sheet_pdf.h"

namespace {

using namespace rekendo::worksheet;

void BM_SheetPdf(benchmark::State& state) {
  const rekendo::bench::ScratchDir dir;
  SheetRequest request;
  request.problem_file =
      dir.Write("set.mon", rekendo::bench::ProblemFileBytes(static_cast<int>(state.range(0))));
  request.seed = 1;
  const std::string out = (dir.path() / "set.pdf").string();
  int pages = 0;
  for (auto _ : state) {
    const auto made = MakeSheetPdf(request, out, Existing::kReplace);
    if (!made) {
      state.SkipWithError(made.error().message.c_str());
      break;
    }
    pages = made->total();
  }
  state.counters["pages"] = pages;
}
BENCHMARK(BM_SheetPdf)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  // The face is added once, as the program does before its first sheet.
  if (!SheetFontFamily()) return 1;
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
