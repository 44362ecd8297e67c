#include "answer_check.h"

#include <algorithm>
#include <string>
#include <vector>

#include "answers.h"
#include "cp932.h"
#include "cp932_chars.h"
#include "keypad_forms.h"
#include "multiple_choice.h"

namespace rekendo::checker {
namespace {

std::string UntypableMessage(std::string_view piece, std::string_view character) {
  std::string message =
      "答え「" + Excerpt(piece) + "」の" + CharLabel(character) + "はキーパッドで入力できません";
  const std::string_view form = KeypadFormFor(character);
  if (form.empty()) return message + "（キーパッドに代わりの文字はありません）";
  return message + "（「" + Printable(form) + "」を使ってください）";
}

}  // namespace

void CheckTypedAnswers(std::string_view answer, int line, FindingList& out) {
  const std::vector<std::string_view> pieces = text::SplitAnswers(answer);
  const bool has_empty = std::any_of(pieces.begin(), pieces.end(),
                                     [](std::string_view piece) { return piece.empty(); });
  if (has_empty) {
    const std::string where = pieces.size() == 1
                                  ? "答えが空です"
                                  : "答え「" + Excerpt(answer) + "」に空の答えがあります";
    out.Add(FindingCode::kEmptyAnswer, line,
            where + "（時間切れで何も入力していなくても正解になります）");
  }
  // Each character once per line: "12$12" is one mistake per character, not four.
  std::vector<std::string_view> reported;
  std::string_view previous;
  for (const std::string_view piece : pieces) {
    for (std::size_t pos = 0; pos < piece.size();) {
      const std::string_view character = piece.substr(pos, text::CharLength(piece, pos));
      pos += character.size();
      // A run of one character is decided once: a huge line costs no more than its length.
      if (character == previous) continue;
      previous = character;
      // Bytes that are not CP932 are reported as such, once, for the whole line.
      if (!text::IsValidCp932(character) || IsTypable(character)) continue;
      if (std::find(reported.begin(), reported.end(), character) != reported.end()) continue;
      reported.push_back(character);
      if (!out.Wants(FindingCode::kUntypable)) {
        out.Count(FindingCode::kUntypable, line, 1);
        continue;
      }
      out.Add(FindingCode::kUntypable, line, UntypableMessage(piece, character));
    }
  }
}

void CheckChoices(std::string_view answer, int line, FindingList& out) {
  const std::vector<std::string_view> choices = text::SplitAnswers(answer);
  const auto shown = std::min<std::size_t>(choices.size(), kMaxChoices);
  if (choices[0].empty()) {
    out.Add(FindingCode::kEmptyChoice, line, "選択肢の正解（最初の選択肢）が空です");
  }
  for (std::size_t k = 1; k < shown; ++k) {
    if (choices[k].empty()) {
      out.Add(FindingCode::kEmptyChoice, line,
              "選択肢の " + std::to_string(k + 1) + " 番目が空です（「$」の前後を確かめてください）");
    }
  }
  if (choices.size() > kMaxChoices) {
    out.Add(FindingCode::kTooManyChoices, line,
            "選択肢が " + std::to_string(choices.size()) + " 個あります。表示されるのは最初の " +
                std::to_string(kMaxChoices) + " 個までです");
  }
}

}  // namespace rekendo::checker
