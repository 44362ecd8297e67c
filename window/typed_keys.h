// The physical keyboard's keys that stand for keypad keys, when the learner chooses to type:
// half-width digits, a b c l m n x y z, + - ( ) / . ^, r for √, Enter for 決定, Escape for
// 取消. They press the keypad's own key, so what is typed is the engine's bytes.
#pragma once

#include <QString>
#include <Qt>

#include "keypad_table.h"

namespace rekendo {

// The keypad key a key press stands for, or nullptr. `text` is what the press types;
// presses with Ctrl, Alt or Meta stand for none.
const KeyDef* KeyForTyped(int qt_key, const QString& text, Qt::KeyboardModifiers modifiers);

}  // namespace rekendo
