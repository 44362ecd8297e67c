#include "kept_text.h"

#include "cp932.h"
#include "sha256.h"

namespace rekendo::record {

KeptText KeepText(std::string_view sjis) {
  std::size_t end = 0;
  if (sjis.size() <= kKeptTextBytes) {
    end = sjis.size();
  } else {
    // Whole characters only: a lead byte's pair stays together or goes together.
    while (end < sjis.size()) {
      const std::size_t next = end + text::CharLength(sjis, end);
      if (next > kKeptTextBytes) break;
      end = next;
    }
  }
  Sha256 digest;
  digest.Add(sjis);
  return {sjis.substr(0, end), sjis.size(), digest.HexDigest()};
}

}  // namespace rekendo::record
