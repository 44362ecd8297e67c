// The drill: the question bank and the state of the round, with every operation the window
// calls. One Drill owns all of it; nothing is global, so tests build as many as they like.
//
// Names follow the window's handlers and the program's romanised operation names:
//   syokika      reset the round            syutsudai    set a question
//   seikaihyoji  reveal the accepted answer  mondaiowari  end of the round
//   kaitohyoji   show the typed answer
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "drill_view.h"
#include "random_source.h"

namespace rekendo {

inline constexpr int kMaxProblems = 1000;
inline constexpr int kMaxTrivia = 500;
inline constexpr int kJudgementCount = 11;
inline constexpr int kQuestionsPerRound = 10;
inline constexpr int kPointsPerQuestion = 10;
inline constexpr int kTicksPerQuestion = 40;

// Names of the two fixed data files, opened in the current folder.
inline constexpr const char* kJudgementFileName = "計算力判定文.han";
inline constexpr const char* kTriviaFileName = "計算力雑学.zat";

class Drill {
 public:
  // Runs the file-open dialog: the chosen path, or nothing when cancelled.
  using FileChooser = std::function<std::optional<std::string>()>;
  using Clock = std::function<std::uint32_t()>;

  explicit Drill(DrillView& view, Clock clock = &RandomSource::MillisecondsSinceUtcMidnight);

  // --- Loading ------------------------------------------------------------------------
  // Problem-file selection (the 問題選択 button): empties the panel, runs the dialog, reads
  // the chosen file and resets the round. Throws IoError at a failing step.
  void BitBtnsentakuClick(const FileChooser& choose_file);
  // The loading half of the window's first activation: reseeds, stops the timer, reads the
  // judgement and trivia files. Throws IoError at a failing step.
  void LoadDataFiles(const std::string& judgement_path = kJudgementFileName,
                     const std::string& trivia_path = kTriviaFileName);
  void SeedRandomFromClock() { Random.state = clock_(); }

  // --- The round ----------------------------------------------------------------------
  void syokika();
  void BitBtnkaisiClick();
  void BitBtnnextClick();
  void syutsudai();
  void Timer1Timer();
  void ButtonketteiClick();
  void seikaihyoji();
  void mondaiowari();

  // --- The answer keypad --------------------------------------------------------------
  // A character key: appends its two Shift-JIS bytes.
  void AppendKey(std::string_view key_bytes);
  // 取消
  void ButtonkesiClick();
  void kaitohyoji();

  // The problem panel's current text (Shift-JIS): the one label the drill reads back, since
  // the answer reveal extends it.
  const std::string& PanelText() const { return panel_text_; }
  bool TimerEnabled() const { return view_.TimerEnabled(); }

  // --- Question bank (index 0 of the problem and trivia tables is unused) --------------
  std::array<std::string, kMaxProblems + 1> ProblemText;
  std::array<std::string, kMaxProblems + 1> ProblemAnswer;
  std::int32_t ProblemCount = 0;
  std::array<std::string, kMaxTrivia + 1> TriviaText;
  std::array<std::string, kMaxTrivia + 1> TriviaAnswer;
  std::int32_t TriviaCount = 0;
  std::array<std::string, kJudgementCount> JudgementText;
  std::string ChoiceQuestion;  // scratch of the trivia load
  std::string AnswerWork;      // scratch of the trivia load and of the answer check

  // --- Round state ----------------------------------------------------------------------
  std::int32_t Stage = 0;  // 0 no file chosen, 1 file chosen or round over, 2 round running
  std::int32_t QuestionNo = 0;
  std::int32_t CurrentIndex = 0;
  std::int32_t Elapsed = 0;
  std::int32_t TimeLimit = 0;
  std::int32_t Score = 0;
  bool Closed = false;
  bool Scored = false;
  bool TriviaAsked = false;
  std::string AnswerInput;
  std::string CorrectAnswer;

  // --- Countdown bar (Shptimer) ---------------------------------------------------------
  std::int32_t BarTop = BarFrame::kTop + BarFrame::kHeight;
  std::int32_t BarHeight = 0;

  RandomSource Random;

 private:
  void SetLabel(Label label, std::string_view text);
  void SetPanel(std::string text);
  void SetTimer(bool enabled);
  void SetBar(std::int32_t top, std::int32_t height);
  void ShowQuestionNumber();

  DrillView& view_;
  Clock clock_;
  std::string panel_text_;
};

}  // namespace rekendo
