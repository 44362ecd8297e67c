// Checking a typed answer against a long "$"-separated list of accepted answers, and the
// reveal that follows. The cost per byte must stay flat from 1 KiB to 1 MiB; budget: 1 MiB
// under 5 ms.
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

constexpr std::string_view kLastPiece = "\x82\x54\x82\x53\x82\x52\x82\x51\x82\x50";  // ５４３２１
constexpr std::string_view kNoPiece = "\x82\x4F";                                  // ０
constexpr std::uint32_t FixedClock() { return 12345; }

// A drill over one problem whose accepted answers take `size` bytes, its round started.
void StartOverOneProblem(Drill& drill, const ScratchDir& dir, std::size_t size) {
  const std::string path =
      dir.Write("long.mon", FullWidthNumber(1) + "\r\n" + AcceptedAnswers(size, kLastPiece) + "\r\n");
  drill.ChooseProblemFile([&path] { return std::optional<std::string>(path); });
  drill.StartRound();
}

// The check alone: a wrong answer with time left tries every piece and keeps the question
// open, so each pass checks again.
void BM_AnswerCheck(benchmark::State& state) {
  const auto size = static_cast<std::size_t>(state.range(0));
  const ScratchDir dir;
  NullView view;
  Drill drill(view, FixedClock);
  StartOverOneProblem(drill, dir, size);
  for (auto _ : state) {
    drill.AppendKey(kNoPiece);
    drill.SubmitAnswer();
  }
  if (drill.Snapshot().closed) state.SkipWithError("a wrong answer closed the question");
  state.SetBytesProcessed(state.iterations() * state.range(0));
}

// A whole question's close: setting it (which copies the accepted answers), the check of the
// last piece, and the reveal that runs because the check stopped the timer.
void BM_AnswerCheckAndReveal(benchmark::State& state) {
  const auto size = static_cast<std::size_t>(state.range(0));
  const ScratchDir dir;
  NullView view;
  Drill drill(view, FixedClock);
  StartOverOneProblem(drill, dir, size);
  for (auto _ : state) {
    drill.StartRound();
    drill.AppendKey(kLastPiece);
    drill.SubmitAnswer();
  }
  if (!drill.Snapshot().closed || drill.PanelText().size() < size) {
    state.SkipWithError("the answer was not accepted and revealed");
  }
  state.SetBytesProcessed(state.iterations() * state.range(0));
}

BENCHMARK(BM_AnswerCheck)
    ->ArgName("bytes")
    ->Arg(1 << 10)
    ->Arg(64 << 10)
    ->Arg(1 << 20)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_AnswerCheckAndReveal)
    ->ArgName("bytes")
    ->Arg(1 << 10)
    ->Arg(64 << 10)
    ->Arg(1 << 20)
    ->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace rekendo::bench
