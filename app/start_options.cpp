#include "start_options.h"

#include <cstdio>
#include <string_view>

namespace rekendo {
namespace {

constexpr const char* kHelpText =
    R"(使い方: rekendo [--fill-screen] [--problem-file FILE]
        rekendo --forget-teacher-pin | --help | --version

計算力ドリル。問題選択 で問題ファイル（*.mon）を選び、Let's Charenge! で 10 問に
40 秒ずつの制限時間で答えます。答えは画面のキーパッドで入力します。

判定文（計算力判定文.han）と雑学（計算力雑学.zat）は起動したフォルダーから読みます。
メニューから起動すると、付属の問題のフォルダー（/usr/share/rekendo など）で始まります。
学習の記録と 問題を作る で作った問題は ~/.local/share/rekendo に残ります。
ウィンドウを開くディスプレイ（DISPLAY か WAYLAND_DISPLAY）が必要です。

オプション:
  -h, --help     この説明を表示します
  --version      版（rekendo 0.3.0 など）を表示します
  --fill-screen  画面いっぱいに広げて始めます（設定の 拡大 と同じ）
  --problem-file FILE
                 FILE を読み込んで始めます（問題選択 で選んだのと同じ）
  --forget-teacher-pin
                 忘れた先生の暗証番号を消します（このコンピューターの管理者が、
                 記録のあるアカウントで実行します）。ディスプレイは要りません
)";

}  // namespace

std::optional<int> AnswerStartOptions(int argc, const char* const* argv) {
  for (int k = 1; k < argc; ++k) {
    const std::string_view argument = argv[k];
    if (argument == "--") break;
    if (argument == "-h" || argument == "--help") {
      std::fputs(kHelpText, stdout);
      return 0;
    }
    if (argument == "--version") {
      std::fputs("rekendo " REKENDO_VERSION "\n", stdout);
      return 0;
    }
  }
  return std::nullopt;
}

}  // namespace rekendo
