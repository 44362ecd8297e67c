// The drill: one round of ten questions over a question bank, with every operation the
// window calls. One Drill owns its bank and its round; nothing is global, so tests build as
// many as they like.
//
// What a test, tool or independent model of the drill can do through this interface:
// build a round with any DrillView (a fake one records label texts, the timer switch and the
// bar) and an injected clock (LoadDataFiles seeds the random source from it); set the random
// state; load the data files from paths or memory and a problem file through a chooser
// callback (which may deliver ticks while it runs, as the real dialog does); call every operation; read every
// counter, flag, text and the random state through Snapshot(), the tables through Bank().
// Nothing outside writes the round's state.
//
// Names used by older descriptions of the drill, and what they are called here:
//   TForm1 / Form1 (rekendoscr)  MainWindow (window/main_window.h)
//   BitBtnsentakuClick   ChooseProblemFile     FormActivate (loading)  LoadDataFiles
//   syokika              ResetRound            BitBtnkaisiClick        StartRound
//   BitBtnnextClick      NextQuestion          syutsudai               AskQuestion
//   Timer1Timer          Tick                  ButtonketteiClick       SubmitAnswer
//   seikaihyoji          RevealAnswer          mondaiowari             EndRound
//   Button0Click …       AppendKey             ButtonkesiClick         ClearAnswer
//   kaitohyoji           ShowTypedAnswer       sentakumondai           MakeMultipleChoice
//   Stage, QuestionNo, CurrentIndex, Elapsed, TimeLimit, Score        RoundSnapshot::stage,
//     question_number, current_index, elapsed, time_limit, score
//   Closed, Scored, TriviaAsked          RoundSnapshot::closed, scored, trivia_asked
//   AnswerInput, CorrectAnswer           RoundSnapshot::typed_answer, accepted_answer
//   ProblemText, ProblemAnswer, ProblemCount, TriviaText, TriviaAnswer, TriviaCount,
//     JudgementText                      QuestionBank::problem_text, … judgement_text
//   AnswerWork, ChoiceQuestion           locals of the answer check and the trivia load
//   Lblmnnumber, Lblmondai, Lblhyoji, Lblkaitoran, Lbltokuten, Lbltimer
//                                        Label::QuestionNumber, ProblemPanel, Verdict,
//                                        AnswerLine, Score, SecondsLeft
//   Lblsyomei            the credit line          Bvl…  the frames of those labels
//   Shptimer, Bvltimer   the countdown bar and its frame
//   BitBtnsentaku, BitBtnkaisi, BitBtnnext, BitBtnsyuryo
//                        the choose-file, start, next and quit buttons
//   Buttonkettei, Buttonkesi             the submit and clear keys
//   Timer1, OpenDialog1                  the countdown timer, the problem-file dialog
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "data_source.h"
#include "drill_observer.h"
#include "drill_view.h"
#include "question_bank.h"
#include "random_source.h"
#include "round_snapshot.h"

namespace rekendo {

inline constexpr int kQuestionsPerRound = 10;
inline constexpr int kPointsPerQuestion = 10;
inline constexpr int kTicksPerQuestion = 40;

// Names of the two fixed data files, opened in the current folder.
inline constexpr const char* kJudgementFileName = "計算力判定文.han";
inline constexpr const char* kTriviaFileName = "計算力雑学.zat";

class Drill {
 public:
  // Runs the file-open dialog: the chosen file (a path, or bytes in memory), or nothing when
  // cancelled.
  using FileChooser = std::function<std::optional<DataSource>()>;
  using Clock = std::function<std::uint32_t()>;

  explicit Drill(DrillView& view, Clock clock = &RandomSource::MillisecondsSinceUtcMidnight);

  // --- Loading ------------------------------------------------------------------------
  // The choose-file button: empties the panel, runs the dialog, reads the chosen file and
  // resets the round. Throws IoError at a failing step.
  void ChooseProblemFile(const FileChooser& choose_file);
  // The first activation of the window: reseeds, stops the timer, reads the judgement and
  // trivia files. Throws IoError at a failing step.
  void LoadDataFiles(const DataSource& judgement = kJudgementFileName,
                     const DataSource& trivia = kTriviaFileName);
  void SeedRandomFromClock() { random_.Reseed(clock_()); }

  // --- The round ----------------------------------------------------------------------
  void ResetRound();
  void StartRound();
  void NextQuestion();
  void AskQuestion();
  // One second of the countdown.
  void Tick();
  void SubmitAnswer();
  void RevealAnswer();
  void EndRound();
  // The program is closing: a running round is recorded as left (observers only).
  void Abandon();

  // --- The answer keypad --------------------------------------------------------------
  // A character key: appends its two Shift-JIS bytes.
  void AppendKey(std::string_view key_bytes);
  void ClearAnswer();
  void ShowTypedAnswer();

  // --- Reading the state --------------------------------------------------------------
  RoundSnapshot Snapshot() const;
  const QuestionBank& Bank() const { return bank_; }
  // The problem panel's current text (Shift-JIS): the one label the drill reads back, since
  // the answer reveal extends it.
  const std::string& PanelText() const { return panel_text_; }
  bool TimerEnabled() const { return view_.TimerEnabled(); }

  // Replays a session: every draw follows from this state.
  void SetRandomState(std::uint32_t state) { random_.Reseed(state); }
  // `observer` (not owned) hears of each question and round; nullptr for none.
  void SetObserver(DrillObserver* observer);

 private:
  void SetLabel(Label label, std::string_view text);
  void SetPanel(std::string text);
  void SetTimer(bool enabled);
  void SetBar(std::int32_t top, std::int32_t height);
  void ShowQuestionNumber();
  void CloseOpenQuestion(QuestionOutcome outcome);
  void LeaveRunningRound();

  DrillView& view_;
  Clock clock_;
  DrillObserver silent_observer_;
  DrillObserver* observer_ = &silent_observer_;
  QuestionBank bank_;
  RandomSource random_;
  std::string panel_text_;

  std::int32_t stage_ = stage::kNoFile;
  std::int32_t question_number_ = 0;
  std::int32_t current_index_ = 0;
  std::int32_t elapsed_ = 0;
  std::int32_t time_limit_ = 0;
  std::int32_t score_ = 0;
  bool closed_ = false;
  bool scored_ = false;
  bool trivia_asked_ = false;
  std::string typed_answer_;
  std::string accepted_answer_;
  std::int32_t bar_top_ = BarFrame::kTop + BarFrame::kHeight;
  std::int32_t bar_height_ = 0;

  // For observers: a round they heard start has not ended; the question being asked is
  // open and has had this many wrong tries.
  bool round_open_ = false;
  bool question_open_ = false;
  std::int32_t wrong_tries_ = 0;
};

}  // namespace rekendo
