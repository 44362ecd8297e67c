// A failed file operation: the error code the learner's message box is chosen by, and the
// Shift-JIS message itself.
#pragma once

#include <exception>
#include <string>

namespace rekendo {

class IoError : public std::exception {
 public:
  IoError(int code, std::string message, int error_number = 0)
      : code_(code), error_number_(error_number), message_(std::move(message)) {}

  // Builds the error for one of the drill's own codes (2, 3, 4, 5, 100, 101, 106 have
  // messages of their own; any other number reads "I/O エラー (number)" and is kOther).
  static IoError FromCode(int code);
  // Builds the error for a failed system call from its errno.
  static IoError FromErrno(int error_number);

  // Always one of the codes below: an errno without a cause of its own is kOther, so that
  // EIO (5) never reads as "access denied" (5).
  int code() const noexcept { return code_; }
  // The errno behind the error, or 0 when it did not come from a system call.
  int error_number() const noexcept { return error_number_; }
  // Shift-JIS bytes.
  const std::string& message() const noexcept { return message_; }
  const char* what() const noexcept override { return message_.c_str(); }

 private:
  int code_;
  int error_number_;
  std::string message_;
};

// The message of the exception being handled, for a catch (...) block: an IoError's
// Shift-JIS text, another exception's what(), or a fixed text for anything else.
std::string MessageOfCurrentException();

namespace io_code {
inline constexpr int kFileNotFound = 2;
inline constexpr int kPathNotFound = 3;
inline constexpr int kTooManyOpenFiles = 4;
inline constexpr int kAccessDenied = 5;
inline constexpr int kReadPastEnd = 100;
inline constexpr int kDiskFull = 101;
inline constexpr int kNotANumber = 106;
inline constexpr int kOther = -1;  // any other failure; error_number() says which
}  // namespace io_code

}  // namespace rekendo
