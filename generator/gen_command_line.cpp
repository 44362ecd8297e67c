#include "gen_command_line.h"

#include "problem_file.h"

namespace rekendo::generator {

const std::string_view kUsage =
    "使い方: rekendo-gen TOPIC [--level 1|2|3] [--count N] [--seed S] [-o FILE] [--sheet PDF]\n"
    "        rekendo-gen --list\n"
    "        rekendo-gen --help | --version\n"
    "\n"
    "TOPIC の問題を N 問（既定 20、最大 1000）作り、問題ファイル（Shift-JIS、CR LF）を FILE に\n"
    "書き出します（-o がなければ標準出力）。同じ --seed からは同じファイルができます。\n"
    "--sheet PDF は同じ問題のプリント（解答付き）を rekendo-sheet で PDF にします（-o がなければ\n"
    "問題ファイルは書きません）。\n"
    "--list は単元の一覧（TOPIC に書く名前、日本語名、レベルごとの例）を表示します。\n";

std::variant<Options, UsageError> ParseCommandLine(std::span<const char* const> args) {
  Options options;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string_view arg = args[i];
    if (arg == "--help" || arg == "-h") {
      options.help = true;
      continue;
    }
    if (arg == "--version") {
      options.version = true;
      continue;
    }
    if (arg == "--list") {
      options.list = true;
      continue;
    }
    if (arg == "--level" || arg == "--count" || arg == "--seed" || arg == "-o" ||
        arg == "--sheet") {
      if (i + 1 == args.size()) return UsageError{std::string(arg) + " の後に値がありません"};
      const std::string_view value = args[++i];
      if (arg == "-o") {
        options.output = value;
      } else if (arg == "--sheet") {
        options.sheet = value;
      } else if (arg == "--seed") {
        options.seed = ParseNumber<std::uint64_t>(value);
        if (!options.seed) return UsageError{"--seed は 0 以上の整数です: " + std::string(value)};
      } else {
        const auto number = ParseNumber<int>(value);
        if (arg == "--level") {
          if (!number || *number < 1 || *number > 3) {
            return UsageError{"--level は 1、2、3 のどれかです: " + std::string(value)};
          }
          options.level = *number;
        } else {
          if (!number || *number < 1 || *number > kMaxCount) {
            return UsageError{"--count は 1 から " + std::to_string(kMaxCount) +
                              " までの整数です: " + std::string(value)};
          }
          options.count = number;
        }
      }
      continue;
    }
    if (arg.starts_with("-") && arg.size() > 1) return UsageError{"知らないオプションです: " + std::string(arg)};
    if (!options.topic.empty()) return UsageError{"単元は一つだけ指定してください: " + std::string(arg)};
    options.topic = arg;
  }
  if (!options.help && !options.version && !options.list && options.topic.empty()) {
    return UsageError{"単元（TOPIC）を指定してください（一覧は rekendo-gen --list）"};
  }
  return options;
}

}  // namespace rekendo::generator
