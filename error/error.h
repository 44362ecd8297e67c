// The one error value for everything outside the drill's own IoError (the record, the
// practice set, exports, dialogs, the class database, the command-line tools): a code to
// decide by, a message in UTF-8 for people, and what it concerns. Failures are returned as
// values and shown at the event boundary; nothing throws them.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <variant>

namespace rekendo {

enum class ErrorCode {
  kNotFound,        // a file, folder, learner or row that is not there
  kAccessDenied,    // the system or the database refused
  kDiskFull,        // no space left
  kReadOnly,        // the disk or file may not be written
  kBusy,            // another program held it past the wait
  kCorrupt,         // damaged data
  kNewer,           // written by a newer version of the program
  kIo,              // any other read or write failure
  kNetwork,         // the server could not be reached or the connection broke
  kAuthentication,  // the server refused who we said we were
  kServer,          // the server took the request and failed it
  kInvalidInput,    // what was asked for does not make sense
  kOutOfMemory,
  kOther,
};

struct Error {
  ErrorCode code = ErrorCode::kOther;
  std::string message;  // UTF-8, for people: what happened and what to do
  std::string subject;  // the file, folder or object it concerns; may be empty
  std::string detail;   // the underlying library's own words, for the curious

  // The message, then the subject and the detail on lines of their own.
  std::string Describe() const;
};

// A value or the error that kept it from being made. Result<void> is success or an error.
template <typename T>
class [[nodiscard]] Result {
 public:
  Result(T value) : state_(std::in_place_index<0>, std::move(value)) {}
  Result(Error error) : state_(std::in_place_index<1>, std::move(error)) {}

  bool ok() const { return state_.index() == 0; }
  explicit operator bool() const { return ok(); }
  const T& value() const& { return std::get<0>(state_); }
  T& value() & { return std::get<0>(state_); }
  T&& value() && { return std::get<0>(std::move(state_)); }
  const T& operator*() const& { return value(); }
  T& operator*() & { return value(); }
  const T* operator->() const { return &value(); }
  T* operator->() { return &value(); }
  const Error& error() const { return std::get<1>(state_); }

 private:
  std::variant<T, Error> state_;
};

template <>
class [[nodiscard]] Result<void> {
 public:
  Result() = default;
  Result(Error error) : error_(std::move(error)) {}

  bool ok() const { return !error_.has_value(); }
  explicit operator bool() const { return ok(); }
  const Error& error() const { return *error_; }

 private:
  std::optional<Error> error_;
};

using Status = Result<void>;

// The error for a failed system call: kDiskFull, kReadOnly, kAccessDenied, kNotFound,
// kOutOfMemory or kIo by the errno, with `message`, the subject and strerror as detail.
Error ErrorFromErrno(int error_number, std::string message, std::string subject = {});

// The reason for an errno in Japanese (ディスクがいっぱいです。 …), for messages that say why.
std::string ReasonForErrno(int error_number);

}  // namespace rekendo
