#include "text_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "io_error.h"

namespace rekendo {
namespace {

constexpr std::size_t kBufferSize = 256 * 1024;

// open() says ENOENT both for a missing file and for a missing folder on the way to it;
// the learner is told which.
int ClassifyMissing(const std::string& path) {
  const auto slash = path.find_last_of('/');
  if (slash == std::string::npos || slash == 0) return io_code::kFileNotFound;
  struct stat folder {};
  if (::stat(path.substr(0, slash).c_str(), &folder) != 0 || !S_ISDIR(folder.st_mode)) {
    return io_code::kPathNotFound;
  }
  return io_code::kFileNotFound;
}

// Appends bytes with every CR removed: a CR before LF belongs to the terminator and a lone
// CR is dropped from the text.
void AppendWithoutCr(std::string& line, const char* data, std::size_t size) {
  const char* cr = static_cast<const char*>(std::memchr(data, '\r', size));
  if (cr == nullptr) {
    line.append(data, size);
    return;
  }
  const auto old_size = line.size();
  line.append(data, size);
  const auto tail = line.begin() + static_cast<std::ptrdiff_t>(old_size + (cr - data));
  line.erase(std::remove(tail, line.end(), '\r'), line.end());
}

}  // namespace

TextFile::TextFile(const std::string& path) {
  if (path.empty()) throw IoError::FromCode(io_code::kPathNotFound);
  // O_NONBLOCK keeps a FIFO from waiting for a writer; it is refused below anyway.
  fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (fd_ < 0) {
    const int error = errno;
    if (error == ENOENT) throw IoError::FromCode(ClassifyMissing(path));
    throw IoError::FromErrno(error);
  }
  struct stat info {};
  if (::fstat(fd_, &info) != 0) {
    const int error = errno;
    ::close(fd_);
    fd_ = -1;
    throw IoError::FromErrno(error);
  }
  if (!S_ISREG(info.st_mode)) {
    ::close(fd_);
    fd_ = -1;
    throw IoError::FromCode(io_code::kAccessDenied);
  }
  const int flags = ::fcntl(fd_, F_GETFL);
  if (flags >= 0) ::fcntl(fd_, F_SETFL, flags & ~O_NONBLOCK);
  buffer_.resize(kBufferSize);
}

TextFile::~TextFile() {
  if (fd_ >= 0) ::close(fd_);
}

bool TextFile::Fill() {
  for (;;) {
    const ssize_t got = ::read(fd_, buffer_.data(), buffer_.size());
    if (got > 0) {
      begin_ = 0;
      end_ = static_cast<std::size_t>(got);
      return true;
    }
    if (got == 0) return false;
    if (errno != EINTR) throw IoError::FromErrno(errno);
  }
}

bool TextFile::AtEnd() {
  if (begin_ == end_ && !Fill()) return true;
  return buffer_[begin_] == kCtrlZ;
}

void TextFile::ReadLine(std::string& line) {
  line.clear();
  for (;;) {
    if (begin_ == end_ && !Fill()) return;
    const char* start = buffer_.data() + begin_;
    const std::size_t available = end_ - begin_;
    const char* lf = static_cast<const char*>(std::memchr(start, '\n', available));
    if (lf != nullptr) {
      const auto length = static_cast<std::size_t>(lf - start);
      AppendWithoutCr(line, start, length);
      begin_ += length + 1;
      return;
    }
    AppendWithoutCr(line, start, available);
    begin_ = end_;
  }
}

std::string TextFile::ReadLine() {
  std::string line;
  ReadLine(line);
  return line;
}

void TextFile::Close() {
  if (fd_ < 0) return;
  const int fd = fd_;
  fd_ = -1;
  if (::close(fd) != 0 && errno != EINTR) throw IoError::FromErrno(errno);
}

}  // namespace rekendo
