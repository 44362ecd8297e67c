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
  kBom,       // starts with EF BB BF
  kNotCp932,  // valid UTF-8 with multi-byte characters, and not valid CP932
  kKana,      // valid UTF-8 holding two or more kana (U+3040-U+30FF)
};

// Bytes are CP932 unless they start with the byte order mark, or are valid UTF-8 with at
// least one multi-byte character and are implausible as CP932: either not valid CP932 at
// all, or holding two or more kana characters in UTF-8 (E3 81 80 - E3 83 BF each). Japanese
// written in UTF-8 nearly always has kana, and its kana read as CP932 come out as a
// second-level kanji (縺, 繧) followed by a byte that must pair up with the next one, which
// rarely holds for a whole text. Shift-JIS kana (82 xx, 83 xx) can never start a UTF-8
// character, so real Shift-JIS text is almost never valid UTF-8; a short text that is valid
// both ways stays CP932: "縺ｱ" (E3 81 B1, one UTF-8 kana "ぱ") and "邵ｱ" (E7 B8 B1, the one
// UTF-8 kanji "縱") are Shift-JIS, since converting a teacher's Shift-JIS would change what it
// says. Plain ASCII is the same in both and counts as CP932.
Utf8Rule DetectUtf8(std::string_view bytes);

// Bytes in the UTF-8 character a lead byte starts, or 0 for a byte no character starts with.
std::size_t Utf8Length(unsigned char lead);

// True for well-formed UTF-8 (no overlong forms, surrogates or code points past U+10FFFF).
bool IsValidUtf8(std::string_view bytes);

}  // namespace rekendo::text
