#include "record_error.h"

#include <sys/statvfs.h>
#include <unistd.h>

#include <QDir>
#include <QFile>

#include "sqlite_connection.h"

namespace rekendo::record {

namespace {

std::string StepSentence(RecordStep step) {
  switch (step) {
    case RecordStep::kFolder: return "記録のフォルダーを作れません。成績は記録されません。";
    case RecordStep::kOpen: return "記録のファイルを開けません。成績は記録されません。";
    case RecordStep::kWrite: return "記録を書き込めませんでした。";
    case RecordStep::kRead: return "記録を読めませんでした。";
  }
  return {};
}

// Why, and what the learner can do about it.
std::string CauseSentence(ErrorCode code) {
  switch (code) {
    case ErrorCode::kBusy:
      return "記録のファイルをほかのプログラムが使っていて、書き込めませんでした。";
    case ErrorCode::kCorrupt: return "記録のファイルが壊れています。";
    case ErrorCode::kNewer:
      return "この記録は新しい版のプログラムで作られています。見ることはできますが、"
             "このプログラムでは書き込みません。";
    case ErrorCode::kDiskFull:
      return "ディスクがいっぱいです。空きができれば、記録は自動で再開します。";
    case ErrorCode::kReadOnly: return "ディスクが読み取り専用です。";
    case ErrorCode::kAccessDenied:
      return "書き込みが許されていません。フォルダーの権限を確かめてください。";
    case ErrorCode::kNotFound: return "途中のフォルダーがないか、同じ名前のファイルがあります。";
    case ErrorCode::kOutOfMemory: return "メモリが足りません。";
    default: return {};
  }
}

}  // namespace

Error RecordFailure(RecordStep step, ErrorCode code, const QString& path, const QString& detail) {
  std::string message = StepSentence(step);
  if (step == RecordStep::kRead && code == ErrorCode::kBusy) {
    message += "記録のファイルをほかのプログラムが使っていました。もう一度開いてください。";
  } else if (const std::string cause = CauseSentence(code); !cause.empty()) {
    message += cause;
  }
  return {code, std::move(message), QDir::toNativeSeparators(path).toStdString(),
          detail.toStdString()};
}

Error ReadFailure(const QSqlError& error, const QString& path) {
  return RecordFailure(RecordStep::kRead, CauseOf(error), path, error.text());
}

ErrorCode CauseOf(const QSqlError& error) {
  switch (ClassifyFailure(error)) {
    case SqliteFailure::kBusy: return ErrorCode::kBusy;
    case SqliteFailure::kCorrupt: return ErrorCode::kCorrupt;
    case SqliteFailure::kReadOnly: return ErrorCode::kReadOnly;
    case SqliteFailure::kFull: return ErrorCode::kDiskFull;
    case SqliteFailure::kCantOpen: return ErrorCode::kAccessDenied;
    case SqliteFailure::kOther: break;
  }
  return ErrorCode::kIo;
}

ErrorCode CauseOnDisk(ErrorCode code, const QString& folder, const QString& path) {
  if (code != ErrorCode::kReadOnly && code != ErrorCode::kAccessDenied && code != ErrorCode::kIo) {
    return code;
  }
  struct statvfs disk {};
  if (::statvfs(QFile::encodeName(folder).constData(), &disk) != 0) return code;
  if (disk.f_flag & ST_RDONLY) return ErrorCode::kReadOnly;
  if (code != ErrorCode::kReadOnly && disk.f_bavail == 0) return ErrorCode::kDiskFull;
  const bool may_write =
      ::access(QFile::encodeName(folder).constData(), W_OK) == 0 &&
      (!QFile::exists(path) || ::access(QFile::encodeName(path).constData(), W_OK) == 0);
  if (code == ErrorCode::kReadOnly && !may_write) return ErrorCode::kAccessDenied;
  return code;
}

}  // namespace rekendo::record
