// Loading a full problem file and the trivia file, as the 問題選択 button and the first
// activation do. Budget: each under a millisecond.
#include <benchmark/benchmark.h>

#include <optional>
#include <string>

#include "drill.h"
#include "null_view.h"
#include "sample_files.h"
#include "scratch_dir.h"

namespace rekendo::bench {
namespace {

constexpr std::uint32_t FixedClock() { return 12345; }

void BM_LoadProblems(benchmark::State& state) {
  const ScratchDir dir;
  const std::string path =
      dir.Write("problems.mon", ProblemFileBytes(static_cast<int>(state.range(0))));
  NullView view;
  Drill drill(view, FixedClock);
  const Drill::FileChooser choose = [&path] { return std::optional<std::string>(path); };
  for (auto _ : state) {
    drill.ChooseProblemFile(choose);
    benchmark::DoNotOptimize(drill.Bank().problem_count);
  }
  if (drill.Bank().problem_count != state.range(0)) state.SkipWithError("the file did not load whole");
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_LoadTrivia(benchmark::State& state) {
  const ScratchDir dir;
  const std::string judgement = dir.Write("judgement.han", JudgementFileBytes());
  const std::string trivia =
      dir.Write("trivia.zat", TriviaFileBytes(static_cast<int>(state.range(0))));
  NullView view;
  Drill drill(view, FixedClock);
  for (auto _ : state) {
    drill.LoadDataFiles(judgement, trivia);
    benchmark::DoNotOptimize(drill.Bank().trivia_count);
  }
  if (drill.Bank().trivia_count != state.range(0)) state.SkipWithError("the file did not load whole");
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

BENCHMARK(BM_LoadProblems)->ArgName("pairs")->Arg(kMaxProblems)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LoadTrivia)->ArgName("pairs")->Arg(kMaxTrivia)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace rekendo::bench
