// Shift-JIS (code page 932) to and from Unicode. Bytes that are not valid CP932 (a stray
// trail byte, a lead byte cut off by the end) come out as U+FFFD, so any file displays
// without failing; characters CP932 lacks go the other way as 〓, the conventional stand-in.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace rekendo::text {

std::u16string Cp932ToUtf16(std::string_view bytes);
std::string Cp932ToUtf8(std::string_view bytes);

// A UTF-8 character (or broken sequence) that has no CP932 code: where it starts in the
// input and its length in bytes.
struct Unmappable {
  std::size_t offset;
  std::size_t length;
};

struct Cp932Text {
  std::string bytes;
  std::vector<Unmappable> unmappable;  // each written as 〓
};

// "−" (U+2212) becomes the keypad's "－", as the CP932 table has it.
Cp932Text Utf8ToCp932(std::string_view utf8);

// A byte that starts a two-byte Shift-JIS character.
constexpr bool IsLeadByte(unsigned char byte) {
  return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

// Bytes in the CP932 character that starts at `pos`: 2 for a lead byte followed by a trail
// byte, otherwise 1. A "$" or a line end is never a trail byte, so splitting on them first
// is safe.
std::size_t CharLength(std::string_view bytes, std::size_t pos);

// True when every character of `bytes` has a CP932 code (the window shows each as itself).
bool IsValidCp932(std::string_view bytes);

inline constexpr std::string_view kGetaMark = "\x81\xAC";  // 〓

}  // namespace rekendo::text
