#include "check_command_line.h"

#include <string_view>

namespace rekendo::checker {
namespace {

constexpr int kUsageError = 2;

CheckError Usage(std::string message) { return {kUsageError, std::move(message)}; }

}  // namespace

std::variant<Options, CheckError> ParseCommandLine(std::span<const char* const> arguments) {
  Options options;
  bool options_done = false;
  for (std::size_t k = 0; k < arguments.size(); ++k) {
    const std::string_view argument = arguments[k];
    if (options_done || argument.empty() || argument[0] != '-' || argument == "-") {
      options.files.emplace_back(argument);
      continue;
    }
    // The value of --kind or -o: the next argument, or after "=" in --kind=trivia.
    const auto value = [&](std::string_view name) -> std::optional<std::string_view> {
      if (argument.starts_with(name) && argument.size() > name.size() &&
          argument[name.size()] == '=') {
        return argument.substr(name.size() + 1);
      }
      if (argument == name && k + 1 < arguments.size()) return arguments[++k];
      return std::nullopt;
    };
    if (argument == "--") {
      options_done = true;
    } else if (argument == "-h" || argument == "--help") {
      options.help = true;
    } else if (argument == "--version") {
      options.version = true;
    } else if (argument == "--fix") {
      options.fix = true;
    } else if (argument == "--in-place") {
      options.in_place = true;
    } else if (argument.starts_with("--kind")) {
      const auto name = value("--kind");
      if (!name) return Usage("--kind には problem、trivia、judgement のどれかを付けてください");
      options.kind = KindFromName(*name);
      if (!options.kind) return Usage("--kind の値「" + std::string(*name) + "」が分かりません");
    } else if (argument == "-o" || argument.starts_with("--output")) {
      const auto path = argument == "-o" ? value("-o") : value("--output");
      if (!path || path->empty()) return Usage("-o には書き出すファイル名を付けてください");
      options.output = *path;
    } else {
      return Usage("知らないオプションです: " + std::string(argument));
    }
  }
  if (options.help || options.version) return options;
  if (options.files.empty()) return Usage("調べるファイルを指定してください");
  const bool writes = !options.output.empty() || options.in_place;
  if (writes && !options.fix) return Usage("-o と --in-place は --fix と一緒に使います");
  if (options.fix && !writes) {
    return Usage("--fix には書き出し先 -o OUT か --in-place を指定してください");
  }
  if (!options.output.empty() && options.in_place) {
    return Usage("-o と --in-place は一緒に使えません");
  }
  if (!options.output.empty() && options.files.size() != 1) {
    return Usage("-o で書き出せるのは 1 ファイルだけです");
  }
  return options;
}

const char* const kHelpText =
    R"(使い方: rekendo-check [--kind problem|trivia|judgement] FILE...
       rekendo-check --fix -o OUT FILE
       rekendo-check --fix --in-place FILE...

問題ファイル（.mon, .txt）、雑学ファイル（.zat）、判定文ファイル（.han）を調べ、
ドリルが作者の意図と違う読み方をするところを「FILE:行: 内容」の形で 1 行ずつ示し、
ファイルごとに組数・選択式の数・指摘の数をまとめます。種類は拡張子で決まります。

調べること:
  - Shift-JIS（CP932）として読めないバイト
  - UTF-16 で保存されたファイル（BOM つき、または NUL バイトが 1 バイトおきに並ぶもの）
  - UTF-8 で保存されたファイル（BOM つき、または始めの部分が UTF-8 として正しく、
    Shift-JIS として読めないか、UTF-8 のかなを 2 文字以上含むもの）。どちらとしても
    読めるもの（「縺ｱ」など）は Shift-JIS として扱います
  - 改行が CR だけのファイル（ドリルはファイル全体を 1 行として読みます）
  - 行の途中の CR だけの改行（ドリルは読み飛ばし、前後を 1 行につなげます）
  - 入力する答えに、キーパッドで打てない文字があること。キーパッドの形があれば示し
    ます（1 → １、- ー − ‐ ― → －、x や X → ｘ）。* × ÷ や空白には代わりがありません
  - 空の答え（時間切れで何も入力していなくても正解になります）
  - 行数が奇数（最後の問題に答えの行がない）
  - ファイルの終わりの空の組（空行が余分にある）
  - 組が多すぎる（問題は 1000 組、雑学は 500 組まで）、問題が 1 組もない
  - 選択肢が 10 個より多い、空の選択肢
  - 判定文ファイルが 11 行でない
  - 組の始まりにある Ctrl-Z（0x1A）。ドリルはそこで読むのをやめるので、後ろに何か
    あれば指摘します（ファイル末尾の Ctrl-Z だけなら問題ありません）。行の中の
    Ctrl-Z はただの文字として表示されるので、これも指摘します

答えとして調べる行:
  問題ファイル  偶数行すべて。「$」で区切った一つ一つが正解として受け付けられます。
  雑学ファイル  「$」のない答えの行は入力する答えとして調べます。「$」のある行は
                選択肢（最初が正解）で、表示されるだけなので文字は調べず、数（2～10）
                と空の選択肢を調べます。正解の選択肢だけでなく、どの選択肢が空でも
                指摘します（番号だけの行が表示されるため）。
  判定文ファイル  答えはありません。

オプション:
  --kind KIND    拡張子にかかわらず種類を決めます（problem, trivia, judgement）
  --fix          直したものを書き出します。-o OUT か --in-place が必要です
  -o OUT         直したものを OUT に書き出します（元のファイルは変えません）
  --in-place     元のファイルをバックアップ（FILE.bak、あれば FILE.bak.1、.2 …）に
                 写してから、FILE を書き換えます。バックアップは上書きしません
  -h, --help     この説明を表示します
  --version      版（rekendo-check 0.3.0 など）を表示します

--fix が直すこと: UTF-8 と UTF-16 を Shift-JIS に変換（Shift-JIS にない文字は〓に
なり、指摘します）、CR だけの改行を行の終わりに、入力する答えの半角文字をキーパッドの全角文字に（1 → １、- や ー → －）、
ファイルの終わりの空の組と末尾の Ctrl-Z を削除、改行を CR LF に。大文字を小文字に
するなど意味が変わりうる直しはしません。直した後のファイルを調べ直し、残った指摘を
表示します。直したものは同じフォルダーの一時ファイルに書いてディスクに書き出して
から、元のファイルと置き換えます。途中で失敗したとき（ディスクがいっぱい、読めない、
読んでいる間にファイルが変わった など）は、元のファイルは変えずに終了コード 2 で
終わります。同じ種類の指摘は 1 ファイルにつき 20 件まで表示し、残りは件数で示します。

終了コード: 0 指摘なし、1 指摘あり、2 使い方の誤りまたは読み書きのエラー。
--fix のときは、直した後のファイルに残った指摘で決まります。
)";

}  // namespace rekendo::checker
