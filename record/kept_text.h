// How much of a question's texts the record keeps: what the window can show, never the
// whole of a 50 MB line someone chose as a problem file by mistake. The full length and the
// SHA-256 of the whole text are kept beside the cut one, so that texts that differ only past
// the cut are still told apart.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace rekendo::record {

inline constexpr std::size_t kKeptTextBytes = 16 * 1024;

struct KeptText {
  std::string_view kept;     // at most kKeptTextBytes, never ending inside a character
  std::size_t full_length;   // bytes of the whole text
  std::string full_sha256;   // of the whole text, lower-case hex
  bool cut() const { return kept.size() < full_length; }
};

// `sjis` lends its bytes to the result.
KeptText KeepText(std::string_view sjis);

}  // namespace rekendo::record
