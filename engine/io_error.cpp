#include "io_error.h"

#include <cerrno>

#include "sjis_texts.h"

namespace rekendo {

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
    default: {
      std::string message(sjis::kIoErrorPrefix);
      message += std::to_string(code);
      message += ')';
      return IoError(code, std::move(message));
    }
  }
  return IoError(code, std::string(text));
}

IoError IoError::FromErrno(int error_number) {
  switch (error_number) {
    case ENOENT:
      return FromCode(io_code::kFileNotFound);
    case ENOTDIR:
    case ENAMETOOLONG:
      return FromCode(io_code::kPathNotFound);
    case EMFILE:
    case ENFILE:
      return FromCode(io_code::kTooManyOpenFiles);
    case EACCES:
    case EPERM:
    case EISDIR:
      return FromCode(io_code::kAccessDenied);
    case ENOSPC:
      return FromCode(io_code::kDiskFull);
    default: {
      // Any other cause keeps its own number in the text, whatever the drill's codes mean.
      std::string message(sjis::kIoErrorPrefix);
      message += std::to_string(error_number);
      message += ')';
      return IoError(error_number, std::move(message));
    }
  }
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
