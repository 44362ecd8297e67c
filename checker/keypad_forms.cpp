#include "keypad_forms.h"

#include <string>
#include <vector>

#include "cp932.h"
#include "keypad_table.h"

namespace rekendo::checker {
namespace {

struct Alias {
  std::string from;  // CP932
  std::string_view to;
  bool fixable;
};

char32_t DecodeOne(std::string_view utf8) {
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(utf8[k]); };
  if (utf8.size() == 1) return byte(0);
  if (utf8.size() == 2) return (byte(0) & 0x1F) << 6 | (byte(1) & 0x3F);
  if (utf8.size() == 3) return (byte(0) & 0x0F) << 12 | (byte(1) & 0x3F) << 6 | (byte(2) & 0x3F);
  return 0;
}

std::string EncodeThreeBytes(char32_t code_point) {
  return {static_cast<char>(0xE0 | (code_point >> 12)),
          static_cast<char>(0x80 | ((code_point >> 6) & 0x3F)),
          static_cast<char>(0x80 | (code_point & 0x3F))};
}

// CP932 bytes of a UTF-8 character, or empty when Shift-JIS lacks it.
std::string ToCp932(std::string_view utf8) {
  text::Cp932Text converted = text::Utf8ToCp932(utf8);
  return converted.unmappable.empty() ? converted.bytes : std::string();
}

constexpr char32_t kFullWidthOffset = 0xFEE0;  // U+FF01..FF5E are ASCII 21..7E widened

std::vector<Alias> BuildAliases() {
  std::vector<Alias> aliases;
  std::string_view minus;
  for (const KeyDef& key : kKeypad) {
    if (key.role != KeyRole::Character) continue;
    const char32_t wide = DecodeOne(text::Cp932ToUtf8(key.sjis));
    if (wide < 0xFF01 || wide > 0xFF5E) continue;  // √ has no narrow twin
    const auto narrow = static_cast<char>(wide - kFullWidthOffset);
    aliases.push_back({std::string(1, narrow), key.sjis, true});
    if (narrow == '-') minus = key.sjis;
    if (narrow >= 'a' && narrow <= 'z') {
      // The keypad has no capitals; an "X" in an answer can only mean "ｘ".
      aliases.push_back({std::string(1, static_cast<char>(narrow - 'a' + 'A')), key.sjis, false});
      aliases.push_back({ToCp932(EncodeThreeBytes(wide - 0x20)), key.sjis, false});
    }
  }
  // Dashes that look like the keypad's minus: long vowel mark, hyphen, bar, narrow long
  // vowel mark. ("−" U+2212 is the keypad's own minus in CP932.)
  for (const std::string_view dash : {"ー", "‐", "―", "ｰ"}) {
    const std::string bytes = ToCp932(dash);
    if (!bytes.empty() && !minus.empty()) aliases.push_back({bytes, minus, true});
  }
  return aliases;
}

const Alias* FindAlias(std::string_view character) {
  static const std::vector<Alias> aliases = BuildAliases();
  for (const Alias& alias : aliases) {
    if (alias.from == character) return &alias;
  }
  return nullptr;
}

}  // namespace

bool IsTypable(std::string_view character) { return FindKeyTyping(character) != nullptr; }

std::string_view KeypadFormFor(std::string_view character) {
  const Alias* alias = FindAlias(character);
  return alias != nullptr ? alias->to : std::string_view();
}

std::string_view FixedFormFor(std::string_view character) {
  const Alias* alias = FindAlias(character);
  return alias != nullptr && alias->fixable ? alias->to : std::string_view();
}

}  // namespace rekendo::checker
