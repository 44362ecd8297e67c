// The on-screen answer keypad, built from the engine's key table.
#pragma once

#include <QPushButton>
#include <functional>
#include <vector>

#include "keypad_table.h"

namespace rekendo {

// A push button that Enter presses as well as Space, as a keypad key should.
class KeyButton : public QPushButton {
 public:
  using QPushButton::QPushButton;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
};

// Creates every key of kKeypad on `parent` and calls `on_click` with the key's table row
// when it is pressed. The buttons are returned in table order.
std::vector<QPushButton*> BuildKeypad(QWidget* parent,
                                      const std::function<void(const KeyDef&)>& on_click);

}  // namespace rekendo
