// --fix: a corrected copy of a data file, for the mistakes that have one obvious repair,
// written line by line as the file streams past.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "file_kind.h"
#include "file_writer.h"
#include "finding.h"
#include "pair_layout.h"
#include "source_lines.h"

namespace rekendo::checker {

// Where the corrected bytes go: a string, or a file being written.
class ByteSink {
 public:
  virtual ~ByteSink() = default;
  virtual void Write(std::string_view bytes) = 0;
  virtual std::uint64_t size() const = 0;
  // Takes back what was written after the first `size` bytes.
  virtual void TruncateTo(std::uint64_t size) = 0;
};

class StringSink : public ByteSink {
 public:
  void Write(std::string_view bytes) override { bytes_ += bytes; }
  std::uint64_t size() const override { return bytes_.size(); }
  void TruncateTo(std::uint64_t size) override { bytes_.resize(static_cast<std::size_t>(size)); }
  std::string& bytes() { return bytes_; }

 private:
  std::string bytes_;
};

// Converts to CP932 (the lines arrive converted), widens half-width characters in typed
// answers to their keypad forms (and dashes to "－"), drops blank pairs at the end and a
// lone end-of-file Ctrl-Z, and ends every line with CR LF. Everything else is kept as it
// was, including what the drill never reads after a Ctrl-Z.
class Fixer {
 public:
  Fixer(FileKind kind, ByteSink& out) : kind_(kind), out_(out) {}

  // `in_blank_run` is the layout's InBlankRun() from before the line was placed.
  void Line(const TextLine& line, const Placement& placed, bool in_blank_run);
  // After the layout's Finish().
  void Finish(const PairLayout& layout);

  int widened() const { return widened_; }
  int dropped_blank_pairs() const { return dropped_blank_pairs_; }
  bool took_back() const { return took_back_; }

 private:
  FileKind kind_;
  ByteSink& out_;
  std::uint64_t run_mark_ = 0;  // where a run of blank pairs at the end would begin
  std::optional<std::uint64_t> stop_mark_;
  bool hidden_text_ = false;
  int widened_ = 0;
  int dropped_blank_pairs_ = 0;
  bool took_back_ = false;  // lines at the end were dropped
};

struct FixResult {
  std::string bytes;  // the corrected file, from FixBytes (FixFile writes it instead)
  int widened = 0;              // answer characters turned into keypad characters
  int dropped_blank_pairs = 0;  // blank pairs removed from the end
  bool converted = false;       // the file was UTF-8 or UTF-16
  Encoding converted_from = Encoding::kCp932;
  bool split_at_cr = false;  // the lines ended with CR alone and now end with CR LF
  Findings unfixable;        // characters lost converting
  std::string written_to;    // the file written
  bool through_link = false;  // the name given was a symlink to written_to
  std::string backup;         // where the original was copied (in place)
  bool nothing_to_fix = false;  // the file was already as --fix writes it: left alone
};

// Ways to make FixFile fail on purpose, for tests: a full disk while writing either file,
// and something to run between reading the original and replacing it.
struct FixSeams {
  files::WriteFault output_fault;
  files::WriteFault backup_fault;
  std::function<void()> before_replace;
};

// Fixes the bytes of a file held in memory.
FixResult FixBytes(std::string_view bytes, FileKind kind);

// Writes the corrected copy of `path` to `out` through a temporary file renamed into place.
// With `keep_backup` it corrects `path` itself (`out` is ignored): the original is first
// copied to a new backup, FILE.bak or else FILE.bak.1, .2, …, and a symlink at `path` is
// followed to the file it names. Reads `path` once; on any failure nothing is replaced and
// nothing is left behind, and when the file changes while it is being fixed nothing is
// written either.
std::variant<FixResult, CheckError> FixFile(const std::string& path, const std::string& out,
                                            FileKind kind, bool keep_backup,
                                            const FixSeams& seams = {});

}  // namespace rekendo::checker
