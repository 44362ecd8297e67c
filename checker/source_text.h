// A data file as the drill sees it: its lines read with the drill's own reader, plus what
// only the raw bytes tell (the encoding, CRs the reader drops, where a Ctrl-Z stops it).
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "finding.h"
#include "utf8_text.h"

namespace rekendo::checker {

struct SourceText {
  // Every line of the file, CP932 (converted first when the file was UTF-8), without CRs.
  std::vector<std::string> lines;
  // Index of the first line at which a pair file ends for the drill: a line that begins
  // where a pair would begin, with a Ctrl-Z.
  std::optional<std::size_t> pair_stop;
  // 1-based lines holding a CR that does not end the line.
  std::vector<int> lone_cr_lines;
  Utf8Verdict encoding;
  // Characters lost when converting from UTF-8.
  Findings conversion;
};

// Reads `path`. Errors carry the drill's own code and message for the failing step.
std::variant<SourceText, CheckError> LoadSource(const std::string& path);

}  // namespace rekendo::checker
