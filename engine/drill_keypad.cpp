// The answer buffer behind the on-screen keypad.
#include "drill.h"

namespace rekendo {

void Drill::AppendKey(std::string_view key_bytes) {
  AnswerInput += key_bytes;
  kaitohyoji();
}

void Drill::ButtonkesiClick() {
  AnswerInput.clear();
  kaitohyoji();
}

void Drill::kaitohyoji() {
  if (Closed) return;
  if (Stage <= 1) {
    // No round running: typing is discarded and the line keeps what it showed.
    AnswerInput.clear();
    return;
  }
  SetLabel(Label::Kaitoran, AnswerInput);
}

}  // namespace rekendo
