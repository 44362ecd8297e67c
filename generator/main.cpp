// rekendo-gen: makes a problem file for the drill from a topic, a level and a count.
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <variant>
#include <vector>

#include "atomic_file.h"
#include "gen_command_line.h"
#include "problem_file.h"

extern char** environ;

namespace {

using namespace rekendo::generator;

constexpr int kOk = 0;
constexpr int kFailed = 2;

int Fail(const std::string& message) {
  std::cerr << "rekendo-gen: " << message << '\n';
  return kFailed;
}

void PrintList() {
  for (const TopicSummary& topic : TopicList()) {
    std::cout << topic.name << "\t" << topic.japanese_name;
    for (std::size_t i = 0; i < topic.examples.size(); ++i) {
      std::cout << "\t" << i + 1 << ": " << topic.examples[i];
    }
    if (!topic.note.empty()) std::cout << "\t※" << topic.note;
    std::cout << '\n';
  }
}

std::uint64_t ClockSeed() {
  return static_cast<std::uint64_t>(
      std::chrono::system_clock::now().time_since_epoch().count());
}

// --sheet: the same problems as a worksheet, made by the rekendo-sheet beside this program
// (the generator itself knows nothing of Qt); its exit status is this one's.
int MakeSheet(const Options& options, std::uint64_t seed) {
  std::error_code ignored;
  const std::string program =
      (std::filesystem::read_symlink("/proc/self/exe", ignored).parent_path() / "rekendo-sheet")
          .string();
  std::vector<std::string> args = {program, "--topic", options.topic,
                                   "--level", std::to_string(options.level),
                                   "--count", std::to_string(options.count.value_or(kDefaultCount)),
                                   "--seed", std::to_string(seed),
                                   "-o", options.sheet};
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  std::cout.flush();
  pid_t pid = 0;
  if (const int error = ::posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv.data(), environ)) {
    return Fail("rekendo-sheet を起動できません: " + program + ": " + std::strerror(error));
  }
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return Fail("rekendo-sheet の終わりを待てませんでした");
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : kFailed;
}

int Generate(const Options& options) {
  const std::uint64_t seed = options.seed.value_or(ClockSeed());
  if (!options.sheet.empty() && options.output.empty()) return MakeSheet(options, seed);
  const auto made = GenerateProblemFile(options.topic, options.level,
                                        options.count.value_or(kDefaultCount), seed);
  if (!made) return Fail(made.error().message);
  const std::string& bytes = made->cp932;
  if (options.output.empty()) {
    if (std::fwrite(bytes.data(), 1, bytes.size(), stdout) != bytes.size() ||
        std::fflush(stdout) != 0) {
      return Fail("標準出力に書けませんでした");
    }
    return kOk;
  }
  if (const auto error = rekendo::files::ReplaceAtomically(options.output, bytes)) {
    return Fail("書き出せませんでした: " + error->Describe());
  }
  return options.sheet.empty() ? kOk : MakeSheet(options, seed);
}

}  // namespace

int main(int argc, char** argv) {
  const auto parsed =
      ParseCommandLine({argv + 1, static_cast<std::size_t>(argc > 0 ? argc - 1 : 0)});
  if (const auto* error = std::get_if<UsageError>(&parsed)) {
    std::cerr << "rekendo-gen: " << error->message << "\n詳しくは rekendo-gen --help\n";
    return kFailed;
  }
  const Options& options = std::get<Options>(parsed);
  if (options.help) {
    std::cout << kUsage;
    return kOk;
  }
  if (options.version) {
    std::cout << "rekendo-gen " REKENDO_VERSION "\n";
    return kOk;
  }
  if (options.list) {
    PrintList();
    return kOk;
  }
  return Generate(options);
}
