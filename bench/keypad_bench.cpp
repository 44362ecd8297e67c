// Typing a long answer key by key: each key must cost the same however long the answer is.
#include <benchmark/benchmark.h>

#include <optional>
#include <string>
#include <string_view>

#include "drill.h"
#include "null_view.h"
#include "sample_files.h"
#include "scratch_dir.h"

namespace rekendo::bench {
namespace {

constexpr std::string_view kKey = "\x82\x58";  // ９

void BM_AppendKeys(benchmark::State& state) {
  const ScratchDir dir;
  const std::string path = dir.Write("one.mon", ProblemFileBytes(1));
  NullView view;
  Drill drill(view, [] { return 12345u; });
  drill.ChooseProblemFile([&path] { return std::optional<std::string>(path); });
  drill.StartRound();
  for (auto _ : state) {
    drill.ClearAnswer();
    for (std::int64_t key = 0; key < state.range(0); ++key) drill.AppendKey(kKey);
  }
  if (drill.Snapshot().typed_answer.size() != static_cast<std::size_t>(state.range(0)) * kKey.size()) {
    state.SkipWithError("keys were dropped");
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

BENCHMARK(BM_AppendKeys)->ArgName("keys")->Arg(1000)->Arg(100000)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace rekendo::bench
