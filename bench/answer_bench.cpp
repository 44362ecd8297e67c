// Checking a typed answer against a long "$"-separated list of accepted answers, and the
// reveal that follows. The typed answer is the last piece, so every piece is tried. The cost
// per byte must stay flat from 1 KiB to 1 MiB; budget: 1 MiB under 5 ms.
#include <benchmark/benchmark.h>

#include <string>
#include <string_view>

#include "drill.h"
#include "null_view.h"
#include "sample_files.h"

namespace rekendo::bench {
namespace {

constexpr std::string_view kLastPiece = "\x82\x54\x82\x53\x82\x52\x82\x51\x82\x50";  // ５４３２１
constexpr std::uint32_t FixedClock() { return 12345; }

// The check alone: the pinned timer keeps the question from being revealed.
void BM_AnswerCheck(benchmark::State& state) {
  const auto size = static_cast<std::size_t>(state.range(0));
  NullView view(/*pinned_timer=*/true);
  Drill drill(view, FixedClock);
  drill.Stage = 2;
  drill.TimeLimit = kTicksPerQuestion;
  drill.CorrectAnswer = AcceptedAnswers(size, kLastPiece);
  for (auto _ : state) {
    drill.Closed = false;
    drill.Scored = false;
    drill.Score = 0;
    drill.AnswerInput = kLastPiece;
    drill.ButtonketteiClick();
  }
  if (!drill.Closed) state.SkipWithError("the last piece was not accepted");
  state.SetBytesProcessed(state.iterations() * state.range(0));
}

// A whole question's close: setting it (which copies the accepted answers), the check, and
// the reveal that runs because the check stopped the timer.
void BM_AnswerCheckAndReveal(benchmark::State& state) {
  const auto size = static_cast<std::size_t>(state.range(0));
  NullView view;
  Drill drill(view, FixedClock);
  drill.ProblemCount = 1;
  drill.ProblemText[1] = FullWidthNumber(1);
  drill.ProblemAnswer[1] = AcceptedAnswers(size, kLastPiece);
  drill.Stage = 2;
  for (auto _ : state) {
    drill.QuestionNo = 0;
    drill.Score = 0;
    drill.BitBtnnextClick();
    drill.AnswerInput = kLastPiece;
    drill.ButtonketteiClick();
  }
  if (!drill.Closed || drill.PanelText().size() < size) {
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
