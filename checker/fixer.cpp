#include "fixer.h"

#include "answers.h"
#include "cp932.h"
#include "cp932_chars.h"
#include "keypad_forms.h"
#include "line_reader.h"

namespace rekendo::checker {
namespace {

std::string Widen(std::string_view answer, int& widened) {
  std::string out;
  out.reserve(answer.size());
  bool after_lone_lead = false;
  for (std::size_t pos = 0; pos < answer.size();) {
    const std::string_view character = answer.substr(pos, text::CharLength(answer, pos));
    pos += character.size();
    const std::string_view form = FixedFormFor(character);
    // A broken lead byte would pair up with the first byte of the wide form and swallow it:
    // the character after one stays, so that fixing again changes nothing.
    const bool keep = form.empty() || after_lone_lead;
    after_lone_lead =
        character.size() == 1 && text::IsLeadByte(static_cast<unsigned char>(character[0]));
    if (keep) {
      out += character;
    } else {
      out += form;
      ++widened;
    }
  }
  return out;
}

}  // namespace

void Fixer::Line(const TextLine& line, const Placement& placed, bool in_blank_run) {
  if (placed.role == LineRole::kQuestion && !in_blank_run) run_mark_ = out_.size();
  if (placed.role == LineRole::kHidden) {
    if (!stop_mark_) stop_mark_ = out_.size();
    hidden_text_ = hidden_text_ || line.text.find_first_not_of(kCtrlZ) != std::string::npos;
  }
  // Choice lists are read, not typed; their text stays as written.
  const bool typed = placed.role == LineRole::kAnswer &&
                     !(kind_ == FileKind::kTrivia && text::HasSeveralAnswers(line.text));
  out_.Write(typed ? Widen(line.text, widened_) : line.text);
  out_.Write("\r\n");
}

void Fixer::Finish(const PairLayout& layout) {
  // What the drill never reads stays, and so do the blank pairs before it; a lone
  // end-of-file Ctrl-Z goes, with the blank pairs at the end.
  if (kind_ == FileKind::kJudgement || hidden_text_) return;
  took_back_ = layout.trailing_blank_pairs() > 0 || stop_mark_.has_value();
  if (layout.trailing_blank_pairs() > 0) {
    out_.TruncateTo(run_mark_);
    dropped_blank_pairs_ = static_cast<int>(layout.trailing_blank_pairs());
  } else if (stop_mark_) {
    out_.TruncateTo(*stop_mark_);
  }
}

}  // namespace rekendo::checker
