#include "status_line.h"

namespace rekendo {

namespace {

QString Situation(const LoadStatus& status, const QString& name) {
  using Kind = LoadStatus::Kind;
  switch (status.kind) {
    case Kind::NoFileYet:
      return QStringLiteral("問題選択 で問題ファイルを選んでください");
    case Kind::Loaded:
      if (status.problem_count == 0) {
        return QStringLiteral("「%1」には問題がありません。問題選択 で別のファイルを選んでください")
            .arg(name);
      }
      return QStringLiteral("問題ファイル「%1」（%2 問）").arg(name).arg(status.problem_count);
    case Kind::Cancelled:
      return QStringLiteral("選択を取り消しました。問題ファイルは読み込まれていません");
    case Kind::Failed:
      if (name.isEmpty()) {
        return QStringLiteral("問題ファイルを読めませんでした（%1）。問題選択 で選び直してください")
            .arg(status.failure);
      }
      return QStringLiteral("「%1」を読めませんでした（%2）。問題選択 で選び直してください")
          .arg(name, status.failure);
  }
  return {};
}

// A file that loads but is not what the drill expects: it plays as it is, and the line says
// what the learner or teacher can do about it.
QString Warnings(const LoadStatus& status) {
  if (status.kind != LoadStatus::Kind::Loaded) return {};
  QString text;
  if (status.read_as_utf8) {
    text += QStringLiteral("　※UTF-8 のファイルとして読みました");
  } else switch (status.look) {
    case text::TextLook::kBinary:
      text += QStringLiteral("　※問題ファイルではないようです（文字でないデータが入っています）");
      break;
    case text::TextLook::kUtf8:
      text += QStringLiteral(
          "　※UTF-8 で保存されているようです。Shift-JIS で保存し直してください"
          "（rekendo-check --fix で直せます）");
      break;
    case text::TextLook::kUtf16:
      text += QStringLiteral(
          "　※UTF-16 で保存されているようです。Shift-JIS で保存し直してください"
          "（rekendo-check --fix で直せます）");
      break;
    case text::TextLook::kShiftJis: break;
  }
  if (status.pairs_left_out > 0) {
    text += QStringLiteral("　※問題は %1 問までです。あとの %2 組%3は読み込んでいません")
                .arg(status.problem_count)
                .arg(status.pairs_left_out)
                .arg(status.all_left_out_counted ? QString() : QStringLiteral("以上"));
  }
  return text;
}

}  // namespace

QString StatusText(const LoadStatus& status, const QString& elided_name) {
  QString text = Situation(status, elided_name) + Warnings(status);
  if (status.unshown_names > 0) {
    text +=
        QStringLiteral("　名前が UTF-8 でないファイル %1 個は一覧に出ません（convmv で直せます）")
            .arg(status.unshown_names);
  }
  return text;
}

}  // namespace rekendo
