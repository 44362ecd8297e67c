// Checking one data file: everything that would make the drill read it differently from
// what its author meant.
#pragma once

#include <string>
#include <variant>

#include "file_kind.h"
#include "finding.h"
#include "source_text.h"

namespace rekendo::checker {

struct Report {
  FileKind kind = FileKind::kProblem;
  int entries = 0;         // pairs the drill reads, or lines of a judgement file
  int choice_entries = 0;  // trivia pairs read as multiple choice
  Findings findings;       // in line order
};

Report Analyse(const SourceText& source, FileKind kind);
std::variant<Report, CheckError> CheckFile(const std::string& path, FileKind kind);

// "問題 52 組（選択式 0）、指摘 3 件"
std::string Summary(const Report& report);

}  // namespace rekendo::checker
