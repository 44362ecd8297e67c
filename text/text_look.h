// What the first bytes of a file say it holds, by the checker's rules: Shift-JIS text (what
// the drill reads), UTF-8 or UTF-16 text saved by another editor, or no text at all (a
// picture, a program, an archive).
#pragma once

#include <string_view>

namespace rekendo::text {

enum class TextLook { kShiftJis, kUtf8, kUtf16, kBinary };

// `head` is the file's first bytes (a few KiB are enough).
TextLook LookOfText(std::string_view head);

}  // namespace rekendo::text
