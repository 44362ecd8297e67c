#include "accessible_texts.h"

#include "drill.h"

namespace rekendo {

std::string_view AccessibleRole(Label label) {
  switch (label) {
    case Label::QuestionNumber:
      return "問題番号";
    case Label::ProblemPanel:
      return "問題";
    case Label::Verdict:
      return "判定";
    case Label::AnswerLine:
      return "入力した答え";
    case Label::Score:
      return "得点";
    case Label::SecondsLeft:
      return "残り秒数";
  }
  return {};
}

bool ShouldAnnounce(Label label, std::string_view sjis_text, const RoundSnapshot& round) {
  switch (label) {
    case Label::Verdict:
      return !sjis_text.empty();
    case Label::ProblemPanel:
      // A new problem, its revealed answer, and the round's judgement.
      return !sjis_text.empty() &&
             (round.stage == Stage::kRunning ||
              (round.stage == Stage::kReady && round.question_number > kQuestionsPerRound));
    case Label::SecondsLeft:
      return round.time_limit > 0 && round.elapsed > 0 &&
             (sjis_text == "10" || sjis_text == "0");
    default:
      return false;
  }
}

}  // namespace rekendo
