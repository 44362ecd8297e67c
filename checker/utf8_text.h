// Files saved as UTF-8 by mistake: telling them from Shift-JIS and converting them.
#pragma once

#include <string>
#include <string_view>

#include "finding.h"

namespace rekendo::checker {

struct Utf8Verdict {
  bool utf8 = false;
  bool bom = false;
};

// A file is UTF-8 when it starts with the byte order mark EF BB BF, or when it is valid
// UTF-8 with at least one multi-byte character and either is not valid CP932 or holds a
// three- or four-byte character (every kana and kanji is one). Shift-JIS Japanese text
// is practically never valid UTF-8, since its lead bytes 81-9F cannot start a UTF-8
// character; plain ASCII is the same in both and counts as Shift-JIS.
Utf8Verdict DetectUtf8(std::string_view bytes);

inline constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// The characters Shift-JIS has no code for become 〓 (the conventional stand-in), each
// reported on its line.
struct Cp932Text {
  std::string bytes;
  Findings missing;
};

// Converts UTF-8 without BOM to CP932. "−" (U+2212) becomes the keypad's "－", as the
// CP932 table has it.
Cp932Text Utf8ToCp932(std::string_view utf8);

}  // namespace rekendo::checker
