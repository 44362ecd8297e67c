// The answer keypad: every key's name, caption, place and the Shift-JIS character it types.
// The window builds its buttons from this table and the file checker takes the typable
// characters from it, so the two can never disagree.
#pragma once

#include <array>
#include <string_view>

namespace rekendo {

enum class KeyRole { Character, Clear, Submit };

struct KeyDef {
  std::string_view object_name;
  std::string_view caption;  // UTF-8, as drawn on the key
  int caption_height;        // character height in pixels
  int left, top, width, height;
  int tab_order;
  KeyRole role;
  std::string_view sjis;             // the two bytes a character key appends
  std::string_view accessible_name;  // UTF-8
  bool red_caption = false;
};

inline constexpr int kKeyCount = 29;
extern const std::array<KeyDef, kKeyCount> kKeypad;

// The key that types `two_bytes`, or nullptr when no key does.
const KeyDef* FindKeyTyping(std::string_view two_bytes);

}  // namespace rekendo
