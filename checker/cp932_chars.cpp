#include "cp932_chars.h"

#include <cstdio>

#include "cp932.h"

namespace rekendo::checker {

std::string Printable(std::string_view cp932) {
  const std::string utf8 = text::Cp932ToUtf8(cp932);
  std::string out;
  out.reserve(utf8.size());
  for (const char c : utf8) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F) {
      out += '^';
      out += static_cast<char>(byte ^ 0x40);
    } else {
      out += c;
    }
  }
  return out;
}

bool IsCp932Line(std::string_view line) {
  constexpr std::size_t kPiece = 64 * 1024;
  while (line.size() > kPiece) {
    // Cut between two characters: validity is decided character by character.
    std::size_t cut = 0;
    while (cut < kPiece) cut += text::CharLength(line, cut);
    if (!text::IsValidCp932(line.substr(0, cut))) return false;
    line.remove_prefix(cut);
  }
  return text::IsValidCp932(line);
}

std::string Excerpt(std::string_view cp932) {
  std::size_t end = 0;
  for (std::size_t count = 0; end < cp932.size() && count < kExcerptChars; ++count) {
    end += text::CharLength(cp932, end);
  }
  return end < cp932.size() ? Printable(cp932.substr(0, end)) + "…" : Printable(cp932);
}

std::string CharLabel(std::string_view character) {
  if (character == " ") return "半角スペース";
  if (character == "\x81\x40") return "全角スペース";
  if (character == "\t") return "タブ";
  if (character == "\x1A") return "Ctrl-Z（0x1A）";
  if (character.size() == 1) {
    const auto byte = static_cast<unsigned char>(character[0]);
    if (byte < 0x20 || byte == 0x7F) return "制御文字 " + HexBytes(character);
  }
  return "「" + Printable(character) + "」";
}

std::string HexBytes(std::string_view bytes) {
  std::string out;
  if (bytes.size() > kExcerptChars) return HexBytes(bytes.substr(0, kExcerptChars)) + " …";
  for (const char c : bytes) {
    char hex[8];
    std::snprintf(hex, sizeof hex, "0x%02X", static_cast<unsigned char>(c));
    if (!out.empty()) out += ' ';
    out += hex;
  }
  return out;
}

}  // namespace rekendo::checker
