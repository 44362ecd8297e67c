// The round: ten questions, the countdown, the answer check, the score and the judgement.
#include <algorithm>
#include <string>

#include "drill.h"
#include "sjis_texts.h"

namespace rekendo {

void Drill::SetLabel(Label label, std::string_view text) {
  if (label == Label::Mondai) {
    SetPanel(std::string(text));
    return;
  }
  view_.SetLabelText(label, text);
}

void Drill::SetPanel(std::string text) {
  panel_text_ = std::move(text);
  view_.SetLabelText(Label::Mondai, panel_text_);
}

void Drill::SetTimer(bool enabled) {
  // Re-enabling a running timer would restart its second; leave it alone.
  if (view_.TimerEnabled() != enabled) view_.SetTimerEnabled(enabled);
}

void Drill::SetBar(std::int32_t top, std::int32_t height) {
  BarTop = top;
  BarHeight = height;
  view_.SetBar(top, height);
}

void Drill::ShowQuestionNumber() {
  std::string text(sjis::kQuestionPrefix);
  text += std::to_string(QuestionNo);
  SetLabel(Label::Mnnumber, text);
}

void Drill::syokika() {
  SetTimer(false);
  QuestionNo = 0;
  Score = 0;
  Stage = 2;
  SetLabel(Label::Tokuten, sjis::kZeroPoints);
}

void Drill::BitBtnkaisiClick() {
  // No round over an empty problem bank.
  if (Stage < 1 || ProblemCount <= 0) return;
  syokika();
  TriviaAsked = false;
  BitBtnnextClick();
}

void Drill::BitBtnnextClick() {
  if (Stage < 2 || ProblemCount <= 0) return;
  SetLabel(Label::Hyoji, {});
  SetLabel(Label::Kaitoran, {});
  AnswerInput.clear();
  Scored = false;
  Closed = false;
  ++QuestionNo;
  if (QuestionNo > kQuestionsPerRound) {
    mondaiowari();
  } else {
    syutsudai();
  }
}

void Drill::syutsudai() {
  if (ProblemCount <= 0) return;
  ShowQuestionNumber();
  // The draw comes first, for every question, even where it cannot matter.
  const std::uint32_t chance = Random.RandomBelow(10);
  const bool trivia = !(chance < 7 || QuestionNo == 1 || TriviaAsked) && TriviaCount > 0;
  if (trivia) {
    CurrentIndex = 1 + static_cast<std::int32_t>(Random.RandomBelow(TriviaCount));
    SetPanel(TriviaText[CurrentIndex]);
    CorrectAnswer = TriviaAnswer[CurrentIndex];
    TriviaAsked = true;
  } else {
    CurrentIndex = 1 + static_cast<std::int32_t>(Random.RandomBelow(ProblemCount));
    SetPanel(ProblemText[CurrentIndex]);
    CorrectAnswer = ProblemAnswer[CurrentIndex];
  }
  TimeLimit = kTicksPerQuestion;
  SetLabel(Label::Timer, std::to_string(TimeLimit));
  SetBar(BarFrame::kTop + BarFrame::kHeight, 0);
  Elapsed = 0;
  SetTimer(true);
}

void Drill::Timer1Timer() {
  // Before the first question there is nothing to count down (and no step to divide by).
  if (TimeLimit <= 0) return;
  ++Elapsed;
  SetLabel(Label::Timer, std::to_string(TimeLimit - Elapsed));
  const std::int32_t step = BarFrame::kHeight / TimeLimit;
  SetBar(BarTop - step, step * Elapsed);
  if (Elapsed >= TimeLimit) ButtonketteiClick();
}

void Drill::ButtonketteiClick() {
  if (Stage < 2 || Closed) return;

  // Try each "$"-separated piece from the left; AnswerWork ends at the piece where the
  // search stopped, as the step-by-step cutting leaves it.
  const std::string_view accepted = CorrectAnswer;
  std::size_t piece = 0;
  for (auto dollar = accepted.find('$'); dollar != std::string_view::npos;
       dollar = accepted.find('$', piece)) {
    if (AnswerInput == accepted.substr(piece, dollar - piece)) {
      Closed = true;
      break;
    }
    piece = dollar + 1;
  }
  AnswerWork.assign(accepted.substr(piece));
  if (AnswerInput == AnswerWork) Closed = true;

  if (Closed) {
    SetLabel(Label::Hyoji, sjis::kCorrect);
    if (!Scored) {
      SetTimer(false);
      Score += kPointsPerQuestion;
      Scored = true;
      std::string score = std::to_string(Score);
      score += sjis::kPoints;
      SetLabel(Label::Tokuten, score);
    }
  } else {
    SetLabel(Label::Hyoji, sjis::kWrong);
    if (Elapsed < TimeLimit) {
      AnswerInput.clear();
      SetLabel(Label::Kaitoran, {});
    } else {
      SetTimer(false);
      Closed = true;
    }
  }
  if (!view_.TimerEnabled()) seikaihyoji();
}

void Drill::seikaihyoji() {
  ShowQuestionNumber();
  if (CorrectAnswer.find('$') != std::string::npos) {
    std::string joined;
    joined.reserve(CorrectAnswer.size());
    for (const char byte : CorrectAnswer) {
      if (byte == '$') {
        joined += sjis::kOr;
      } else {
        joined += byte;
      }
    }
    CorrectAnswer = std::move(joined);
  }
  std::string text;
  text.reserve(panel_text_.size() + CorrectAnswer.size() + 16);
  text += panel_text_;
  text += sjis::kLineBreak;
  text += sjis::kLineBreak;
  text += sjis::kAnswerIs;
  text += sjis::kLineBreak;
  text += sjis::kLineBreak;
  text += CorrectAnswer;
  SetPanel(std::move(text));
}

void Drill::mondaiowari() {
  SetTimer(false);
  Stage = 1;
  const auto judgement = std::clamp(Score / kPointsPerQuestion, 0, kJudgementCount - 1);
  std::string text(sjis::kFinalHeading);
  text += JudgementText[static_cast<std::size_t>(judgement)];
  SetPanel(std::move(text));
}

}  // namespace rekendo
