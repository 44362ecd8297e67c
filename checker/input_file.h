// The file being checked, opened once: its descriptor, and what it looked like when opened,
// so that a change before it is replaced can be seen.
#pragma once

#include <sys/stat.h>

#include <string>

namespace rekendo::checker {

class InputFile {
 public:
  // Opens `path` with the drill's refusals (folders, FIFOs, devices). Throws IoError.
  explicit InputFile(const std::string& path);
  ~InputFile();
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;

  int fd() const { return fd_; }
  unsigned permissions() const { return static_cast<unsigned>(opened_.st_mode & 07777); }
  // The same file (device and inode) as `info`.
  bool IsFile(const struct stat& info) const;
  // The open file's size or modification time moved since it was opened.
  bool ChangedSinceOpened() const;
  // `path` no longer names this file as it was when opened: gone, another file, or changed.
  bool ChangedAt(const std::string& path) const;

 private:
  int fd_;
  struct stat opened_ {};
};

}  // namespace rekendo::checker
