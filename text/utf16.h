// UTF-16 text among Shift-JIS files: Windows editors save "Unicode" as UTF-16, which the
// drill reads as garbage, so it is named and converted rather than read as bytes.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace rekendo::text {

enum class ByteOrder { kLittleEndian, kBigEndian };

struct Utf16Form {
  ByteOrder order;
  bool bom;  // starts with FF FE (little endian) or FE FF (big endian)
};

// How many leading bytes DetectUtf16 looks at.
inline constexpr std::size_t kUtf16SniffSize = 4096;

// Bytes are UTF-16 when they start with its byte order mark, or when in their first
// kUtf16SniffSize bytes (at least four) every NUL byte stands on the same side of a code
// unit, and at least a quarter of the units have one: ASCII and every line end in UTF-16
// carry a NUL, while Shift-JIS text has none.
std::optional<Utf16Form> DetectUtf16(std::string_view head);

// Converts UTF-16 without its BOM to UTF-8. Unpaired surrogates and an odd byte at the end
// become U+FFFD.
std::string Utf16ToUtf8(std::string_view bytes, ByteOrder order);

// The longest prefix of `bytes` that converts the same alone as it does followed by more:
// whole code units, never the first half of a surrogate pair.
std::size_t Utf16CompletePrefix(std::string_view bytes, ByteOrder order);

}  // namespace rekendo::text
