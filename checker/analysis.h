// Checking one data file: everything that would make the drill read it differently from
// what its author meant. The file streams past line by line; only counts and short
// excerpts are kept.
#pragma once

#include <string>
#include <string_view>
#include <variant>

#include "file_kind.h"
#include "finding.h"
#include "pair_layout.h"
#include "source_lines.h"

namespace rekendo::checker {

struct Report {
  FileKind kind = FileKind::kProblem;
  int entries = 0;         // pairs the drill reads, or lines of a judgement file
  int choice_entries = 0;  // trivia pairs read as multiple choice
  Findings findings;       // in line order, at most kFindingsPerKind of each kind shown
  int total_findings = 0;  // shown or not
};

class Analyser {
 public:
  explicit Analyser(FileKind kind);

  // Each line as the layout placed it, in order.
  void Line(const TextLine& line, const Placement& placed);
  // After the layout's Finish(), with what it returned.
  Report Finish(const PairLayout& layout, std::size_t real_after_blanks,
                const EncodingVerdict& verdict);

 private:
  void PairLine(const TextLine& line, const Placement& placed);
  void JudgementLine(const TextLine& line, int number);
  // Blank pairs that a real pair followed after all: each has an empty answer.
  void BlankPairsWereReal(std::size_t first_pair, std::size_t count);
  void EncodingFindings(const EncodingVerdict& verdict);
  void PairSummary(const PairLayout& layout, std::size_t real_after_blanks);
  void JudgementSummary();

  FileKind kind_;
  std::size_t limit_;  // pairs the drill's table holds
  FindingList findings_;
  Report report_;
  std::string last_question_;  // an excerpt, for a question without an answer
  std::size_t hidden_lines_ = 0;
  bool hidden_text_ = false;  // something but Ctrl-Z after the drill stops reading
  int judgement_lines_ = 0;
  bool last_is_ctrl_z_ = false;    // the last judgement line is a lone Ctrl-Z
  int pending_ctrl_z_line_ = 0;    // a lone Ctrl-Z line, a mark only if nothing follows
};

// Checks the bytes of a file held in memory.
Report CheckBytes(std::string_view bytes, FileKind kind);
// Reads `path` once. Errors carry the drill's own code and message for the failing step.
std::variant<Report, CheckError> CheckFile(const std::string& path, FileKind kind);

// "問題 52 組（選択式 0）、指摘 3 件"
std::string Summary(const Report& report);

}  // namespace rekendo::checker
