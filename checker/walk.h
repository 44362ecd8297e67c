// One pass over a data file: every line read once, placed in the drill's layout, checked,
// and (with a sink) written corrected.
#pragma once

#include <functional>
#include <string_view>

#include "analysis.h"
#include "fixer.h"
#include "line_reader.h"
#include "source_lines.h"

namespace rekendo::checker {

struct Walked {
  Report report;
  EncodingVerdict verdict;
  int widened = 0;
  int dropped_blank_pairs = 0;
  bool fix_changes_nothing = false;  // the corrected bytes are the bytes read
};

// `fixed`, when set, receives the corrected file; `copy` every byte as read. The pass ends
// early once `give_up` says so (a write already failed). Throws IoError when reading fails.
Walked Walk(LineReader& reader, FileKind kind, ByteSink* fixed,
            std::function<void(std::string_view)> copy = {},
            const std::function<bool()>& give_up = {});

}  // namespace rekendo::checker
