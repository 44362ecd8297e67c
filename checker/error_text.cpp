#include "error_text.h"

#include <cstring>

#include "cp932.h"

namespace rekendo::checker {

std::string Reason(const IoError& error) {
  std::string reason = text::Cp932ToUtf8(error.message());
  if (error.code() == io_code::kOther && error.error_number() != 0) {
    reason += std::string("（") + std::strerror(error.error_number()) + "）";
  }
  return reason;
}

CheckError ReadFailed(const IoError& error) { return {kReadWriteError, Reason(error)}; }

CheckError WriteFailed(const std::string& what, const files::FileError& error, bool untouched) {
  return {kReadWriteError, what + "（" + Reason(IoError::FromErrno(error.error_number)) + "）" +
                               (untouched ? "。元のファイルはそのままです" : "")};
}

}  // namespace rekendo::checker
