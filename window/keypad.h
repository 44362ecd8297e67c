// The on-screen answer keypad, built from the engine's key table.
#pragma once

#include <QPushButton>
#include <functional>
#include <vector>

#include "keypad_table.h"
#include "scale.h"

namespace rekendo {

// Creates every key of kKeypad on `parent`, placed and sized by `scale`, and calls
// `on_click` with the key's table row when it is pressed. The buttons are returned in table
// order.
std::vector<QPushButton*> BuildKeypad(QWidget* parent, const Scale& scale,
                                      const std::function<void(const KeyDef&)>& on_click);

}  // namespace rekendo
