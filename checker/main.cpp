// rekendo-check: tells authors of problem, trivia and judgement files what the drill would
// read differently from what they meant, and optionally writes a corrected copy.
#include <sys/stat.h>

#include <algorithm>
#include <iostream>
#include <new>
#include <set>
#include <string>
#include <utility>

#include "analysis.h"
#include "check_command_line.h"
#include "cp932.h"
#include "fixer.h"
#include "keypad_forms.h"

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

std::string FixNote(const FixResult& result) {
  std::string note;
  const auto add = [&note](const std::string& part) { note += (note.empty() ? "" : "、") + part; };
  if (result.converted) {
    add(std::string(result.converted_from == Encoding::kUtf16 ? "UTF-16" : "UTF-8") +
        " から Shift-JIS に変換");
  }
  if (result.split_at_cr) add("CR だけの改行を行の終わりに");
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
  const auto fixed = FixFile(path, options.output, kind, options.in_place);
  if (const auto* error = std::get_if<CheckError>(&fixed)) return Fail(path, error->message);
  const auto& result = std::get<FixResult>(fixed);
  if (result.through_link) {
    std::cout << path << ": シンボリックリンクです。リンク先の " << result.written_to
              << " に書きます\n";
  }
  if (options.in_place && result.nothing_to_fix) {
    std::cout << path << ": 直すところはありません（書き換えていません）\n";
  } else if (options.in_place) {
    std::cout << path << ": 直しました（" << FixNote(result) << "）。元のファイルは "
              << result.backup << " にあります\n";
  } else {
    std::cout << path << ": 直したものを " << result.written_to << " に書き出しました（"
              << FixNote(result) << "）\n";
  }
  PrintFindings(path, result.unfixable);
  const int remaining = Report(result.written_to, kind);
  return result.unfixable.empty() ? remaining : std::max(remaining, kFound);
}

// The files fixed so far, by device and inode: a file named twice is fixed once.
using FileIds = std::set<std::pair<dev_t, ino_t>>;

bool FixedBefore(const std::string& path, FileIds& fixed) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return false;  // its own error comes when it is read
  return !fixed.insert({info.st_dev, info.st_ino}).second;
}

int CheckOne(const std::string& path, const Options& options, FileIds& fixed) {
  const auto kind = options.kind ? options.kind : KindFromPath(path);
  if (!kind) {
    return Fail(
        path, "ファイルの種類が分かりません（--kind problem|trivia|judgement で指定してください）");
  }
  if (!options.fix) return Report(path, *kind);
  if (FixedBefore(path, fixed)) {
    std::cout << path << ": 同じファイルがすでに指定されています。直すのは 1 度だけです\n";
    return kClean;
  }
  const int status = FixOne(path, options, *kind);
  FixedBefore(path, fixed);  // the corrected file is a new one under the same name
  return status;
}

// Whatever escapes a file's check ends that file with a message, never the program.
int CheckOneSafely(const std::string& path, const Options& options, FileIds& fixed) {
  try {
    return CheckOne(path, options, fixed);
  } catch (const std::bad_alloc&) {
    return Fail(path, "メモリーが足りません（行が長すぎるか、ファイルが大きすぎます）。"
                      "元のファイルはそのままです");
  } catch (const std::exception& error) {
    return Fail(path, std::string("予期しないエラーです（") + error.what() + "）");
  } catch (...) {
    return Fail(path, "予期しないエラーです");
  }
}

// The conversions and the keypad's forms load their tables on first use, which takes a free
// file descriptor: loaded before any data file is open, a low limit on open files fails
// only where the files themselves are opened, with a message that says so.
void LoadTables() {
  rekendo::text::Cp932ToUtf8("\x82\xA0");
  rekendo::text::Utf8ToCp932("\xE3\x81\x82");
  rekendo::text::IsValidCp932("\x82\xA0");
  KeypadFormFor("1");
}

int Run(int argc, char** argv) {
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
  if (options.version) {
    std::cout << "rekendo-check " REKENDO_VERSION "\n";
    return kClean;
  }
  try {
    LoadTables();
  } catch (const std::exception& error) {
    std::cerr << "rekendo-check: 文字コードの変換表を読み込めません（" << error.what() << "）\n";
    return kFailed;
  }
  int status = kClean;
  FileIds fixed;
  for (const std::string& path : options.files) {
    status = std::max(status, CheckOneSafely(path, options, fixed));
  }
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    return Run(argc, argv);
  } catch (...) {
    std::cerr << "rekendo-check: 予期しないエラーです\n";
    return kFailed;
  }
}
