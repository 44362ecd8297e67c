// UTF-8 text among Shift-JIS files: a file saved as UTF-8 by mistake reads as garbage in
// the drill, so it is told apart by a stated rule.
#pragma once

#include <cstddef>
#include <string_view>

namespace rekendo::text {

inline constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// Which rule made bytes UTF-8, or kNone when they are taken as CP932.
enum class Utf8Rule {
  kNone,
  kBom,              // starts with EF BB BF
  kNotCp932,         // valid UTF-8 with multi-byte characters, and not valid CP932
  kLongSequences,    // valid UTF-8 holding a three- or four-byte character (every kana and
                     // kanji is one)
};

// Bytes are UTF-8 when they start with the byte order mark, or are valid UTF-8 with at
// least one multi-byte character and either are not valid CP932 or hold a three- or
// four-byte character. Shift-JIS Japanese is practically never valid UTF-8, since its lead
// bytes 81-9F cannot start a UTF-8 character; plain ASCII is the same in both and counts
// as CP932.
Utf8Rule DetectUtf8(std::string_view bytes);

// Bytes in the UTF-8 character a lead byte starts, or 0 for a byte no character starts with.
std::size_t Utf8Length(unsigned char lead);

// True for well-formed UTF-8 (no overlong forms, surrogates or code points past U+10FFFF).
bool IsValidUtf8(std::string_view bytes);

}  // namespace rekendo::text
