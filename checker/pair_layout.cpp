#include "pair_layout.h"

#include "line_reader.h"

namespace rekendo::checker {

bool IsBlankPair(bool empty_question, std::optional<std::string_view> answer) {
  return empty_question && (!answer || answer->empty());
}

Placement PairLayout::Place(const TextLine& line) {
  const std::size_t index = lines_++;
  if (kind_ == FileKind::kJudgement) return {LineRole::kJudgement, index, 0};
  // The drill tests for the end before each pair; a Ctrl-Z there ends the file for it. It
  // looks at the next byte, this at the line without its CRs: they differ only for a pair that
  // begins with CRs and then Ctrl-Z, which --fix (dropping the CRs) turns into the end it
  // looks like, so the checker reports it as that end.
  if (!stop_ && index % 2 == 0 && line.text.starts_with(kCtrlZ)) stop_ = index;
  if (stop_) return {LineRole::kHidden, index, 0};
  const std::size_t pair = index / 2;
  if (index % 2 == 0) {
    ++pairs_;
    dangling_ = true;
    question_empty_ = line.text.empty();
    return {LineRole::kQuestion, index, pair};
  }
  dangling_ = false;
  Placement placed{LineRole::kAnswer, index, pair};
  if (IsBlankPair(question_empty_, line.text)) {
    placed.blank_pair = true;
    ++blank_run_;
  } else {
    placed.blank_pairs_before = blank_run_;
    blank_run_ = 0;
  }
  return placed;
}

std::size_t PairLayout::Finish() {
  if (!dangling_) {
    trailing_ = blank_run_;
    return 0;
  }
  if (IsBlankPair(question_empty_, std::nullopt)) {
    trailing_ = blank_run_ + 1;
    return 0;
  }
  trailing_ = 0;
  return blank_run_;
}

}  // namespace rekendo::checker
