#include "utf16.h"

namespace rekendo::text {
namespace {

char16_t UnitAt(std::string_view bytes, std::size_t pos, ByteOrder order) {
  const auto first = static_cast<unsigned char>(bytes[pos]);
  const auto second = static_cast<unsigned char>(bytes[pos + 1]);
  return static_cast<char16_t>(order == ByteOrder::kLittleEndian ? first | second << 8
                                                                 : first << 8 | second);
}

bool IsHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

void AppendUtf8(char32_t code_point, std::string& out) {
  if (code_point < 0x80) {
    out += static_cast<char>(code_point);
  } else if (code_point < 0x800) {
    out += static_cast<char>(0xC0 | (code_point >> 6));
    out += static_cast<char>(0x80 | (code_point & 0x3F));
  } else if (code_point < 0x10000) {
    out += static_cast<char>(0xE0 | (code_point >> 12));
    out += static_cast<char>(0x80 | ((code_point >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code_point & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (code_point >> 18));
    out += static_cast<char>(0x80 | ((code_point >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code_point >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code_point & 0x3F));
  }
}

constexpr char32_t kReplacement = 0xFFFD;

}  // namespace

std::optional<Utf16Form> DetectUtf16(std::string_view head) {
  if (head.starts_with("\xFF\xFE")) return Utf16Form{ByteOrder::kLittleEndian, true};
  if (head.starts_with("\xFE\xFF")) return Utf16Form{ByteOrder::kBigEndian, true};
  head = head.substr(0, kUtf16SniffSize);
  if (head.size() < 4) return std::nullopt;
  std::size_t even = 0;  // NULs in the first byte of a unit
  std::size_t odd = 0;
  for (std::size_t pos = 0; pos < head.size(); ++pos) {
    if (head[pos] == '\0') ++(pos % 2 == 0 ? even : odd);
  }
  const std::size_t units = head.size() / 2;
  if (even == 0 && odd * 4 >= units) return Utf16Form{ByteOrder::kLittleEndian, false};
  if (odd == 0 && even * 4 >= units) return Utf16Form{ByteOrder::kBigEndian, false};
  return std::nullopt;
}

std::string Utf16ToUtf8(std::string_view bytes, ByteOrder order) {
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 2);
  std::size_t pos = 0;
  for (; pos + 1 < bytes.size(); pos += 2) {
    const char16_t unit = UnitAt(bytes, pos, order);
    if (IsHighSurrogate(unit) && pos + 3 < bytes.size()) {
      const char16_t low = UnitAt(bytes, pos + 2, order);
      if (IsLowSurrogate(low)) {
        AppendUtf8(0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00), out);
        pos += 2;
        continue;
      }
    }
    const bool lone = IsHighSurrogate(unit) || IsLowSurrogate(unit);
    AppendUtf8(lone ? kReplacement : unit, out);
  }
  if (pos < bytes.size()) AppendUtf8(kReplacement, out);
  return out;
}

std::size_t Utf16CompletePrefix(std::string_view bytes, ByteOrder order) {
  std::size_t whole = bytes.size() & ~std::size_t{1};
  if (whole >= 2 && IsHighSurrogate(UnitAt(bytes, whole - 2, order))) whole -= 2;
  return whole;
}

}  // namespace rekendo::text
