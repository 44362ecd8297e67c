// The round: ten questions, the countdown, the answer check, the score and the judgement.
#include <algorithm>
#include <string>

#include "answers.h"
#include "drill.h"
#include "sjis_texts.h"

namespace rekendo {

RoundSnapshot Drill::Snapshot() const {
  return {stage_,         question_number_, current_index_, elapsed_,
          time_limit_,    score_,           Closed(),       question_ == QuestionState::kRight,
          trivia_asked_,  typed_answer_,    accepted_answer_, bar_top_,
          bar_height_,    random_.state(),  panel_text_,    view_.TimerEnabled()};
}

void Drill::SetObserver(DrillObserver* observer) {
  observer_ = observer != nullptr ? observer : &silent_observer_;
}

void Drill::SetLabel(Label label, std::string_view text) {
  if (label == Label::ProblemPanel) {
    SetPanel(std::string(text));
    return;
  }
  view_.SetLabelText(label, text);
}

void Drill::SetPanel(std::string text) {
  panel_text_ = std::move(text);
  view_.SetLabelText(Label::ProblemPanel, panel_text_);
}

void Drill::SetTimer(bool enabled) {
  // Re-enabling a running timer would restart its second; leave it alone.
  if (view_.TimerEnabled() != enabled) view_.SetTimerEnabled(enabled);
}

void Drill::SetBar(std::int32_t top, std::int32_t height) {
  bar_top_ = top;
  bar_height_ = height;
  view_.SetBar(top, height);
}

void Drill::ShowQuestionNumber() {
  std::string text(sjis::kQuestionPrefix);
  text += std::to_string(question_number_);
  SetLabel(Label::QuestionNumber, text);
}

void Drill::CloseQuestion(QuestionState next, QuestionOutcome outcome) {
  const bool was_open = question_ == QuestionState::kOpen;
  question_ = next;
  if (was_open) {
    observer_->QuestionClosed({question_number_, outcome, typed_answer_, wrong_tries_, elapsed_});
  }
}

void Drill::LeaveRunningRound() {
  if (!round_open_) return;
  round_open_ = false;
  if (question_ == QuestionState::kOpen) {
    CloseQuestion(QuestionState::kLeftOpen, QuestionOutcome::kOpenAtEnd);
  }
  const auto judgement = std::clamp(score_ / kPointsPerQuestion, 0, kJudgementCount - 1);
  observer_->RoundEnded(RoundEnd::kAbandoned, score_, judgement);
}

void Drill::Abandon() { LeaveRunningRound(); }

void Drill::ResetRound() {
  SetTimer(false);
  question_number_ = 0;
  score_ = 0;
  stage_ = Stage::kRunning;
  SetLabel(Label::Score, sjis::kZeroPoints);
}

void Drill::StartRound() {
  // A round that a failed load emptied the bank under ends here for observers, although no
  // new round can start over an empty bank.
  LeaveRunningRound();
  if (stage_ < Stage::kReady || bank_.problem_count <= 0) return;
  ResetRound();
  trivia_asked_ = false;
  round_open_ = true;
  round_limit_ = limit_setting_;
  if (round_limit_ && *round_limit_ <= 0) round_limit_.reset();
  observer_->RoundStarted({round_limit_.value_or(0)});
  NextQuestion();
}

void Drill::NextQuestion() {
  if (stage_ < Stage::kRunning || bank_.problem_count <= 0) return;
  CloseQuestion(QuestionState::kNone, QuestionOutcome::kLeft);
  SetLabel(Label::Verdict, {});
  SetLabel(Label::AnswerLine, {});
  typed_answer_.clear();
  ++question_number_;
  if (question_number_ > kQuestionsPerRound) {
    EndRound();
  } else {
    AskQuestion();
  }
}

void Drill::AskQuestion() {
  if (bank_.problem_count <= 0) return;
  ShowQuestionNumber();
  // The draw comes first, for every question, even where it cannot matter.
  const std::uint32_t chance = random_.RandomBelow(10);
  const bool trivia =
      !(chance < 7 || question_number_ == 1 || trivia_asked_) && bank_.trivia_count > 0;
  QuestionKind kind = QuestionKind::kProblem;
  if (trivia) {
    current_index_ = 1 + static_cast<std::int32_t>(random_.RandomBelow(bank_.trivia_count));
    SetPanel(bank_.trivia_text[current_index_]);
    accepted_answer_ = bank_.trivia_answer[current_index_];
    trivia_asked_ = true;
    kind = bank_.trivia_has_choices[current_index_] ? QuestionKind::kMultipleChoice
                                                    : QuestionKind::kTrivia;
  } else {
    current_index_ = 1 + static_cast<std::int32_t>(random_.RandomBelow(bank_.problem_count));
    SetPanel(bank_.problem_text[current_index_]);
    accepted_answer_ = bank_.problem_answer[current_index_];
  }
  // Without a limit there is no bar and the label counts the seconds up from 0.
  time_limit_ = round_limit_.value_or(0);
  counting_up_ = !round_limit_;
  SetLabel(Label::SecondsLeft, std::to_string(time_limit_));
  SetBar(BarFrame::kTop + BarFrame::kHeight, 0);
  elapsed_ = 0;
  SetTimer(true);
  question_ = QuestionState::kOpen;
  wrong_tries_ = 0;
  observer_->QuestionAsked({question_number_, kind, current_index_, panel_text_, accepted_answer_});
}

void Drill::Tick() {
  // Before the first question there is nothing to count down (and no step to divide by).
  if (counting_up_) {
    if (question_ != QuestionState::kOpen) return;
    ++elapsed_;
    SetLabel(Label::SecondsLeft, std::to_string(elapsed_));
    return;
  }
  if (time_limit_ <= 0) return;
  ++elapsed_;
  SetLabel(Label::SecondsLeft, std::to_string(time_limit_ - elapsed_));
  const std::int32_t step = BarFrame::kHeight / time_limit_;
  SetBar(bar_top_ - step, step * elapsed_);
  if (elapsed_ >= time_limit_) SubmitAnswer();
}

void Drill::SubmitAnswer() {
  if (stage_ < Stage::kRunning || Closed()) return;

  const bool right = text::IsAcceptedAnswer(accepted_answer_, typed_answer_);
  observer_->AnswerChecked(typed_answer_, right);

  if (right) {
    SetLabel(Label::Verdict, sjis::kCorrect);
    SetTimer(false);
    score_ += kPointsPerQuestion;
    std::string score = std::to_string(score_);
    score += sjis::kPoints;
    SetLabel(Label::Score, score);
    CloseQuestion(QuestionState::kRight, QuestionOutcome::kRight);
  } else {
    SetLabel(Label::Verdict, sjis::kWrong);
    if (TimeLeft()) {
      ++wrong_tries_;
      typed_answer_.clear();
      SetLabel(Label::AnswerLine, {});
    } else {
      SetTimer(false);
      CloseQuestion(QuestionState::kTimedOut, QuestionOutcome::kWrongAtTimeUp);
    }
  }
  if (!view_.TimerEnabled()) RevealAnswer();
}

void Drill::RevealAnswer() {
  ShowQuestionNumber();
  if (text::HasSeveralAnswers(accepted_answer_)) {
    std::string joined;
    joined.reserve(accepted_answer_.size());
    for (const char byte : accepted_answer_) {
      if (byte == text::kAnswerSeparator) {
        joined += sjis::kOr;
      } else {
        joined += byte;
      }
    }
    accepted_answer_ = std::move(joined);
  }
  std::string text;
  text.reserve(panel_text_.size() + accepted_answer_.size() + 16);
  text += panel_text_;
  text += sjis::kLineBreak;
  text += sjis::kLineBreak;
  text += sjis::kAnswerIs;
  text += sjis::kLineBreak;
  text += sjis::kLineBreak;
  text += accepted_answer_;
  SetPanel(std::move(text));
}

void Drill::EndRound() {
  SetTimer(false);
  stage_ = Stage::kReady;
  const auto judgement = std::clamp(score_ / kPointsPerQuestion, 0, kJudgementCount - 1);
  std::string text(sjis::kFinalHeading);
  text += bank_.judgement_text[static_cast<std::size_t>(judgement)];
  SetPanel(std::move(text));
  if (!round_open_) return;
  round_open_ = false;
  observer_->RoundEnded(RoundEnd::kFinished, score_, judgement);
}

}  // namespace rekendo
