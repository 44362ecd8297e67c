#include "text_look.h"

#include <cstddef>

#include "utf16.h"
#include "utf8.h"

namespace rekendo::text {

namespace {

// Control bytes that no text file holds: everything below a space but tab, LF, CR and the
// old end-of-file mark Ctrl-Z.
bool IsBinaryByte(unsigned char byte) {
  return byte < 0x20 && byte != '\t' && byte != '\n' && byte != '\r' && byte != 0x1A;
}

}  // namespace

TextLook LookOfText(std::string_view head) {
  if (DetectUtf16(head)) return TextLook::kUtf16;
  std::size_t binary = 0;
  for (const char c : head) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte == 0) return TextLook::kBinary;  // a NUL that is not UTF-16's
    binary += IsBinaryByte(byte) ? 1 : 0;
  }
  // A stray control character is a typo; one in a hundred is not text.
  if (binary * 100 > head.size()) return TextLook::kBinary;
  // Whole lines, so that a character cut at the end of the sample does not make it invalid.
  const std::size_t last_line_end = head.rfind('\n');
  const std::string_view lines =
      last_line_end == std::string_view::npos ? head : head.substr(0, last_line_end + 1);
  if (DetectUtf8(lines) != Utf8Rule::kNone) return TextLook::kUtf8;
  return TextLook::kShiftJis;
}

}  // namespace rekendo::text
