#include "file_writer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <utility>
#include <vector>

namespace rekendo::files {
namespace {

constexpr std::size_t kBufferSize = 64 * 1024;

FileError Failed(std::string step, const std::string& path, int error_number = errno) {
  return {std::move(step), path, error_number};
}

// Writes everything, going on after short writes and interruptions.
std::optional<FileError> WriteAll(int fd, std::string_view bytes, const std::string& path) {
  while (!bytes.empty()) {
    const ssize_t done = ::write(fd, bytes.data(), bytes.size());
    if (done < 0) {
      if (errno == EINTR) continue;
      return Failed("write", path);
    }
    bytes.remove_prefix(static_cast<std::size_t>(done));
  }
  return std::nullopt;
}

std::string FileNameOf(const std::string& path) { return path.substr(path.rfind('/') + 1); }

}  // namespace

std::variant<FileWriter, FileError> FileWriter::ToReplace(const std::string& path,
                                                          unsigned new_file_mode,
                                                          WriteFault fault) {
  struct stat existing {};
  const bool exists = ::lstat(path.c_str(), &existing) == 0 && S_ISREG(existing.st_mode);

  const std::string pattern = FolderOf(path) + "/." + FileNameOf(path) + ".XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  const int fd = ::mkostemp(name.data(), O_CLOEXEC);
  if (fd < 0) return Failed("create", pattern);
  FileWriter writer(fd, name.data(), path, fault);

  const mode_t mode = exists ? (existing.st_mode & 07777) : static_cast<mode_t>(new_file_mode);
  if (::fchmod(fd, mode) != 0) return Failed("chmod", writer.path_);
  // Only root may give a file away; anyone else keeps their own ownership silently.
  if (exists && (existing.st_uid != ::geteuid() || existing.st_gid != ::getegid())) {
    if (::fchown(fd, existing.st_uid, existing.st_gid) != 0 && errno != EPERM) {
      return Failed("chown", writer.path_);
    }
  }
  return writer;
}

std::variant<FileWriter, FileError> FileWriter::CreateNew(const std::string& path, unsigned mode,
                                                          WriteFault fault) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                        static_cast<mode_t>(mode));
  if (fd < 0) return Failed("create", path);
  return FileWriter(fd, path, {}, fault);
}

FileWriter::FileWriter(int fd, std::string path, std::string target, WriteFault fault)
    : fd_(fd), path_(std::move(path)), target_(std::move(target)), fault_(fault) {}

FileWriter::FileWriter(FileWriter&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)),
      path_(std::move(other.path_)),
      target_(std::move(other.target_)),
      fault_(other.fault_),
      buffer_(std::move(other.buffer_)),
      size_(other.size_),
      flushed_(other.flushed_),
      keep_(std::exchange(other.keep_, true)) {}

FileWriter::~FileWriter() { Discard(); }

void FileWriter::Discard() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  if (!keep_ && !path_.empty()) ::unlink(path_.c_str());
  keep_ = true;
}

std::optional<FileError> FileWriter::Write(std::string_view bytes) {
  if (fd_ < 0) return Failed("write", path_, EBADF);
  size_ += bytes.size();
  if (buffer_.size() + bytes.size() < kBufferSize) {
    buffer_ += bytes;
    return std::nullopt;
  }
  if (auto error = Flush()) return error;
  if (bytes.size() < kBufferSize) {
    buffer_ += bytes;
    return std::nullopt;
  }
  return WriteOut(bytes);  // a long piece goes out at once, without a copy
}

std::optional<FileError> FileWriter::Flush() {
  std::optional<FileError> error = WriteOut(buffer_);
  buffer_.clear();
  return error;
}

std::optional<FileError> FileWriter::WriteOut(std::string_view bytes) {
  std::optional<FileError> error;
  if (flushed_ + bytes.size() > fault_.after_bytes) {
    bytes = bytes.substr(0, fault_.after_bytes > flushed_ ? fault_.after_bytes - flushed_ : 0);
    error = Failed("write", path_, fault_.error_number);
  }
  if (auto failed = WriteAll(fd_, bytes, path_)) error = failed;
  flushed_ += bytes.size();
  return error;
}

std::optional<FileError> FileWriter::TruncateTo(std::uint64_t size) {
  if (size >= size_) return std::nullopt;
  if (size >= flushed_) {
    buffer_.resize(static_cast<std::size_t>(size - flushed_));
  } else {
    buffer_.clear();
    if (::ftruncate(fd_, static_cast<off_t>(size)) != 0 ||
        ::lseek(fd_, static_cast<off_t>(size), SEEK_SET) < 0) {
      return Failed("truncate", path_);
    }
    flushed_ = size;
  }
  size_ = size;
  return std::nullopt;
}

std::optional<FileError> FileWriter::Finish() {
  if (fd_ < 0) return Failed("close", path_, EBADF);
  if (auto error = Flush()) return error;
  if (::fsync(fd_) != 0) return Failed("sync", path_);
  const int fd = std::exchange(fd_, -1);
  if (::close(fd) != 0) return Failed("close", path_);
  if (!target_.empty()) return std::nullopt;
  keep_ = true;
  return SyncFolderOf(path_);
}

std::optional<FileError> FileWriter::Publish() {
  if (target_.empty() || fd_ >= 0 || keep_) return Failed("rename", target_, EINVAL);
  if (::rename(path_.c_str(), target_.c_str()) != 0) {
    const FileError error = Failed("rename", target_);
    Discard();
    return error;
  }
  keep_ = true;
  path_ = target_;
  return SyncFolderOf(target_);
}

}  // namespace rekendo::files
