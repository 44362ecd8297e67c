// The answer keypad's keys: each one's name, what it does and the Shift-JIS character it
// types. The window places and draws the keys (window/keypad_layout.h) and the file checker
// takes the typable characters from here, so the two can never disagree.
#pragma once

#include <array>
#include <string_view>

namespace rekendo {

enum class KeyRole { Character, Clear, Submit };

struct KeyDef {
  std::string_view object_name;
  KeyRole role;
  std::string_view sjis;  // the two bytes a character key appends; empty for the others
};

inline constexpr int kKeyCount = 29;

namespace keypad_rows {
constexpr KeyRole C = KeyRole::Character;
// Sized by its rows, so that a missing or extra row fails to compile instead of leaving a
// default key. The window's layout table lists the same keys in the same order.
// clang-format off
inline constexpr auto kRows = std::to_array<KeyDef>({
    {"key0", C, "\x82\x4F"},          {"key1", C, "\x82\x50"},     {"key2", C, "\x82\x51"},
    {"key3", C, "\x82\x52"},          {"key4", C, "\x82\x53"},     {"key5", C, "\x82\x54"},
    {"key6", C, "\x82\x55"},          {"key7", C, "\x82\x56"},     {"key8", C, "\x82\x57"},
    {"key9", C, "\x82\x58"},          {"keyX", C, "\x82\x98"},     {"keyY", C, "\x82\x99"},
    {"keyZ", C, "\x82\x9A"},          {"keyL", C, "\x82\x8C"},     {"keyM", C, "\x82\x8D"},
    {"keyN", C, "\x82\x8E"},          {"keyA", C, "\x82\x81"},     {"keyB", C, "\x82\x82"},
    {"keyC", C, "\x82\x83"},          {"keyPlus", C, "\x81\x7B"},  {"keyMinus", C, "\x81\x7C"},
    {"keyCloseParen", C, "\x81\x6A"}, {"keyOpenParen", C, "\x81\x69"},
    {"keyRoot", C, "\x81\xE3"},       {"keySlash", C, "\x81\x5E"}, {"keyPoint", C, "\x81\x44"},
    {"clearKey", KeyRole::Clear, {}}, {"submitKey", KeyRole::Submit, {}},
    {"keyPower", C, "\x81\x4F"},
});
// clang-format on
static_assert(kRows.size() == kKeyCount);
}  // namespace keypad_rows

inline constexpr std::array<KeyDef, kKeyCount> kKeypad = keypad_rows::kRows;

// The key that types `two_bytes`, or nullptr when no key does.
const KeyDef* FindKeyTyping(std::string_view two_bytes);

}  // namespace rekendo
