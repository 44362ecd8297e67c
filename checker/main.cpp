// rekendo-check: tells authors of problem, trivia and judgement files what the drill would
// read differently from what they meant, and optionally writes a corrected copy.
#include <algorithm>
#include <filesystem>
#include <iostream>
#include <string>

#include "analysis.h"
#include "command_line.h"
#include "fixer.h"

namespace {

using namespace rekendo::checker;

constexpr int kClean = 0;
constexpr int kFound = 1;
constexpr int kFailed = 2;

int Fail(const std::string& path, const std::string& message) {
  std::cerr << "rekendo-check: " << path << ": " << message << '\n';
  return kFailed;
}

void PrintFindings(const std::string& path, const Findings& findings) {
  for (const Finding& finding : findings) {
    std::cout << path << ':' << finding.line << ": " << finding.message << '\n';
  }
}

int Report(const std::string& path, FileKind kind) {
  const auto checked = CheckFile(path, kind);
  if (const auto* error = std::get_if<CheckError>(&checked)) return Fail(path, error->message);
  const auto& report = std::get<rekendo::checker::Report>(checked);
  PrintFindings(path, report.findings);
  std::cout << path << ": " << Summary(report) << '\n';
  return report.findings.empty() ? kClean : kFound;
}

bool SameFile(const std::string& a, const std::string& b) {
  std::error_code ignored;
  return a == b || std::filesystem::equivalent(a, b, ignored);
}

std::string FixNote(const FixResult& result) {
  std::string note;
  const auto add = [&note](const std::string& part) { note += (note.empty() ? "" : "、") + part; };
  if (result.converted) add("UTF-8 から Shift-JIS に変換");
  if (result.widened > 0) {
    add("答えの文字 " + std::to_string(result.widened) + " か所をキーパッドの文字に");
  }
  if (result.dropped_blank_pairs > 0) {
    add("終わりの空の組 " + std::to_string(result.dropped_blank_pairs) + " 組を削除");
  }
  add("改行は CR LF");
  return note;
}

int FixOne(const std::string& path, const Options& options, FileKind kind) {
  const std::string& out = options.in_place ? path : options.output;
  if (!options.in_place && SameFile(path, out)) {
    return Fail(path,
                "-o に元のファイルは指定できません（書き換えるなら --in-place を使ってください）");
  }
  const auto fixed = FixFile(path, out, kind, options.in_place);
  if (const auto* error = std::get_if<CheckError>(&fixed)) return Fail(path, error->message);
  const auto& result = std::get<FixResult>(fixed);
  if (options.in_place) {
    std::cout << path << ": 直しました（" << FixNote(result) << "）。元のファイルは " << path
              << ".bak にあります\n";
  } else {
    std::cout << path << ": 直したものを " << out << " に書き出しました（" << FixNote(result)
              << "）\n";
  }
  PrintFindings(path, result.unfixable);
  const int remaining = Report(out, kind);
  return result.unfixable.empty() ? remaining : std::max(remaining, kFound);
}

int CheckOne(const std::string& path, const Options& options) {
  const auto kind = options.kind ? options.kind : KindFromPath(path);
  if (!kind) {
    return Fail(
        path, "ファイルの種類が分かりません（--kind problem|trivia|judgement で指定してください）");
  }
  return options.fix ? FixOne(path, options, *kind) : Report(path, *kind);
}

}  // namespace

int main(int argc, char** argv) {
  const auto parsed = ParseCommandLine({argv + 1, static_cast<std::size_t>(argc - 1)});
  if (const auto* error = std::get_if<CheckError>(&parsed)) {
    std::cerr << "rekendo-check: " << error->message << "\n詳しくは rekendo-check --help\n";
    return error->code;
  }
  const auto& options = std::get<Options>(parsed);
  if (options.help) {
    std::cout << kHelpText;
    return kClean;
  }
  int status = kClean;
  for (const std::string& path : options.files) status = std::max(status, CheckOne(path, options));
  return status;
}
