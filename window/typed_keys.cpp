#include "typed_keys.h"

#include <array>
#include <string_view>
#include <utility>

namespace rekendo {

namespace {

const KeyDef* KeyNamed(std::string_view object_name) {
  for (const KeyDef& key : kKeypad) {
    if (key.object_name == object_name) return &key;
  }
  return nullptr;
}

// The typed character and the keypad key it stands for.
constexpr auto kTyped = std::to_array<std::pair<char, std::string_view>>({
    {'0', "key0"}, {'1', "key1"}, {'2', "key2"}, {'3', "key3"}, {'4', "key4"},
    {'5', "key5"}, {'6', "key6"}, {'7', "key7"}, {'8', "key8"}, {'9', "key9"},
    {'a', "keyA"}, {'b', "keyB"}, {'c', "keyC"}, {'l', "keyL"}, {'m', "keyM"},
    {'n', "keyN"}, {'x', "keyX"}, {'y', "keyY"}, {'z', "keyZ"}, {'+', "keyPlus"},
    {'-', "keyMinus"}, {'(', "keyOpenParen"}, {')', "keyCloseParen"}, {'/', "keySlash"},
    {'.', "keyPoint"}, {'^', "keyPower"}, {'r', "keyRoot"},
});

}  // namespace

const KeyDef* KeyForTyped(int qt_key, const QString& text, Qt::KeyboardModifiers modifiers) {
  if (modifiers & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return nullptr;
  if (qt_key == Qt::Key_Return || qt_key == Qt::Key_Enter) return KeyNamed("submitKey");
  if (qt_key == Qt::Key_Escape) return KeyNamed("clearKey");
  if (text.size() != 1) return nullptr;
  const char16_t typed = text.front().unicode();
  for (const auto& [character, name] : kTyped) {
    if (typed == static_cast<char16_t>(character)) return KeyNamed(name);
  }
  return nullptr;
}

}  // namespace rekendo
