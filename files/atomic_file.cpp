#include "atomic_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "file_writer.h"

namespace rekendo::files {

std::string FileError::Describe() const {
  return step + " " + path + ": " + std::strerror(error_number);
}

std::string FolderOf(const std::string& path) {
  const auto slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::optional<FileError> SyncFolderOf(const std::string& path) {
  const std::string folder = FolderOf(path);
  const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir < 0) return FileError{"open folder", folder, errno};
  std::optional<FileError> error;
  if (::fsync(dir) != 0 && errno != EINVAL) error = FileError{"sync folder", folder, errno};
  ::close(dir);
  return error;
}

std::optional<FileError> ReplaceAtomically(const std::string& path, std::string_view bytes,
                                           unsigned new_file_mode) {
  auto opened = FileWriter::ToReplace(path, new_file_mode);
  if (auto* error = std::get_if<FileError>(&opened)) return *error;
  FileWriter& writer = std::get<FileWriter>(opened);
  if (auto error = writer.Write(bytes)) return error;
  if (auto error = writer.Finish()) return error;
  return writer.Publish();
}

std::optional<FileError> CreateExclusively(const std::string& path, std::string_view bytes,
                                           unsigned mode) {
  auto opened = FileWriter::CreateNew(path, mode);
  if (auto* error = std::get_if<FileError>(&opened)) return *error;
  FileWriter& writer = std::get<FileWriter>(opened);
  if (auto error = writer.Write(bytes)) return error;
  return writer.Finish();
}

Error ToError(const FileError& error, std::string message) {
  Error result = ErrorFromErrno(error.error_number, std::move(message), error.path);
  result.detail = error.Describe();
  return result;
}

}  // namespace rekendo::files
