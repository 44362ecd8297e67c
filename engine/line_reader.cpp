#include "line_reader.h"

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

int OpenForReading(const std::string& path) {
  if (path.empty()) throw IoError::FromCode(io_code::kPathNotFound);
  // O_NONBLOCK keeps a FIFO from waiting for a writer; it is refused below anyway.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (fd < 0) {
    const int error = errno;
    if (error == ENOENT) throw IoError::FromCode(ClassifyMissing(path));
    throw IoError::FromErrno(error);
  }
  struct stat info {};
  if (::fstat(fd, &info) != 0) {
    const int error = errno;
    ::close(fd);
    throw IoError::FromErrno(error);
  }
  if (!S_ISREG(info.st_mode)) {
    ::close(fd);
    throw IoError::FromCode(io_code::kAccessDenied);
  }
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
  return fd;
}

LineReader::LineReader(const std::string& path)
    : LineReader(Descriptor{OpenForReading(path), true}) {}

LineReader::LineReader(Descriptor source) : fd_(source.fd), owns_fd_(source.owned) {
  // Small files get a small buffer: most data files are a few KiB.
  struct stat info {};
  const bool sized = ::fstat(fd_, &info) == 0 && S_ISREG(info.st_mode);
  buffer_size_ = sized ? std::clamp<std::size_t>(static_cast<std::size_t>(info.st_size) + 1,
                                                 kMinBufferSize, kBufferSize)
                       : kBufferSize;
  try {
    buffer_ = std::make_unique_for_overwrite<char[]>(buffer_size_);
  } catch (...) {
    if (owns_fd_) ::close(fd_);  // no destructor runs for a constructor that throws
    throw;
  }
  data_ = buffer_.get();
}

// The bytes are the whole buffer from the start; Fill() finds nothing more.
LineReader::LineReader(std::string_view bytes) : data_(bytes.data()), end_(bytes.size()) {}

LineReader::~LineReader() {
  if (owns_fd_ && fd_ >= 0) ::close(fd_);
}

bool LineReader::Fill() {
  if (fd_ < 0) return false;
  for (;;) {
    const ssize_t got = ::read(fd_, buffer_.get(), buffer_size_);
    if (got > 0) {
      begin_ = 0;
      end_ = static_cast<std::size_t>(got);
      Watch({buffer_.get(), end_});
      return true;
    }
    if (got == 0) return false;
    if (errno != EINTR) throw IoError::FromErrno(errno);
  }
}

void LineReader::KeepDigest() {
  digesting_ = true;
  if (fd_ < 0) digest_.Add({data_, end_});
}

void LineReader::KeepHead() {
  keeping_head_ = true;
  if (fd_ < 0) head_.assign(data_, std::min(end_, kContentHeadSize));
}

void LineReader::Watch(std::string_view bytes) {
  if (digesting_) digest_.Add(bytes);
  if (keeping_head_ && head_.size() < kContentHeadSize) {
    head_.append(bytes.substr(0, kContentHeadSize - head_.size()));
  }
}

LineReader::LinesLeft LineReader::CountLinesLeft(std::uint64_t max_bytes) {
  LinesLeft left;
  std::uint64_t read = 0;
  bool in_line = false;  // bytes seen since the last LF: a last line without one counts too
  for (;;) {
    if (begin_ == end_) {
      if (read >= max_bytes) {
        left.all_counted = false;
        break;
      }
      if (!Fill()) break;
      read += end_;
    }
    const char* start = data_ + begin_;
    const char* hit = static_cast<const char*>(std::memchr(start, '\n', end_ - begin_));
    if (hit == nullptr) {
      in_line = true;
      begin_ = end_;
      continue;
    }
    ++left.lines;
    in_line = false;
    begin_ = static_cast<std::size_t>(hit - data_) + 1;
  }
  if (in_line) ++left.lines;
  return left;
}

std::string LineReader::ContentDigest() const {
  return digesting_ ? digest_.HexDigest() : std::string();
}

bool LineReader::AtEnd() {
  if (begin_ == end_ && !Fill()) return true;
  return data_[begin_] == kCtrlZ;
}

LineEnd LineReader::Read(std::string& line, bool keep_crs) {
  line.clear();
  for (;;) {
    if (begin_ == end_ && !Fill()) return LineEnd::kEndOfFile;
    const char* start = data_ + begin_;
    const char* stop = data_ + end_;
    const char* hit = FindCrOrLf(start, stop);
    line.append(start, static_cast<std::size_t>(hit - start));
    begin_ = static_cast<std::size_t>(hit - data_);
    if (hit == stop) continue;
    ++begin_;  // a CR or LF is never part of the line
    if (*hit == '\n') return LineEnd::kLf;
    // CR LF, the usual end of a line, without a second search.
    if (begin_ < end_ && data_[begin_] == '\n') {
      ++begin_;
      return LineEnd::kCrLf;
    }
    if (keep_crs) line += '\r';
  }
}

void LineReader::ReadLine(std::string& line) { Read(line, false); }

std::string LineReader::ReadLine() {
  std::string line;
  Read(line, false);
  return line;
}

LineEnd LineReader::ReadRawLine(std::string& line) { return Read(line, true); }

void LineReader::Close() {
  if (!owns_fd_ || fd_ < 0) return;
  const int fd = fd_;
  fd_ = -1;
  if (::close(fd) != 0 && errno != EINTR) throw IoError::FromErrno(errno);
}

}  // namespace rekendo
