#include "text_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "io_error.h"

namespace rekendo {
namespace {

constexpr std::size_t kBufferSize = 256 * 1024;
constexpr std::size_t kMinBufferSize = 4 * 1024;

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

// The first CR or LF in [p, end), or end. One pass finds both the end of the line and the
// CRs to drop from it; two memchr calls per line cost more than the line's own bytes.
const char* FindCrOrLf(const char* p, const char* end) {
#if defined(__SSE2__)
  const __m128i lf = _mm_set1_epi8('\n');
  const __m128i cr = _mm_set1_epi8('\r');
  for (; end - p >= 16; p += 16) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const int hits =
        _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(bytes, lf), _mm_cmpeq_epi8(bytes, cr)));
    if (hits != 0) return p + __builtin_ctz(static_cast<unsigned>(hits));
  }
#endif
  for (; p != end; ++p) {
    if (*p == '\n' || *p == '\r') return p;
  }
  return end;
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
  // Small files get a small buffer: most data files are a few KiB.
  buffer_size_ = std::clamp<std::size_t>(static_cast<std::size_t>(info.st_size) + 1, kMinBufferSize,
                                         kBufferSize);
  buffer_ = std::make_unique_for_overwrite<char[]>(buffer_size_);
}

TextFile::~TextFile() {
  if (fd_ >= 0) ::close(fd_);
}

bool TextFile::Fill() {
  for (;;) {
    const ssize_t got = ::read(fd_, buffer_.get(), buffer_size_);
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
    const char* start = buffer_.get() + begin_;
    const char* stop = buffer_.get() + end_;
    const char* hit = FindCrOrLf(start, stop);
    line.append(start, static_cast<std::size_t>(hit - start));
    begin_ = static_cast<std::size_t>(hit - buffer_.get());
    if (hit == stop) continue;
    ++begin_;  // a CR or LF is never part of the line
    if (*hit == '\n') return;
    // CR LF, the usual end of a line, without a second search.
    if (begin_ < end_ && buffer_[begin_] == '\n') {
      ++begin_;
      return;
    }
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
