#include "record_error.h"

namespace rekendo::record {

namespace {

QString MessageFor(RecordErrorCode code) {
  switch (code) {
    case RecordErrorCode::kFolder:
      return QStringLiteral("記録のフォルダーを作れません。成績は記録されません。");
    case RecordErrorCode::kOpen:
      return QStringLiteral("記録のファイルを開けません。成績は記録されません。");
    case RecordErrorCode::kWrite:
      return QStringLiteral(
          "記録を書き込めませんでした。ディスクがいっぱいか、書き込みが禁止されています。");
    case RecordErrorCode::kBusy:
      return QStringLiteral(
          "記録のファイルをほかのプログラムが使っていて、書き込めませんでした。");
    case RecordErrorCode::kCorrupt:
      return QStringLiteral("記録のファイルが壊れています。成績は記録されません。");
    case RecordErrorCode::kNewer:
      return QStringLiteral(
          "この記録は新しい版のプログラムで作られています。見ることはできますが、"
          "このプログラムでは書き込みません。");
    case RecordErrorCode::kRead:
      return QStringLiteral("記録を読めませんでした。");
  }
  return {};
}

}  // namespace

QString RecordError::Describe() const {
  QString text = message + QStringLiteral("\nファイル: ") + path;
  if (!detail.isEmpty()) text += QStringLiteral("\n詳細: ") + detail;
  return text;
}

RecordError MakeError(RecordErrorCode code, const QString& path, const QString& detail) {
  return {code, MessageFor(code), path, detail};
}

}  // namespace rekendo::record
