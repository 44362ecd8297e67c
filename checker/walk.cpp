#include "walk.h"

#include <optional>

#include "pair_layout.h"

namespace rekendo::checker {

Walked Walk(LineReader& reader, FileKind kind, ByteSink* fixed,
            std::function<void(std::string_view)> copy, const std::function<bool()>& give_up) {
  SourceLines source(reader, std::move(copy));
  PairLayout layout(kind);
  Analyser analyser(kind);
  std::optional<Fixer> fixer;
  if (fixed != nullptr) fixer.emplace(kind, *fixed);
  TextLine line;
  while (source.Next(line)) {
    const bool in_blank_run = layout.InBlankRun();
    const Placement placed = layout.Place(line);
    analyser.Line(line, placed);
    if (fixer) fixer->Line(line, placed, in_blank_run);
    if (give_up && give_up()) break;
  }
  Walked walked;
  walked.verdict = source.verdict();
  const std::size_t real_after_blanks = layout.Finish();
  walked.report = analyser.Finish(layout, real_after_blanks, walked.verdict);
  if (fixer) {
    fixer->Finish(layout);
    walked.widened = fixer->widened();
    walked.dropped_blank_pairs = fixer->dropped_blank_pairs();
    // Lines written back as they were read, each with the CR LF it had.
    const EncodingVerdict& verdict = walked.verdict;
    walked.fix_changes_nothing = verdict.encoding == Encoding::kCp932 && !verdict.cr_only &&
                                 verdict.all_crlf && walked.widened == 0 && !fixer->took_back();
  }
  return walked;
}

}  // namespace rekendo::checker
