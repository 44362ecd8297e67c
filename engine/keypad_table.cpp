#include "keypad_table.h"

namespace rekendo {

const KeyDef* FindKeyTyping(std::string_view two_bytes) {
  for (const KeyDef& key : kKeypad) {
    if (key.role == KeyRole::Character && key.sjis == two_bytes) return &key;
  }
  return nullptr;
}

}  // namespace rekendo
