// A file held in memory (memfd) under a path TextFile can open. Fuzzers and the soak load
// thousands of files a second; this keeps them off the disk.
#pragma once

#include <sys/mman.h>
#include <unistd.h>

#include <stdexcept>
#include <string>
#include <string_view>

namespace rekendo::testing {

class MemoryFile {
 public:
  MemoryFile() : fd_(::memfd_create("rekendo", MFD_CLOEXEC)) {
    if (fd_ < 0) throw std::runtime_error("memfd_create failed");
    // Opening this path gives a fresh read position each time, like reopening a file.
    path_ = "/proc/self/fd/" + std::to_string(fd_);
  }
  ~MemoryFile() { ::close(fd_); }
  MemoryFile(const MemoryFile&) = delete;
  MemoryFile& operator=(const MemoryFile&) = delete;

  // Replaces the whole content.
  void Set(std::string_view bytes) {
    if (::ftruncate(fd_, 0) != 0) throw std::runtime_error("ftruncate failed");
    std::size_t done = 0;
    while (done < bytes.size()) {
      const ssize_t wrote =
          ::pwrite(fd_, bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
      if (wrote <= 0) throw std::runtime_error("pwrite failed");
      done += static_cast<std::size_t>(wrote);
    }
  }
  const std::string& path() const { return path_; }

 private:
  int fd_;
  std::string path_;
};

}  // namespace rekendo::testing
