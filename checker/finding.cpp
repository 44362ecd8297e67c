#include "finding.h"

#include <algorithm>

namespace rekendo::checker {

void FindingList::Add(FindingCode code, int line, std::string message) {
  if (!Wants(code)) {
    Count(code, line, 1);
    return;
  }
  ++shown_[Index(code)];
  ++total_;
  shown_findings_.push_back({code, line, std::move(message)});
}

void FindingList::Count(FindingCode code, int line, int count) {
  if (count <= 0) return;
  int& left_out = left_out_[Index(code)];
  if (left_out == 0) first_left_out_line_[Index(code)] = line;
  left_out += count;
  total_ += count;
}

Findings FindingList::Sorted() const {
  Findings out = shown_findings_;
  for (std::size_t kind = 0; kind < kFindingCodeCount; ++kind) {
    if (left_out_[kind] == 0) continue;
    out.push_back({FindingCode::kMoreOfTheSame, first_left_out_line_[kind],
                   "この行から後ろにも同じ種類の指摘が " + std::to_string(left_out_[kind]) +
                       " 件あります（各種類 " + std::to_string(kFindingsPerKind) +
                       " 件まで表示します）"});
  }
  std::stable_sort(out.begin(), out.end(),
                   [](const Finding& a, const Finding& b) { return a.line < b.line; });
  return out;
}

}  // namespace rekendo::checker
