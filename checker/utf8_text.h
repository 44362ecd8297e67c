// Files saved as UTF-8 by mistake: telling them from Shift-JIS and converting them.
#pragma once

#include <string>
#include <string_view>

#include "finding.h"
#include "utf8.h"

namespace rekendo::checker {

struct Utf8Verdict {
  bool utf8 = false;
  bool bom = false;
};

// The text library's rule, as the report needs it.
Utf8Verdict DetectUtf8(std::string_view bytes);

using text::kUtf8Bom;

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
