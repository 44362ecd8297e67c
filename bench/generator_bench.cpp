// rekendo-gen: problems made per second for each topic (budget 100,000), and the whole
// program from exec to exit writing 1000 problems (budget 50 ms).
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <string>
#include <variant>
#include <vector>

#include "problem_file.h"
#include "scratch_dir.h"

extern char** environ;

namespace rekendo::bench {
namespace {

constexpr int kLevel = 2;

int CountFor(const generator::TopicSummary& topic) {
  return static_cast<int>(
      std::min<std::uint64_t>(generator::kMaxCount, topic.available[kLevel - 1]));
}

// A whole file of the topic per iteration, CP932 conversion included.
void BM_GenerateProblems(benchmark::State& state, const generator::TopicSummary& topic) {
  const int count = CountFor(topic);
  std::uint64_t seed = 1;
  for (auto _ : state) {
    auto made = generator::GenerateProblemFile(topic.name, kLevel, count, seed++);
    if (!made) {
      state.SkipWithError("generation failed");
      break;
    }
    benchmark::DoNotOptimize(made);
  }
  state.SetItemsProcessed(state.iterations() * count);
}

// Runs the installed-style program as a teacher would.
void BM_GenerateExec(benchmark::State& state, const std::string& topic) {
  const ScratchDir dir;
  const std::string out = (dir.path() / "set.mon").string();
  std::vector<std::string> args = {REKENDO_GEN_PATH, topic, "--level", "3", "--count", "1000", "-o", out};
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  for (auto _ : state) {
    pid_t pid = 0;
    int status = 0;
    if (::posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0 ||
        ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
      state.SkipWithError("rekendo-gen failed");
      break;
    }
  }
}

const bool kRegistered = [] {
  for (const generator::TopicSummary& topic : generator::TopicList()) {
    benchmark::RegisterBenchmark(("BM_GenerateProblems/" + topic.name).c_str(),
                                 BM_GenerateProblems, topic)
        ->Unit(benchmark::kMicrosecond);
  }
  // The slowest topic to make and the largest file to write, at level 3, which has 1000.
  for (const char* topic : {"add", "factor"}) {
    benchmark::RegisterBenchmark((std::string("BM_GenerateExec/") + topic).c_str(),
                                 BM_GenerateExec, std::string(topic))
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
  }
  return true;
}();

}  // namespace
}  // namespace rekendo::bench
