// Which characters the answer keypad types, and which key an author most likely meant by a
// character it does not. The keys come from the keypad table; nothing here lists them again.
#pragma once

#include <string_view>

namespace rekendo::checker {

// True when a key types `character` (CP932 bytes).
bool IsTypable(std::string_view character);

// The keypad character meant by an untypable `character`: "1" → "１", "ー" → "－",
// "X" or "Ｘ" → "ｘ". Empty when no key comes close ("*", "×", "÷").
std::string_view KeypadFormFor(std::string_view character);

// What --fix writes for `character` in an answer: the same as KeypadFormFor but never a
// change of case, which could change the meaning. Empty when --fix leaves it alone.
std::string_view FixedFormFor(std::string_view character);

}  // namespace rekendo::checker
