// Plays one Drill the way the window would, from any sequence of operations, and checks after
// every step that the invariants hold and that each operation had its defined outcome. The
// round fuzzer and the soak test only decide which operations come; this does the rest.
#pragma once

#include <sys/stat.h>

#include <cstdint>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "drill.h"
#include "drill_invariants.h"
#include "fake_view.h"
#include "io_error.h"
#include "temp_files.h"

namespace rekendo::testing {

// What the file dialog hands back.
enum class Pick { Memory, Deleted, Missing, Folder, Fifo, Device };
inline constexpr int kPickCount = 6;

// Things that are not problem files, made once per process.
class HostilePaths {
 public:
  static const HostilePaths& Get() {
    static const HostilePaths paths;
    return paths;
  }
  std::string For(Pick pick) const {
    switch (pick) {
      case Pick::Folder:
        return dir_.path().string();
      case Pick::Fifo:
        return dir_.Path("fifo");
      case Pick::Device:
        return "/dev/null";
      case Pick::Deleted: {
        // Exists while the dialog shows it, gone by the time the drill opens it.
        const std::string path = dir_.Write("gone.mon", "q\na\n");
        std::filesystem::remove(path);
        return path;
      }
      default:
        return dir_.Path("missing.mon");
    }
  }

 private:
  HostilePaths() { ::mkfifo(dir_.Path("fifo").c_str(), 0600); }
  TempDir dir_;
};

class DrillSession {
 public:
  explicit DrillSession(std::uint32_t clock)
      : drill_(std::make_unique<Drill>(view_, [clock] { return clock; })) {
    drill_->SetRandomState(clock);
  }

  // 問題選択: the dialog returns `pick` (for Pick::Memory a file holding `bytes`) after
  // `ticks` timer events arrived while it was open.
  void ChooseProblemFile(Pick pick, std::string_view bytes, int ticks) {
    std::optional<Snapshot> before;
    RunDialog([&]() -> std::optional<DataSource> {
      Ticks(ticks);
      before = Snapshot::Of(*drill_, view_);
      return pick == Pick::Memory ? DataSource::Bytes(std::string(bytes))
                                  : DataSource(HostilePaths::Get().For(pick));
    });
    if (!ok() || !before) return;
    const int expected_error = pick == Pick::Memory ? 0
                               : pick == Pick::Deleted || pick == Pick::Missing
                                   ? io_code::kFileNotFound
                                   : io_code::kAccessDenied;
    if (last_error_ != expected_error) {
      Fail("problem pick " + std::to_string(static_cast<int>(pick)) + " gave error " +
           std::to_string(last_error_));
    } else if (last_error_ != 0 &&
               (!(Snapshot::Of(*drill_, view_) == *before) || drill_->Bank().problem_count != 0)) {
      Fail("a refused problem file changed the round");
    } else if (last_error_ == 0 && (drill_->Snapshot().stage != Stage::kReady || drill_->Snapshot().question_number != 0 ||
                                    drill_->Snapshot().score != 0 || view_.timer_enabled)) {
      Fail("a loaded problem file did not reset the round");
    }
  }

  void CancelDialog(int ticks) {
    RunDialog([&] {
      Ticks(ticks);
      return std::optional<std::string>();
    });
    if (ok() && (drill_->Bank().problem_count != 0 || drill_->Snapshot().stage != Stage::kReady || view_.timer_enabled)) {
      Fail("a cancelled dialog did not leave an empty bank and a stopped round");
    }
  }

  // The data files of the first activation; with `trivia_missing` the trivia file is absent.
  void LoadData(std::string_view judgement, std::string_view trivia, bool trivia_missing) {
    last_error_ = 0;
    try {
      drill_->LoadDataFiles(DataSource::Bytes(std::string(judgement)),
                            trivia_missing ? DataSource(HostilePaths::Get().For(Pick::Missing))
                                           : DataSource::Bytes(std::string(trivia)));
    } catch (const IoError& error) {
      last_error_ = error.code();
    }
    Check("data load");
    if (trivia_missing && (last_error_ != io_code::kFileNotFound || drill_->Bank().trivia_count != 0)) {
      Fail("a missing trivia file did not empty the trivia bank");
    }
    if (!trivia_missing && last_error_ != 0) Fail("a data file in memory failed to load");
  }

  void Start() {
    const auto no = drill_->Snapshot().question_number;
    const bool can_start = drill_->Snapshot().stage >= Stage::kReady && drill_->Bank().problem_count > 0;
    drill_->StartRound();
    Check("start");
    if (!can_start && drill_->Snapshot().question_number != no) Fail("start over an empty bank moved the round");
    if (can_start) CheckFreshQuestion();
  }

  void Next() {
    const auto no = drill_->Snapshot().question_number;
    const bool can_go_on = drill_->Snapshot().stage == Stage::kRunning && drill_->Bank().problem_count > 0;
    drill_->NextQuestion();
    Check("next");
    if (!can_go_on && drill_->Snapshot().question_number != no) Fail("next without a round moved the round");
    if (can_go_on && drill_->Snapshot().question_number <= kQuestionsPerRound) CheckFreshQuestion();
  }

  // Keypad presses: any bytes, though a real key types two.
  void Type(std::string_view bytes) {
    drill_->AppendKey(bytes);
    Check("key");
  }
  // Types one "$"-piece of the accepted answer, as a learner who knows it would.
  void TypeAcceptedAnswer(std::size_t piece) {
    const RoundSnapshot round = drill_->Snapshot();  // the pieces point into it
    const auto pieces = text::SplitAnswers(round.accepted_answer);
    Type(std::string(pieces[piece % pieces.size()]));
  }

  void Clear() {
    drill_->ClearAnswer();
    Check("clear");
  }

  // 決定: scores exactly when the typed bytes equal one accepted piece.
  void Submit() {
    const RoundSnapshot before = drill_->Snapshot();  // the pieces point into it
    const bool open = before.stage == Stage::kRunning && !before.closed;
    bool right = false;
    for (const auto piece : text::SplitAnswers(before.accepted_answer)) {
      right = right || before.typed_answer == piece;
    }
    const auto score = before.score;
    drill_->SubmitAnswer();
    Check("submit");
    const auto expected = score + (open && right ? kPointsPerQuestion : 0);
    if (ok() && drill_->Snapshot().score != expected) {
      Fail("submit scored " + std::to_string(drill_->Snapshot().score - score) + " points");
    }
    if (ok() && open && right && !drill_->Snapshot().closed) Fail("a right answer left the question open");
  }

  // Timer events, only while the timer runs (as a real timer delivers them).
  void Ticks(int n) {
    for (int i = 0; i < n && view_.timer_enabled && ok(); ++i) {
      drill_->Tick();
      Check("tick");
    }
  }

  bool ok() const { return violation_.empty(); }
  const std::string& violation() const { return violation_; }
  const Drill& drill() const { return *drill_; }

 private:
  // The round state a refused file must leave alone.
  struct Snapshot {
    Stage stage;
    std::int32_t question_no, score, current_index, elapsed;
    bool closed, timer;
    static Snapshot Of(const Drill& d, const FakeView& v) {
      return {d.Snapshot().stage, d.Snapshot().question_number, d.Snapshot().score, d.Snapshot().current_index, d.Snapshot().elapsed, d.Snapshot().closed, v.timer_enabled};
    }
    bool operator==(const Snapshot&) const = default;
  };

  void RunDialog(const Drill::FileChooser& chooser) {
    last_error_ = 0;
    try {
      drill_->ChooseProblemFile(chooser);
    } catch (const IoError& error) {
      last_error_ = error.code();
    }
    Check("problem file pick");
  }

  void CheckFreshQuestion() {
    if (ok()) Fail(FreshQuestionViolation(*drill_));
  }

  void Check(std::string_view step) {
    if (!ok()) return;
    const std::string broken = DrillInvariantViolation(*drill_, view_);
    if (!broken.empty()) Fail(broken + " after " + std::string(step));
  }

  void Fail(std::string what) {
    if (ok()) violation_ = std::move(what);
  }

  FakeView view_;
  std::unique_ptr<Drill> drill_;
  int last_error_ = 0;
  std::string violation_;
};

}  // namespace rekendo::testing
