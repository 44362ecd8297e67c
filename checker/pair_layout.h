// Where each line of a data file stands for the drill: question or answer of which pair,
// past the Ctrl-Z where it stops reading, or a judgement line; and which pairs at the end
// are blank. The analysis and the fixer both follow this one layout, so they never disagree
// about which pairs are blank leftovers.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

#include "file_kind.h"
#include "source_lines.h"

namespace rekendo::checker {

// A pair that is blank from end to end: an empty question whose answer line is empty or
// missing. Blank pairs after the last real pair are what extra blank lines at the end of a
// file become; the drill would ask them as empty questions.
bool IsBlankPair(bool empty_question, std::optional<std::string_view> answer);

enum class LineRole { kQuestion, kAnswer, kHidden, kJudgement };

struct Placement {
  LineRole role;
  std::size_t index;  // 0-based line
  std::size_t pair;   // for a question or an answer
  bool blank_pair = false;  // an answer that completes a blank pair
  // An answer completing a real pair after blank ones: those were not leftovers after all.
  std::size_t blank_pairs_before = 0;
};

class PairLayout {
 public:
  explicit PairLayout(FileKind kind) : kind_(kind) {}

  Placement Place(const TextLine& line);
  // At the end of the file: how many blank pairs just before a last question without an
  // answer turned out not to be leftovers.
  std::size_t Finish();

  // Blank pairs since the last real one, not counting a question still waiting for its answer.
  bool InBlankRun() const { return blank_run_ > 0; }

  std::size_t lines() const { return lines_; }
  // The line where the drill stops reading a pair file (a Ctrl-Z where a pair begins).
  std::optional<std::size_t> stop() const { return stop_; }
  // Pairs the drill would load without its table limit, a last lone question included.
  std::size_t pairs() const { return pairs_; }
  // The last pair has no answer line.
  bool dangling_question() const { return dangling_; }
  bool dangling_question_blank() const { return dangling_ && question_empty_; }
  // After Finish(): blank pairs after the last real pair, and the first of them.
  std::size_t trailing_blank_pairs() const { return trailing_; }
  std::size_t first_trailing_pair() const { return pairs_ - trailing_; }

 private:
  FileKind kind_;
  std::size_t lines_ = 0;
  std::optional<std::size_t> stop_;
  std::size_t pairs_ = 0;
  bool dangling_ = false;
  bool question_empty_ = false;
  std::size_t blank_run_ = 0;
  std::size_t trailing_ = 0;
};

}  // namespace rekendo::checker
