#include "dated_file.h"

#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

#include <cerrno>
#include <random>

#include "atomic_file.h"
#include "file_writer.h"

namespace rekendo::files {

namespace {

// Enough for a folder that somehow fills with a thousand files made in one second.
constexpr int kMaxAttempts = 1000;

std::string Join(const std::string& folder, std::string_view name) {
  std::string path = folder;
  if (!path.empty() && path.back() != '/') path += '/';
  path += name;
  return path;
}

// Renames `from` to `to` unless `to` exists; the errno otherwise (EEXIST when taken).
int RenameWithoutReplacing(const std::string& from, const std::string& to) {
  if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return 0;
  if (errno != EINVAL && errno != ENOSYS) return errno;
  // File systems without the flag: a hard link fails just the same on a taken name.
  if (::link(from.c_str(), to.c_str()) != 0) return errno;
  ::unlink(from.c_str());
  return 0;
}

Result<std::string> MoveToFreeName(const std::string& from, const std::string& folder,
                                   std::string_view stem, std::string_view extension,
                                   std::time_t when) {
  for (int attempt = 1; attempt <= kMaxAttempts; ++attempt) {
    const std::string to = Join(folder, DatedName(stem, extension, when, attempt));
    const int error = RenameWithoutReplacing(from, to);
    if (error == 0) {
      SyncFolderOf(to);  // best effort: the rename is done either way
      return to;
    }
    if (error != EEXIST) return ErrorFromErrno(error, "ファイルの名前を変えられませんでした。", to);
  }
  return Error{ErrorCode::kIo, "空いているファイル名が見つかりませんでした。", folder, {}};
}

}  // namespace

std::string DatedName(std::string_view stem, std::string_view extension, std::time_t when,
                      int attempt) {
  std::tm local{};
  ::localtime_r(&when, &local);
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
  std::string name(stem);
  name += stamp;
  if (attempt > 1) name += "-" + std::to_string(attempt);
  name += extension;
  return name;
}

Result<std::string> WriteNewDatedFile(const std::string& folder, std::string_view stem,
                                      std::string_view extension, std::string_view bytes,
                                      std::time_t when) {
  std::random_device random;
  const std::string temporary =
      Join(folder, "." + std::string(stem) + std::to_string(random()) + ".tmp");
  auto made = FileWriter::CreateNew(temporary);
  if (auto* error = std::get_if<FileError>(&made)) {
    return ToError(*error, "ファイルを作れませんでした。");
  }
  FileWriter& writer = std::get<FileWriter>(made);
  auto failed = writer.Write(bytes);
  if (!failed) failed = writer.Finish();
  if (failed) {
    ::unlink(temporary.c_str());
    return ToError(*failed, "ファイルを書けませんでした。");
  }
  auto moved = MoveToFreeName(temporary, folder, stem, extension, when);
  if (!moved) ::unlink(temporary.c_str());
  return moved;
}

Result<std::string> MoveToNewDatedName(const std::string& path, std::string_view stem,
                                       std::string_view extension, std::time_t when) {
  return MoveToFreeName(path, FolderOf(path), stem, extension, when);
}

}  // namespace rekendo::files
