// The drill: rounds of ten questions over a question bank, a 40-second countdown each, 10
// points a right answer and a judgement at the end. One Drill owns its bank and its round;
// nothing is global, so tests build as many as they like.
//
// How to drive it: give it a DrillView (the labels, the timer switch and the bar; a fake one
// records them) and, if you like, a clock (LoadDataFiles seeds the random source from it).
// Then call the commands a user or the timer causes, in any order:
//   LoadDataFiles       the window's first activation: judgement and trivia files
//   ChooseProblemFile   問題選択, through a chooser callback (which may deliver ticks while it
//                       runs, as the real dialog does)
//   StartRound, NextQuestion, SubmitAnswer, ClearAnswer, AppendKey, Tick, Abandon
// Read everything back through Snapshot() (every counter, flag, text, the bar and the random
// state) and Bank() (the tables); SetRandomState replays a session and SetObserver lets a
// record listen. Nothing outside writes the round's state. The names older descriptions use
// are mapped in docs/names.md.
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

// What the last problem file loaded looked like, beyond the pairs in the bank.
struct LoadSummary {
  std::string content_sha256;  // of the bytes read (see LoadedFile); empty with no observer
  std::string head;            // the first bytes, for telling what kind of file it was
  std::int64_t pairs_left_out = 0;   // pairs past the table, not loaded
  bool all_left_out_counted = true;  // false when the count stopped (a huge file)
  bool read_as_utf8 = false;         // the file was UTF-8 and its lines were converted
};

// How far past a full table the drill counts what it leaves out.
inline constexpr std::uint64_t kCountedBytesLeft = 64 << 20;

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

  // --- The round ----------------------------------------------------------------------
  void StartRound();
  void NextQuestion();
  // One second of the countdown.
  void Tick();
  void SubmitAnswer();
  // The program is closing: a running round is recorded as left (observers only).
  void Abandon();

  // --- The answer keypad --------------------------------------------------------------
  // A character key: appends its two Shift-JIS bytes.
  void AppendKey(std::string_view key_bytes);
  void ClearAnswer();

  // --- Reading the state --------------------------------------------------------------
  RoundSnapshot Snapshot() const;
  const QuestionBank& Bank() const { return bank_; }
  // The problem file of the last successful load.
  const LoadSummary& LastLoad() const { return last_load_; }
  // The problem panel's current text (Shift-JIS): the one label the drill reads back, since
  // the answer reveal extends it.
  const std::string& PanelText() const { return panel_text_; }
  bool TimerEnabled() const { return view_.TimerEnabled(); }

  // Replays a session: every draw follows from this state.
  void SetRandomState(std::uint32_t state) { random_.Reseed(state); }
  // The seconds each question of rounds started from now on allows; nothing for no limit
  // (the seconds label then counts up and nothing times out). kTicksPerQuestion unless set.
  void SetTimeLimit(std::optional<std::int32_t> seconds) { limit_setting_ = seconds; }
  // `observer` (not owned) hears of each question and round; nullptr for none.
  void SetObserver(DrillObserver* observer);

 private:
  // Where the question on the panel stands. `closed` and `scored` of the snapshot are read
  // from it, and so is whether an observer still has to hear of the question's close.
  enum class QuestionState {
    kNone,      // nothing asked since Next Question
    kOpen,      // asked, and neither answered right nor timed out
    kLeftOpen,  // open when its round was left (another file, the program closing): the
                // observer has heard it close, the screen still takes an answer
    kRight,     // answered right: closed and scored
    kTimedOut,  // time ran out on a wrong answer: closed, no points
  };

  // The steps the commands are made of.
  void ResetRound();
  void AskQuestion();
  void RevealAnswer();
  void EndRound();
  void ShowTypedAnswer();

  void SetLabel(Label label, std::string_view text);
  void SetPanel(std::string text);
  void SetTimer(bool enabled);
  void SetBar(std::int32_t top, std::int32_t height);
  void ShowQuestionNumber();
  // Moves the question to `next`, telling the observer how it closed when it was open.
  void CloseQuestion(QuestionState next, QuestionOutcome outcome);
  void LeaveRunningRound();
  // Whether the open question can still be answered again after a wrong try.
  bool TimeLeft() const { return !round_limit_ || elapsed_ < time_limit_; }
  bool Closed() const {
    return question_ == QuestionState::kRight || question_ == QuestionState::kTimedOut;
  }

  DrillView& view_;
  Clock clock_;
  DrillObserver silent_observer_;
  DrillObserver* observer_ = &silent_observer_;
  QuestionBank bank_;
  LoadSummary last_load_;
  RandomSource random_;
  std::string panel_text_;

  Stage stage_ = Stage::kNoFile;
  std::int32_t question_number_ = 0;
  std::int32_t current_index_ = 0;
  std::int32_t elapsed_ = 0;
  std::int32_t time_limit_ = 0;
  std::optional<std::int32_t> limit_setting_ = kTicksPerQuestion;
  std::optional<std::int32_t> round_limit_ = kTicksPerQuestion;  // the running round's
  bool counting_up_ = false;  // an untimed question is open and its seconds count
  std::int32_t score_ = 0;
  QuestionState question_ = QuestionState::kNone;
  bool trivia_asked_ = false;
  std::string typed_answer_;
  std::string accepted_answer_;
  std::int32_t bar_top_ = BarFrame::kTop + BarFrame::kHeight;
  std::int32_t bar_height_ = 0;

  // A round observers heard start has not ended. Not the stage: closing the program leaves
  // the stage as it is.
  bool round_open_ = false;
  std::int32_t wrong_tries_ = 0;
};

}  // namespace rekendo
