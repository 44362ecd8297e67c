#include "sheet_command_line.h"

#include <optional>

#include "gen_command_line.h"

namespace rekendo::worksheet {

using generator::ParseNumber;

const std::string_view kSheetUsage =
    "使い方: rekendo-sheet FILE.mon -o OUT.pdf [--count N] [--seed S] [--paper a4|b5|a4-landscape]\n"
    "                     [--all-answers] [--key separate|end|none] [--force]\n"
    "        rekendo-sheet --topic TOPIC [--level 1|2|3] [--count N] -o OUT.pdf [...]\n"
    "        rekendo-sheet --grid add|sub|mul [--level 1|2|3] -o OUT.pdf [--seed S] [--paper ...] [--force]\n"
    "\n"
    "問題ファイル（ドリルと同じ読み方で読みます）、rekendo-gen の単元（TOPIC、一覧は rekendo-gen --list）、\n"
    "または百ます計算のプリントを PDF にします。問題のページの後に解答のページが付きます。\n"
    "\n"
    "  -o OUT.pdf       書き出す PDF（必須）\n"
    "  --count N        問題数（1〜1000）。ファイルからは N 問を選び（ファイルの順のまま）、単元では N 問作ります\n"
    "                   （既定: ファイルはすべて、単元は 20 問）\n"
    "  --seed S         選び方・作り方・百ますの数の並びを決める数。同じ S からは同じプリントができます\n"
    "                   （既定: 時計から。使った数はプリントの左下に印刷されます）\n"
    "  --paper P        a4（既定、縦）、b5（JIS B5、縦）、a4-landscape（A4 横）\n"
    "  --all-answers    解答に、受け付ける答えをすべて「または」でつないで載せます（既定: 最初の答え）\n"
    "  --key K          解答の置き場所: separate（既定。別の PDF「OUT-解答.pdf」に。両面印刷でも\n"
    "                   プリントの裏に解答が来ません）、end（同じ PDF のプリントの後ろ）、none（解答なし）\n"
    "  --force          OUT.pdf がもうあるとき置き換えます（ないと置き換えません）\n"
    "  --level L        単元と百ます計算のレベル（既定 1）\n"
    "  --help, --version\n"
    "\n"
    "失敗したときは理由を標準エラーに出し、状態 2 で終わります（PDF は残りません）。\n";

namespace {

constexpr int kMaxSheetCount = 1000;

}  // namespace

std::variant<SheetOptions, SheetUsageError> ParseSheetCommandLine(
    std::span<const char* const> args) {
  SheetOptions options;
  SheetRequest& request = options.request;
  bool have_file = false;
  bool have_topic = false;
  bool have_grid = false;
  bool have_level = false;
  bool all_answers = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string_view arg = args[i];
    if (arg == "--help" || arg == "-h") {
      options.help = true;
    } else if (arg == "--version") {
      options.version = true;
    } else if (arg == "--all-answers") {
      all_answers = true;
      request.answers = AnswerStyle::kAll;
    } else if (arg == "--force") {
      options.force = true;
    } else if (arg == "-o" || arg == "--topic" || arg == "--grid" || arg == "--level" ||
               arg == "--count" || arg == "--seed" || arg == "--paper" || arg == "--key") {
      if (i + 1 == args.size()) return SheetUsageError{std::string(arg) + " の後に値がありません"};
      const std::string_view value = args[++i];
      const std::string quoted = ": " + std::string(value);
      if (arg == "-o") {
        if (value.empty()) return SheetUsageError{"-o の後のファイル名が空です"};
        options.output = value;
      } else if (arg == "--key") {
        if (value == "separate") {
          request.key = KeyPlacement::kSeparate;
        } else if (value == "end") {
          request.key = KeyPlacement::kEnd;
        } else if (value == "none") {
          request.key = KeyPlacement::kNone;
        } else {
          return SheetUsageError{"--key は separate、end、none のどれかです" + quoted};
        }
      } else if (arg == "--topic") {
        have_topic = true;
        request.topic = value;
      } else if (arg == "--grid") {
        have_grid = true;
        if (value == "add") {
          request.grid = GridOperation::kAdd;
        } else if (value == "sub") {
          request.grid = GridOperation::kSub;
        } else if (value == "mul") {
          request.grid = GridOperation::kMul;
        } else {
          return SheetUsageError{"--grid は add、sub、mul のどれかです" + quoted};
        }
      } else if (arg == "--level") {
        const auto level = ParseNumber<int>(value);
        if (!level || *level < 1 || *level > 3) {
          return SheetUsageError{"--level は 1、2、3 のどれかです" + quoted};
        }
        have_level = true;
        request.level = *level;
      } else if (arg == "--count") {
        const auto count = ParseNumber<int>(value);
        if (!count || *count < 1 || *count > kMaxSheetCount) {
          return SheetUsageError{"--count は 1 から " + std::to_string(kMaxSheetCount) +
                                 " までの整数です" + quoted};
        }
        request.count = count;
      } else if (arg == "--seed") {
        const auto seed = ParseNumber<std::uint64_t>(value);
        if (!seed) return SheetUsageError{"--seed は 0 以上の整数です" + quoted};
        options.seed_given = true;
        request.seed = *seed;
      } else {
        if (value == "a4") {
          request.paper = Paper::kA4;
        } else if (value == "b5") {
          request.paper = Paper::kB5;
        } else if (value == "a4-landscape") {
          request.paper = Paper::kA4Landscape;
        } else {
          return SheetUsageError{"--paper は a4、b5、a4-landscape のどれかです" + quoted};
        }
      }
    } else if (arg.starts_with("-") && arg.size() > 1) {
      return SheetUsageError{"知らないオプションです: " + std::string(arg)};
    } else {
      if (have_file) return SheetUsageError{"問題ファイルは一つだけ指定してください: " + std::string(arg)};
      have_file = true;
      request.problem_file = arg;
    }
  }
  if (options.help || options.version) return options;
  const int sources = int{have_file} + int{have_topic} + int{have_grid};
  if (sources != 1) {
    return SheetUsageError{sources == 0
                               ? "問題ファイル、--topic、--grid のどれかを指定してください"
                               : "問題ファイル、--topic、--grid は一つだけ指定してください"};
  }
  request.source = have_file ? Source::kProblemFile : have_topic ? Source::kGenerated : Source::kGrid;
  if (have_file && have_level) return SheetUsageError{"--level は --topic か --grid と使います"};
  if (have_grid && request.count) return SheetUsageError{"百ます計算に --count はありません"};
  if (have_grid && all_answers) return SheetUsageError{"百ます計算に --all-answers はありません"};
  if (options.output.empty()) return SheetUsageError{"書き出す PDF を -o で指定してください"};
  return options;
}

}  // namespace rekendo::worksheet
