#include "io_error.h"

#include <cerrno>

#include "sjis_texts.h"

namespace rekendo {

namespace {

std::string NumberedMessage(int number) {
  std::string message(sjis::kIoErrorPrefix);
  message += std::to_string(number);
  message += ')';
  return message;
}

}  // namespace

IoError IoError::FromCode(int code) {
  std::string_view text;
  switch (code) {
    case io_code::kFileNotFound:
      text = sjis::kFileNotFound;
      break;
    case io_code::kPathNotFound:
      text = sjis::kBadFileName;
      break;
    case io_code::kTooManyOpenFiles:
      text = sjis::kTooManyOpenFiles;
      break;
    case io_code::kAccessDenied:
      text = sjis::kAccessDenied;
      break;
    case io_code::kReadPastEnd:
      text = sjis::kReadPastEnd;
      break;
    case io_code::kDiskFull:
      text = sjis::kDiskFull;
      break;
    case io_code::kNotANumber:
      text = sjis::kNotANumber;
      break;
    default:
      return IoError(io_code::kOther, NumberedMessage(code));
  }
  return IoError(code, std::string(text));
}

IoError IoError::FromErrno(int error_number) {
  int code = io_code::kOther;
  switch (error_number) {
    case ENOENT:
      code = io_code::kFileNotFound;
      break;
    case ENOTDIR:
    case ENAMETOOLONG:
      code = io_code::kPathNotFound;
      break;
    case EMFILE:
    case ENFILE:
      code = io_code::kTooManyOpenFiles;
      break;
    case EACCES:
    case EPERM:
    case EISDIR:
      code = io_code::kAccessDenied;
      break;
    case ENOSPC:
    case EDQUOT:
      code = io_code::kDiskFull;
      break;
    default:
      // Any other cause keeps its own number in the text, whatever the drill's codes mean.
      return IoError(io_code::kOther, NumberedMessage(error_number), error_number);
  }
  IoError error = FromCode(code);
  error.error_number_ = error_number;
  return error;
}

std::string MessageOfCurrentException() {
  try {
    throw;
  } catch (const IoError& error) {
    return error.message();
  } catch (const std::exception& error) {
    return error.what();
  } catch (...) {
    return "unknown failure";
  }
}

}  // namespace rekendo
