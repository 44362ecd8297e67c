// Where each key of the answer keypad sits and how it looks. The keys themselves, what they
// type and their names, are the engine's table (keypad_table.h); this one lists the same keys
// in the same order, checked when it compiles.
#pragma once

#include <array>
#include <string_view>

#include "keypad_table.h"

namespace rekendo {

struct KeyLook {
  std::string_view object_name;
  std::string_view caption;  // UTF-8, as drawn on the key
  int caption_height;        // character height in pixels
  int left, top, width, height;
  int tab_order;
  std::string_view accessible_name;  // UTF-8
  bool red_caption = false;
};

extern const std::array<KeyLook, kKeyCount> kKeypadLook;

// The look of `key`, a row of kKeypad.
const KeyLook& LookOf(const KeyDef& key);

}  // namespace rekendo
