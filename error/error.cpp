#include "error.h"

#include <cerrno>
#include <cstring>

namespace rekendo {

std::string Error::Describe() const {
  std::string text = message;
  if (!subject.empty()) text += "\nファイル: " + subject;
  if (!detail.empty()) text += "\n詳細: " + detail;
  return text;
}

std::string ReasonForErrno(int error_number) {
  switch (error_number) {
    case ENOSPC:
    case EDQUOT:
      return "ディスクがいっぱいです。空きを作ってください。";
    case EROFS:
      return "ディスクが読み取り専用です。";
    case EACCES:
    case EPERM:
      return "書き込みが許されていません。フォルダーの権限を確かめてください。";
    case ENOENT:
    case ENOTDIR:
      return "ファイルかフォルダーが見つかりません。";
    case ENOMEM:
      return "メモリが足りません。";
    case EMFILE:
    case ENFILE:
      return "開いているファイルが多すぎます。";
    default:
      return "読み書きに失敗しました。";
  }
}

Error ErrorFromErrno(int error_number, std::string message, std::string subject) {
  ErrorCode code = ErrorCode::kIo;
  switch (error_number) {
    case ENOSPC:
    case EDQUOT: code = ErrorCode::kDiskFull; break;
    case EROFS: code = ErrorCode::kReadOnly; break;
    case EACCES:
    case EPERM: code = ErrorCode::kAccessDenied; break;
    case ENOENT:
    case ENOTDIR: code = ErrorCode::kNotFound; break;
    case ENOMEM: code = ErrorCode::kOutOfMemory; break;
    default: break;
  }
  if (!message.empty()) message += "\n";
  message += ReasonForErrno(error_number);
  return {code, std::move(message), std::move(subject), std::strerror(error_number)};
}

}  // namespace rekendo
