// What a screen reader is told about the drill's labels: each one's role as its name, and
// which changes are worth speaking up for while the learner's focus is on the keypad.
#pragma once

#include <string_view>

#include "drill_view.h"
#include "round_snapshot.h"

namespace rekendo {

// The label's role in words (UTF-8): 問題番号, 問題, 判定, 入力した答え, 得点, 残り秒数.
std::string_view AccessibleRole(Label label);

// Whether `label` now showing `sjis_text` is news to announce: a new problem, a verdict, the
// revealed answer, the round's judgement, or ten and zero seconds left of a limit (never
// while the seconds count up).
bool ShouldAnnounce(Label label, std::string_view sjis_text, const RoundSnapshot& round);

}  // namespace rekendo
