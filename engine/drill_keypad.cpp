// The answer buffer behind the on-screen keypad.
#include "drill.h"

namespace rekendo {

void Drill::AppendKey(std::string_view key_bytes) {
  typed_answer_ += key_bytes;
  ShowTypedAnswer();
}

void Drill::ClearAnswer() {
  typed_answer_.clear();
  ShowTypedAnswer();
}

void Drill::ShowTypedAnswer() {
  if (Closed()) return;
  if (stage_ <= Stage::kReady) {
    // No round running: typing is discarded and the line keeps what it showed.
    typed_answer_.clear();
    return;
  }
  SetLabel(Label::AnswerLine, typed_answer_);
}

}  // namespace rekendo
