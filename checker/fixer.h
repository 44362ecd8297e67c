// --fix: a corrected copy of a data file, for the mistakes that have one obvious repair.
#pragma once

#include <string>
#include <variant>

#include "file_kind.h"
#include "finding.h"
#include "source_text.h"

namespace rekendo::checker {

struct FixResult {
  std::string bytes;            // CP932, every line ended by CR LF
  int widened = 0;              // answer characters turned into keypad characters
  int dropped_blank_pairs = 0;  // blank pairs removed from the end
  bool converted = false;       // the file was UTF-8
  Findings unfixable;           // characters lost converting from UTF-8
};

// Converts UTF-8 to CP932, widens half-width characters in typed answers to their keypad
// forms (and dashes to "－"), drops blank pairs at the end and a lone end-of-file Ctrl-Z,
// and ends every line with CR LF. Everything else is kept as it was, including what the
// drill never reads after a Ctrl-Z.
FixResult Fix(const SourceText& source, FileKind kind);

// Writes the corrected copy of `path` to `out`, which may be `path` itself; with
// `keep_backup` the original is first copied to `path` + ".bak".
std::variant<FixResult, CheckError> FixFile(const std::string& path, const std::string& out,
                                            FileKind kind, bool keep_backup);

}  // namespace rekendo::checker
