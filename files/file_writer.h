// A file written a piece at a time, for writers that stream: either a temporary file beside
// the file it will replace (renamed over it when done), or a new file that must not exist
// yet. Until it is finished, a writer that is dropped removes what it wrote.
#pragma once

#include <sys/types.h>

#include <cerrno>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "atomic_file.h"

namespace rekendo::files {

// A failure to simulate, for tests: the write that would pass `after_bytes` fails with
// `error_number` once the bytes before that point are written, as a full disk does.
struct WriteFault {
  std::uint64_t after_bytes = std::numeric_limits<std::uint64_t>::max();
  int error_number = ENOSPC;
};

class FileWriter {
 public:
  // A temporary file beside `path` that Publish() renames over it. An existing regular file
  // at `path` lends it its permission bits and, where the process may set them, its owner
  // and group; a new one gets `new_file_mode`.
  static std::variant<FileWriter, FileError> ToReplace(const std::string& path,
                                                       unsigned new_file_mode = 0644,
                                                       WriteFault fault = {});
  // `path` itself, which must not exist (not even as a dangling symlink, which is never
  // followed), with `mode` less the umask.
  static std::variant<FileWriter, FileError> CreateNew(const std::string& path,
                                                       unsigned mode = 0644,
                                                       WriteFault fault = {});

  FileWriter(FileWriter&& other) noexcept;
  FileWriter& operator=(FileWriter&&) = delete;
  FileWriter(const FileWriter&) = delete;
  FileWriter& operator=(const FileWriter&) = delete;
  ~FileWriter();

  std::optional<FileError> Write(std::string_view bytes);
  // Bytes written so far.
  std::uint64_t size() const { return size_; }
  // Drops what was written after the first `size` bytes.
  std::optional<FileError> TruncateTo(std::uint64_t size);
  // Flushes everything to the disk and closes the file. A new file is kept from then on
  // (and its folder flushed); a temporary one waits for Publish().
  std::optional<FileError> Finish();
  // Renames the finished temporary file over the path it replaces and flushes the folder.
  // On failure the temporary file is removed and the path untouched.
  std::optional<FileError> Publish();

  // Where the bytes are: the temporary name until Publish(), the file itself for CreateNew.
  const std::string& path() const { return path_; }

 private:
  FileWriter(int fd, std::string path, std::string target, WriteFault fault);
  std::optional<FileError> Flush();
  std::optional<FileError> WriteOut(std::string_view bytes);
  void Discard();

  int fd_ = -1;
  std::string path_;
  std::string target_;  // the file a temporary one replaces; empty for CreateNew
  WriteFault fault_;
  std::string buffer_;
  std::uint64_t size_ = 0;
  std::uint64_t flushed_ = 0;
  bool keep_ = false;  // finished (a new file) or published: never removed again
};

}  // namespace rekendo::files
