#include "utf8.h"

#include "cp932.h"

namespace rekendo::text {
namespace {

struct Utf8Shape {
  bool valid = true;
  bool multibyte = false;
  int kana = 0;  // U+3040-U+30FF
};

Utf8Shape ShapeOf(std::string_view bytes) {
  Utf8Shape shape;
  for (std::size_t pos = 0; pos < bytes.size();) {
    const auto lead = static_cast<unsigned char>(bytes[pos]);
    const std::size_t length = Utf8Length(lead);
    if (length == 0 || pos + length > bytes.size()) return {false};
    const auto second = static_cast<unsigned char>(length > 1 ? bytes[pos + 1] : 0x80);
    // Overlong forms, surrogates and code points past U+10FFFF are not UTF-8.
    if ((lead == 0xE0 && second < 0xA0) || (lead == 0xED && second > 0x9F) ||
        (lead == 0xF0 && second < 0x90) || (lead == 0xF4 && second > 0x8F)) {
      return {false};
    }
    for (std::size_t k = 1; k < length; ++k) {
      if ((static_cast<unsigned char>(bytes[pos + k]) & 0xC0) != 0x80) return {false};
    }
    shape.multibyte |= length > 1;
    shape.kana += lead == 0xE3 && second >= 0x81 && second <= 0x83 ? 1 : 0;
    pos += length;
  }
  return shape;
}

}  // namespace

std::size_t Utf8Length(unsigned char lead) {
  if (lead < 0x80) return 1;
  if (lead >= 0xC2 && lead <= 0xDF) return 2;
  if (lead >= 0xE0 && lead <= 0xEF) return 3;
  if (lead >= 0xF0 && lead <= 0xF4) return 4;
  return 0;
}

bool IsValidUtf8(std::string_view bytes) { return ShapeOf(bytes).valid; }

Utf8Rule DetectUtf8(std::string_view bytes) {
  if (bytes.starts_with(kUtf8Bom)) return Utf8Rule::kBom;
  const Utf8Shape shape = ShapeOf(bytes);
  if (!shape.valid || !shape.multibyte) return Utf8Rule::kNone;
  if (!IsValidCp932(bytes)) return Utf8Rule::kNotCp932;
  return shape.kana >= 2 ? Utf8Rule::kKana : Utf8Rule::kNone;
}

}  // namespace rekendo::text
