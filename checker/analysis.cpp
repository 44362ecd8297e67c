#include "analysis.h"

#include <algorithm>

#include "answer_check.h"
#include "answers.h"
#include "cp932.h"
#include "cp932_chars.h"
#include "drill.h"
#include "line_reader.h"

namespace rekendo::checker {
namespace {

const std::string kCtrlZText(1, kCtrlZ);

int LineNumber(std::size_t index) { return static_cast<int>(index + 1); }

void CheckBytes(std::string_view line, int number, FindingList& out) {
  if (IsCp932Line(line)) return;
  if (!out.Wants(FindingCode::kNotCp932)) {
    out.Count(FindingCode::kNotCp932, number, 1);
    return;
  }
  std::string bad;
  for (std::size_t pos = 0; pos < line.size() && bad.size() <= kExcerptChars;) {
    const std::size_t length = text::CharLength(line, pos);
    if (!text::IsValidCp932(line.substr(pos, length))) bad += line.substr(pos, length);
    pos += length;
  }
  out.Add(FindingCode::kNotCp932, number,
          "Shift-JIS（CP932）として読めないバイトがあります（" + HexBytes(bad) + "）");
}

void NoteCtrlZ(std::string_view line, int number, FindingList& out) {
  if (line.find(kCtrlZ) != std::string_view::npos) {
    out.Add(FindingCode::kCtrlZInText, number,
            "行の中に Ctrl-Z（0x1A）があります。ドリルはこれを文字として表示します");
  }
}

const char* const kEmptyAnswerEffect = "（時間切れで何も入力していなくても正解になります）";

std::string Utf8RuleText(const EncodingVerdict& verdict) {
  const std::string start = "ファイルの始めの部分が UTF-8 として正しく、";
  switch (verdict.utf8_rule) {
    case text::Utf8Rule::kNotCp932:
      return start + "Shift-JIS としては読めないため";
    case text::Utf8Rule::kKana:
      return start + "UTF-8 のかなを 2 文字以上含むため";
    default:
      return "先頭に BOM があるため";
  }
}

}  // namespace

Analyser::Analyser(FileKind kind)
    : kind_(kind), limit_(kind == FileKind::kTrivia ? kMaxTrivia : kMaxProblems) {
  report_.kind = kind;
}

void Analyser::Line(const TextLine& line, const Placement& placed) {
  const int number = LineNumber(placed.index);
  for (const std::string& lost : line.lost) {
    if (!findings_.Wants(FindingCode::kMissingInCp932)) {
      findings_.Count(FindingCode::kMissingInCp932, number, 1);
      continue;
    }
    findings_.Add(FindingCode::kMissingInCp932, number,
                  "「" + lost + "」は Shift-JIS（CP932）にない文字です（変換すると「〓」になります）");
  }
  if (line.joined_at_cr) {
    findings_.Add(FindingCode::kLoneCr, number,
                  "行の途中に CR（0x0D）だけの改行があります。ドリルは改行と見なさず、前後を "
                  "1 行につなげて読みます");
  }
  if (placed.role == LineRole::kJudgement) {
    JudgementLine(line, number);
  } else if (placed.role == LineRole::kHidden) {
    ++hidden_lines_;
    hidden_text_ = hidden_text_ || line.text.find_first_not_of(kCtrlZ) != std::string::npos;
  } else {
    PairLine(line, placed);
  }
}

void Analyser::PairLine(const TextLine& line, const Placement& placed) {
  if (placed.blank_pairs_before > 0) {
    BlankPairsWereReal(placed.pair - placed.blank_pairs_before, placed.blank_pairs_before);
  }
  // Pairs past the table are never loaded: one finding at the end says so.
  if (placed.pair >= limit_) return;
  const int number = LineNumber(placed.index);
  CheckBytes(line.text, number, findings_);
  if (placed.role == LineRole::kQuestion) {
    NoteCtrlZ(line.text, number, findings_);
    last_question_ = Excerpt(line.text);
    return;
  }
  if (placed.blank_pair) return;  // a leftover at the end, unless a real pair follows
  if (kind_ == FileKind::kTrivia && text::HasSeveralAnswers(line.text)) {
    ++report_.choice_entries;
    CheckChoices(line.text, number, findings_);
    NoteCtrlZ(line.text, number, findings_);
  } else {
    CheckTypedAnswers(line.text, number, findings_);
  }
}

void Analyser::BlankPairsWereReal(std::size_t first_pair, std::size_t count) {
  const std::size_t end = std::min(first_pair + count, limit_);
  for (std::size_t pair = first_pair; pair < end; ++pair) {
    const int number = LineNumber(2 * pair + 1);
    if (!findings_.Wants(FindingCode::kEmptyAnswer)) {
      findings_.Count(FindingCode::kEmptyAnswer, number, static_cast<int>(end - pair));
      return;
    }
    findings_.Add(FindingCode::kEmptyAnswer, number, std::string("答えが空です") + kEmptyAnswerEffect);
  }
}

void Analyser::JudgementLine(const TextLine& line, int number) {
  ++judgement_lines_;
  // A Ctrl-Z alone on the last line is the old end-of-file mark, not a message.
  if (pending_ctrl_z_line_ > 0) {
    NoteCtrlZ(kCtrlZText, pending_ctrl_z_line_, findings_);
    pending_ctrl_z_line_ = 0;
  }
  last_is_ctrl_z_ = line.text == kCtrlZText;
  if (number > kJudgementCount) return;  // never read: the count says so
  CheckBytes(line.text, number, findings_);
  if (last_is_ctrl_z_) {
    pending_ctrl_z_line_ = number;
  } else {
    NoteCtrlZ(line.text, number, findings_);
  }
}

Report Analyser::Finish(const PairLayout& layout, std::size_t real_after_blanks,
                        const EncodingVerdict& verdict) {
  EncodingFindings(verdict);
  if (kind_ == FileKind::kJudgement) {
    JudgementSummary();
  } else {
    PairSummary(layout, real_after_blanks);
  }
  report_.findings = findings_.Sorted();
  report_.total_findings = findings_.total();
  return std::move(report_);
}

void Analyser::EncodingFindings(const EncodingVerdict& verdict) {
  const char* const convert = "（Shift-JIS で保存し直すか --fix で変換してください）";
  if (verdict.encoding == Encoding::kUtf8) {
    const bool bom = verdict.utf8_rule == text::Utf8Rule::kBom;
    findings_.Add(FindingCode::kUtf8, bom ? 1 : verdict.utf8_line,
                  std::string(bom ? "UTF-8（BOM つき）" : "UTF-8 ") + "で保存されています（" +
                      Utf8RuleText(verdict) +
                      "）。ドリルは Shift-JIS として読むので文字化けします" + convert);
  } else if (verdict.encoding == Encoding::kUtf16) {
    const bool little = verdict.utf16.order == text::ByteOrder::kLittleEndian;
    findings_.Add(FindingCode::kUtf16, 1,
                  std::string("UTF-16（") + (little ? "リトルエンディアン" : "ビッグエンディアン") +
                      "）で保存されています（" +
                      (verdict.utf16.bom ? "先頭に BOM があるため"
                                         : "NUL バイトが 1 バイトおきに並んでいるため") +
                      "）。ドリルは読めません" + convert);
  }
  if (verdict.cr_only) {
    findings_.Add(FindingCode::kCrOnly, 1,
                  "改行が CR（0x0D）だけで LF がありません。ドリルはファイル全体を 1 行につなげて"
                  "読みます（--fix で CR を改行に直せます）。ここでは CR を改行として調べました");
  }
}

void Analyser::PairSummary(const PairLayout& layout, std::size_t real_after_blanks) {
  const std::size_t pairs = layout.pairs();
  if (real_after_blanks > 0) BlankPairsWereReal(pairs - 1 - real_after_blanks, real_after_blanks);
  const bool trivia = kind_ == FileKind::kTrivia;
  const std::string noun = trivia ? "雑学" : "問題";
  if (layout.dangling_question() && !layout.dangling_question_blank() && pairs - 1 < limit_) {
    findings_.Add(FindingCode::kOddLineCount, LineNumber(2 * (pairs - 1)),
                  "行数が奇数です（最後の" + noun + "「" + last_question_ + "」に答えの行がありません）");
  }
  if (const std::size_t blank = layout.trailing_blank_pairs(); blank > 0) {
    findings_.Add(FindingCode::kTrailingEmptyEntry, LineNumber(2 * layout.first_trailing_pair()),
                  "ファイルの終わりに空の組が " + std::to_string(blank) + " 組あります（空の" + noun +
                      "として出題され、時間切れで正解になります）");
  }
  if (pairs > limit_) {
    findings_.Add(FindingCode::kTooManyEntries, LineNumber(2 * limit_),
                  noun + "が " + std::to_string(pairs) + " 組あります。読み込まれるのは最初の " +
                      std::to_string(limit_) + " 組までで、この行から後ろは無視されます");
  }
  if (pairs == 0 && !trivia) findings_.Add(FindingCode::kNoEntries, 1, "問題が 1 組もありません");
  // Lines after a Ctrl-Z that the drill never reads; a lone end-of-file mark hides nothing.
  if (layout.stop() && hidden_text_ && *layout.stop() < 2 * limit_) {
    findings_.Add(FindingCode::kCtrlZEndsFile, LineNumber(*layout.stop()),
                  "Ctrl-Z（0x1A）があるため、ドリルはここで読み込みをやめます（この行から後ろの " +
                      std::to_string(hidden_lines_) + " 行は読み込まれません）");
  }
  report_.entries = static_cast<int>(std::min(pairs, limit_));
}

void Analyser::JudgementSummary() {
  const int count = judgement_lines_ - (last_is_ctrl_z_ ? 1 : 0);
  const std::string have = "判定文が " + std::to_string(count) + " 行";
  const std::string need = std::to_string(kJudgementCount);
  if (count < kJudgementCount) {
    findings_.Add(FindingCode::kJudgementLineCount, std::max(count, 1),
                  have + "しかありません（" + need + " 行必要です。足りない分は空の判定文になります）");
  } else if (count > kJudgementCount) {
    findings_.Add(FindingCode::kJudgementLineCount, kJudgementCount + 1,
                  have + "あります（使われるのは最初の " + need + " 行までです）");
  }
  report_.entries = count;
}

std::string Summary(const Report& report) {
  std::string text;
  if (report.kind == FileKind::kJudgement) {
    text = "判定文 " + std::to_string(report.entries) + " 行";
  } else {
    text = std::string(report.kind == FileKind::kTrivia ? "雑学 " : "問題 ") +
           std::to_string(report.entries) + " 組（選択式 " + std::to_string(report.choice_entries) +
           "）";
  }
  return text + "、指摘 " + std::to_string(report.total_findings) + " 件";
}

}  // namespace rekendo::checker
