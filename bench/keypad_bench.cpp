// Typing a long answer key by key: each key must cost the same however long the answer is.
#include <benchmark/benchmark.h>

#include <string>
#include <string_view>

#include "drill.h"
#include "null_view.h"

namespace rekendo::bench {
namespace {

constexpr std::string_view kKey = "\x82\x58";  // ９

void BM_AppendKeys(benchmark::State& state) {
  NullView view;
  Drill drill(view, [] { return 12345u; });
  drill.Stage = 2;
  drill.Closed = false;
  for (auto _ : state) {
    // A fresh buffer every time, so that its growth is part of the cost.
    std::string().swap(drill.AnswerInput);
    for (std::int64_t key = 0; key < state.range(0); ++key) drill.AppendKey(kKey);
    benchmark::DoNotOptimize(drill.AnswerInput.data());
  }
  if (drill.AnswerInput.size() != static_cast<std::size_t>(state.range(0)) * kKey.size()) {
    state.SkipWithError("keys were dropped");
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

BENCHMARK(BM_AppendKeys)->ArgName("keys")->Arg(1000)->Arg(100000)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace rekendo::bench
