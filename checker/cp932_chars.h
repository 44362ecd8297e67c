// Walking Shift-JIS (CP932) text one character at a time, and naming characters in messages.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace rekendo::checker {

// Bytes in the character that starts at `pos`: 2 for a lead byte followed by a trail byte,
// otherwise 1. A "$" or a line end can never be a trail byte, so splitting on them first
// is safe.
std::size_t CharLength(std::string_view text, std::size_t pos);

// True when the window shows `character` (one character as CharLength cuts it) as itself
// rather than as U+FFFD; the window's own conversion decides.
bool IsCp932(std::string_view character);

// UTF-8 for a message, with control characters in caret notation (^Z) so that they cannot
// disturb the terminal.
std::string Printable(std::string_view cp932);

// The character as a message names it: 「1」, or a word for the invisible ones (半角スペース).
std::string CharLabel(std::string_view character);

// "0x85 0x40": bytes for a message.
std::string HexBytes(std::string_view bytes);

}  // namespace rekendo::checker
