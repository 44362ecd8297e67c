// Writing files without ever leaving a half-written one: the new bytes go to a temporary
// file in the same folder, are flushed to the disk and renamed into place, so a reader (or
// a crash) sees either the old file or the new one, never a mix.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "error.h"

namespace rekendo::files {

// A failed step: what was being done, to which file, and the errno.
struct FileError {
  std::string step;  // "create", "write", "sync", "rename", …
  std::string path;
  int error_number = 0;

  // "write /a/b: No space left on device"
  std::string Describe() const;
};

// Replaces (or creates) `path` with `bytes`. An existing file keeps its permission bits and,
// where the process may set them, its owner and group. On failure `path` is untouched and
// the temporary file is gone. A symlink at `path` is replaced by the file itself, so callers
// that mean to write through a link resolve it first.
std::optional<FileError> ReplaceAtomically(const std::string& path, std::string_view bytes,
                                           unsigned new_file_mode = 0644);

// Creates `path`, which must not exist (not even as a dangling symlink, which is never
// followed), writes `bytes` and flushes them to the disk. On failure a file it created is
// removed again.
std::optional<FileError> CreateExclusively(const std::string& path, std::string_view bytes,
                                           unsigned mode = 0644);

// Flushes the folder holding `path`, so that a rename or a creation in it is on the disk.
std::optional<FileError> SyncFolderOf(const std::string& path);

// The error value for a failed step, led by `message` (what could not be done, in Japanese)
// and followed by the reason its errno gives.
Error ToError(const FileError& error, std::string message);

// "a/b/c" → "a/b", "c" → ".", "/c" → "/".
std::string FolderOf(const std::string& path);

}  // namespace rekendo::files
