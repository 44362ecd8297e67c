// --fix on a file: read once, the corrected copy written through a temporary file and
// renamed into place, the original kept in a backup that is never overwritten.
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <memory>
#include <optional>

#include "error_text.h"
#include "file_writer.h"
#include "fixer.h"
#include "input_file.h"
#include "walk.h"

namespace rekendo::checker {
namespace {

constexpr int kMaxBackups = 1000;

// A ByteSink over a file being written; the first failure is kept and later writes skipped.
class WriterSink : public ByteSink {
 public:
  explicit WriterSink(files::FileWriter& writer) : writer_(writer) {}
  void Write(std::string_view bytes) override {
    if (!error_) error_ = writer_.Write(bytes);
  }
  std::uint64_t size() const override { return writer_.size(); }
  void TruncateTo(std::uint64_t size) override {
    if (!error_) error_ = writer_.TruncateTo(size);
  }
  const std::optional<files::FileError>& error() const { return error_; }

 private:
  files::FileWriter& writer_;
  std::optional<files::FileError> error_;
};

// The file `path` names through any symlinks; nullopt when a link leads nowhere.
std::optional<std::string> ResolveLinks(const std::string& path, bool& through_link) {
  struct stat info {};
  through_link = ::lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode);
  if (!through_link) return path;
  const std::unique_ptr<char, decltype(&std::free)> real(::realpath(path.c_str(), nullptr),
                                                         &std::free);
  if (!real) return std::nullopt;
  return std::string(real.get());
}

// FILE.bak, or the first of FILE.bak.1, .2, … that does not exist; never an existing file
// or anything a symlink there points to.
std::variant<files::FileWriter, files::FileError> CreateBackup(const std::string& target,
                                                               unsigned mode,
                                                               files::WriteFault fault) {
  for (int n = 0;; ++n) {
    const std::string name = target + ".bak" + (n == 0 ? "" : "." + std::to_string(n));
    auto created = files::FileWriter::CreateNew(name, mode, fault);
    const auto* error = std::get_if<files::FileError>(&created);
    if (error == nullptr || error->error_number != EEXIST || n == kMaxBackups) return created;
  }
}

void Describe(const Walked& walked, FixResult& result) {
  const EncodingVerdict& verdict = walked.verdict;
  result.converted = verdict.encoding != Encoding::kCp932;
  result.converted_from = verdict.encoding;
  result.split_at_cr = verdict.cr_only;
  result.widened = walked.widened;
  result.dropped_blank_pairs = walked.dropped_blank_pairs;
  result.nothing_to_fix = walked.fix_changes_nothing;
  for (const Finding& finding : walked.report.findings) {
    if (finding.code == FindingCode::kMissingInCp932) result.unfixable.push_back(finding);
  }
}

CheckError Changed(const std::string& path) {
  return {kReadWriteError, path + " が直している間に変わりました（移動、書き換え）。何も書き換えて"
                                  "いません。もう一度実行してください"};
}

class FileFix {
 public:
  FileFix(const std::string& path, const std::string& out, FileKind kind, bool in_place,
          const FixSeams& seams)
      : path_(path), out_(out), kind_(kind), in_place_(in_place), seams_(seams) {}

  std::variant<FixResult, CheckError> Run();

 private:
  std::optional<CheckError> ChooseTarget(const InputFile& input);
  std::optional<CheckError> Publish(const InputFile& input, files::FileWriter& output,
                                    std::optional<files::FileWriter>& backup);

  const std::string& path_;
  const std::string& out_;
  FileKind kind_;
  bool in_place_;
  const FixSeams& seams_;
  FixResult result_;
};

std::optional<CheckError> FileFix::ChooseTarget(const InputFile& input) {
  const std::string& named = in_place_ ? path_ : out_;
  const auto target = ResolveLinks(named, result_.through_link);
  if (!target) {
    return CheckError{kReadWriteError, named + " はシンボリックリンクですが、リンク先がありません"};
  }
  result_.written_to = *target;
  struct stat info {};
  const bool exists = ::stat(target->c_str(), &info) == 0;
  if (in_place_ && (!exists || !input.IsFile(info))) return Changed(path_);
  if (!in_place_ && exists && input.IsFile(info)) {
    return CheckError{kReadWriteError,
                      "-o に元のファイルは指定できません（書き換えるなら --in-place を使ってください）"};
  }
  return std::nullopt;
}

std::variant<FixResult, CheckError> FileFix::Run() {
  std::optional<InputFile> input;
  try {
    input.emplace(path_);
  } catch (const IoError& error) {
    return ReadFailed(error);
  }
  if (auto error = ChooseTarget(*input)) return *error;
  const std::string& target = result_.written_to;

  std::optional<files::FileWriter> backup;
  if (in_place_) {
    auto created = CreateBackup(target, input->permissions(), seams_.backup_fault);
    if (auto* error = std::get_if<files::FileError>(&created)) {
      return WriteFailed("バックアップ " + error->path + " を作れませんでした",
                         *error, true);
    }
    backup.emplace(std::move(std::get<files::FileWriter>(created)));
    result_.backup = backup->path();
  }
  auto opened = files::FileWriter::ToReplace(target, 0644, seams_.output_fault);
  if (auto* error = std::get_if<files::FileError>(&opened)) {
    return WriteFailed(target + " のそばに一時ファイルを作れませんでした",
                       *error, in_place_);
  }
  files::FileWriter& output = std::get<files::FileWriter>(opened);

  WriterSink fixed(output);
  std::optional<files::FileError> backup_error;
  const auto copy = [&](std::string_view bytes) {
    if (backup && !backup_error) backup_error = backup->Write(bytes);
  };
  Walked walked;
  try {
    LineReader reader = LineReader::OverDescriptor(input->fd());
    walked = Walk(reader, kind_, &fixed, in_place_ ? copy : std::function<void(std::string_view)>(),
                  [&] { return fixed.error() || backup_error; });
  } catch (const IoError& error) {
    return CheckError{kReadWriteError, path_ + " を読めませんでした（" + Reason(error) + "）" +
                                           (in_place_ ? "。元のファイルはそのままです" : "")};
  }
  if (backup_error) {
    return WriteFailed("バックアップ " + backup->path() + " を書けませんでした",
                       *backup_error, true);
  }
  if (fixed.error()) {
    return WriteFailed("直したものを " + output.path() + " に書けませんでした",
                       *fixed.error(), in_place_);
  }
  Describe(walked, result_);
  // Nothing to correct in place: no new backup, no rewrite (the writers remove their files).
  if (in_place_ && result_.nothing_to_fix) {
    result_.backup.clear();
    return std::move(result_);
  }
  if (auto error = Publish(*input, output, backup)) return *error;
  return std::move(result_);
}

// The backup on the disk first, then a last look that the original is still the file that
// was read, then the rename.
std::optional<CheckError> FileFix::Publish(const InputFile& input, files::FileWriter& output,
                                           std::optional<files::FileWriter>& backup) {
  const std::string& target = result_.written_to;
  // A finished backup is kept by its writer; until the original is replaced it is only a
  // spare copy of an untouched file, and goes again on failure.
  struct RemoveUnlessKept {
    const std::string* path = nullptr;
    ~RemoveUnlessKept() {
      if (path != nullptr) ::unlink(path->c_str());
    }
  } spare;
  if (backup) {
    if (auto error = backup->Finish()) {
      return WriteFailed("バックアップ " + backup->path() + " を書けませんでした",
                         *error, true);
    }
    spare.path = &result_.backup;
  }
  if (auto error = output.Finish()) {
    return WriteFailed("直したものを " + output.path() + " に書けませんでした",
                       *error, in_place_);
  }
  if (input.ChangedSinceOpened()) return Changed(path_);
  if (seams_.before_replace) seams_.before_replace();
  if (in_place_ && input.ChangedAt(target)) return Changed(path_);
  if (auto error = output.Publish()) {
    if (output.path() == target) {
      spare.path = nullptr;  // replaced after all: the backup is the only old copy
      return WriteFailed(target + " は書き換えましたが、フォルダーをディスクに書き出せませんでした",
                         *error, false);
    }
    return WriteFailed(target + " を置き換えられませんでした", *error, in_place_);
  }
  spare.path = nullptr;
  return std::nullopt;
}

}  // namespace

FixResult FixBytes(std::string_view bytes, FileKind kind) {
  LineReader reader = LineReader::OverBytes(bytes);
  StringSink fixed;
  const Walked walked = Walk(reader, kind, &fixed);
  FixResult result;
  Describe(walked, result);
  result.bytes = std::move(fixed.bytes());
  return result;
}

std::variant<FixResult, CheckError> FixFile(const std::string& path, const std::string& out,
                                            FileKind kind, bool keep_backup,
                                            const FixSeams& seams) {
  return FileFix(path, out, kind, keep_backup, seams).Run();
}

}  // namespace rekendo::checker
