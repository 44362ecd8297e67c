#include "atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

namespace rekendo::files {
namespace {

// Closes the descriptor on every way out.
class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return fd_; }
  // Closes now, reporting the errno of a failed close (0 when it worked).
  int Close() {
    const int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0 ? 0 : errno;
  }

 private:
  int fd_;
};

std::string FolderOf(const std::string& path) {
  const auto slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

FileError Failed(std::string step, const std::string& path) {
  return {std::move(step), path, errno};
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
  if (::fsync(fd) != 0) return Failed("sync", path);
  return std::nullopt;
}

}  // namespace

std::string FileError::Describe() const {
  return step + " " + path + ": " + std::strerror(error_number);
}

std::optional<FileError> SyncFolderOf(const std::string& path) {
  const std::string folder = FolderOf(path);
  Descriptor dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (dir.get() < 0) return Failed("open folder", folder);
  if (::fsync(dir.get()) != 0 && errno != EINVAL) return Failed("sync folder", folder);
  return std::nullopt;
}

std::optional<FileError> ReplaceAtomically(const std::string& path, std::string_view bytes,
                                           unsigned new_file_mode) {
  struct stat existing {};
  const bool exists = ::lstat(path.c_str(), &existing) == 0 && S_ISREG(existing.st_mode);

  std::string temp = FolderOf(path) + "/." + path.substr(path.rfind('/') + 1) + ".XXXXXX";
  std::vector<char> name(temp.begin(), temp.end());
  name.push_back('\0');
  Descriptor fd(::mkostemp(name.data(), O_CLOEXEC));
  if (fd.get() < 0) return Failed("create", temp);
  temp = name.data();

  std::optional<FileError> error;
  const mode_t mode = exists ? (existing.st_mode & 07777) : static_cast<mode_t>(new_file_mode);
  if (::fchmod(fd.get(), mode) != 0) error = Failed("chmod", temp);
  // Only root may give a file away; anyone else keeps their own ownership silently.
  if (!error && exists && (existing.st_uid != ::geteuid() || existing.st_gid != ::getegid())) {
    if (::fchown(fd.get(), existing.st_uid, existing.st_gid) != 0 && errno != EPERM) {
      error = Failed("chown", temp);
    }
  }
  if (!error) error = WriteAll(fd.get(), bytes, temp);
  if (!error) {
    if (const int close_error = fd.Close(); close_error != 0) {
      errno = close_error;
      error = Failed("close", temp);
    }
  }
  if (!error && ::rename(temp.c_str(), path.c_str()) != 0) error = Failed("rename", path);
  if (error) {
    ::unlink(temp.c_str());
    return error;
  }
  return SyncFolderOf(path);
}

std::optional<FileError> CreateExclusively(const std::string& path, std::string_view bytes,
                                           unsigned mode) {
  Descriptor fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                       static_cast<mode_t>(mode)));
  if (fd.get() < 0) return Failed("create", path);
  std::optional<FileError> error = WriteAll(fd.get(), bytes, path);
  if (!error) {
    if (const int close_error = fd.Close(); close_error != 0) {
      errno = close_error;
      error = Failed("close", path);
    }
  }
  if (error) {
    ::unlink(path.c_str());
    return error;
  }
  return SyncFolderOf(path);
}

}  // namespace rekendo::files
