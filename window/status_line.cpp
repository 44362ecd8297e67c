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

}  // namespace

QString StatusText(const LoadStatus& status, const QString& elided_name) {
  QString text = Situation(status, elided_name);
  if (status.unshown_names > 0) {
    text +=
        QStringLiteral("　名前が UTF-8 でないファイル %1 個は一覧に出ません（convmv で直せます）")
            .arg(status.unshown_names);
  }
  return text;
}

}  // namespace rekendo
