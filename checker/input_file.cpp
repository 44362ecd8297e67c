#include "input_file.h"

#include <unistd.h>

#include <cerrno>

#include "io_error.h"
#include "line_reader.h"

namespace rekendo::checker {
namespace {

bool SameContentStamp(const struct stat& a, const struct stat& b) {
  return a.st_size == b.st_size && a.st_mtim.tv_sec == b.st_mtim.tv_sec &&
         a.st_mtim.tv_nsec == b.st_mtim.tv_nsec;
}

}  // namespace

InputFile::InputFile(const std::string& path) : fd_(OpenForReading(path)) {
  if (::fstat(fd_, &opened_) != 0) {
    const int error = errno;
    ::close(fd_);
    throw IoError::FromErrno(error);
  }
}

InputFile::~InputFile() { ::close(fd_); }

bool InputFile::IsFile(const struct stat& info) const {
  return info.st_dev == opened_.st_dev && info.st_ino == opened_.st_ino;
}

bool InputFile::ChangedSinceOpened() const {
  struct stat now {};
  return ::fstat(fd_, &now) != 0 || !SameContentStamp(now, opened_);
}

bool InputFile::ChangedAt(const std::string& path) const {
  struct stat now {};
  return ::stat(path.c_str(), &now) != 0 || !IsFile(now) || !SameContentStamp(now, opened_);
}

}  // namespace rekendo::checker
