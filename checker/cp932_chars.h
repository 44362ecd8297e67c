// Walking Shift-JIS (CP932) text one character at a time, and naming characters in messages.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "cp932.h"

namespace rekendo::checker {

// True when every character of a line has a CP932 code, taken in pieces so that a huge line is never converted at once.
bool IsCp932Line(std::string_view line);

// UTF-8 for a message, with control characters in caret notation (^Z) so that they cannot
// disturb the terminal.
std::string Printable(std::string_view cp932);

// Printable() of at most the first kExcerptChars characters, with "…" when there was more:
// a message quotes a line, never a whole huge one.
inline constexpr std::size_t kExcerptChars = 40;
std::string Excerpt(std::string_view cp932);

// The character as a message names it: 「1」, or a word for the invisible ones (半角スペース).
std::string CharLabel(std::string_view character);

// "0x85 0x40": bytes for a message; after the first kExcerptChars bytes, "…".
std::string HexBytes(std::string_view bytes);

}  // namespace rekendo::checker
