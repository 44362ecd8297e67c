#include "analysis.h"

#include <algorithm>

#include "answer_check.h"
#include "cp932_chars.h"
#include "drill.h"
#include "text_file.h"

namespace rekendo::checker {
namespace {

const std::string kCtrlZText(1, kCtrlZ);

void CheckEncoding(const SourceText& source, Findings& out) {
  if (source.encoding.utf8) {
    out.push_back({FindingCode::kUtf8, 1,
                   std::string(source.encoding.bom ? "UTF-8（BOM つき）" : "UTF-8 ") +
                       "で保存されています。ドリルは Shift-JIS として読むので文字化けします"
                       "（Shift-JIS で保存し直すか --fix で変換してください）"});
  }
  out.insert(out.end(), source.conversion.begin(), source.conversion.end());
  for (const int line : source.lone_cr_lines) {
    out.push_back({FindingCode::kLoneCr, line,
                   "行の途中に CR（0x0D）だけの改行があります。ドリルは改行と見なさず、前後を "
                   "1 行につなげて読みます"});
  }
}

void CheckBytes(const std::string& line, int number, Findings& out) {
  std::string bad;
  for (std::size_t pos = 0; pos < line.size();) {
    const std::size_t length = CharLength(line, pos);
    if (!IsCp932(std::string_view(line).substr(pos, length))) bad += line.substr(pos, length);
    pos += length;
  }
  if (!bad.empty()) {
    out.push_back({FindingCode::kNotCp932, number,
                   "Shift-JIS（CP932）として読めないバイトがあります（" + HexBytes(bad) + "）"});
  }
}

void NoteCtrlZ(const std::string& line, int number, Findings& out) {
  if (line.find(kCtrlZText) != std::string::npos) {
    out.push_back({FindingCode::kCtrlZInText, number,
                   "行の中に Ctrl-Z（0x1A）があります。ドリルはこれを文字として表示します"});
  }
}

// True when a pair is blank from end to end: blank lines after the last real pair.
bool IsBlankPair(const std::vector<std::string>& lines, std::size_t question, std::size_t end) {
  return lines[question].empty() && (question + 1 >= end || lines[question + 1].empty());
}

void AnalysePairs(const SourceText& source, FileKind kind, Report& report) {
  const std::vector<std::string>& lines = source.lines;
  const std::size_t end = source.pair_stop.value_or(lines.size());
  const std::size_t pairs = (end + 1) / 2;
  const bool trivia = kind == FileKind::kTrivia;
  const std::size_t limit = trivia ? kMaxTrivia : kMaxProblems;
  const std::string noun = trivia ? "雑学" : "問題";
  Findings& out = report.findings;

  std::size_t real_pairs = pairs;
  while (real_pairs > 0 && IsBlankPair(lines, 2 * (real_pairs - 1), end)) --real_pairs;

  for (std::size_t pair = 0; pair < real_pairs; ++pair) {
    const std::size_t question = 2 * pair;
    const std::size_t answer = question + 1;
    const int question_line = static_cast<int>(question + 1);
    const int answer_line = static_cast<int>(answer + 1);
    NoteCtrlZ(lines[question], question_line, out);
    if (answer >= end) {
      out.push_back({FindingCode::kOddLineCount, question_line,
                     "行数が奇数です（最後の" + noun + "「" + Printable(lines[question]) +
                         "」に答えの行がありません）"});
      continue;
    }
    const bool choices = trivia && lines[answer].find('$') != std::string::npos;
    if (choices) {
      if (pair < limit) ++report.choice_entries;
      CheckChoices(lines[answer], answer_line, out);
      NoteCtrlZ(lines[answer], answer_line, out);
    } else {
      CheckTypedAnswers(lines[answer], answer_line, out);
    }
  }
  if (real_pairs < pairs) {
    out.push_back({FindingCode::kTrailingEmptyEntry, static_cast<int>(2 * real_pairs + 1),
                   "ファイルの終わりに空の組が " + std::to_string(pairs - real_pairs) +
                       " 組あります（空の" + noun + "として出題され、時間切れで正解になります）"});
  }
  if (pairs > limit) {
    out.push_back({FindingCode::kTooManyEntries, static_cast<int>(2 * limit + 1),
                   noun + "が " + std::to_string(pairs) + " 組あります。読み込まれるのは最初の " +
                       std::to_string(limit) + " 組までで、この行から後ろは無視されます"});
  }
  if (pairs == 0 && !trivia) {
    out.push_back({FindingCode::kNoEntries, 1, "問題が 1 組もありません"});
  }
  // Lines after a Ctrl-Z that the drill never reads; a lone end-of-file mark hides nothing.
  if (source.pair_stop) {
    std::size_t hidden = 0;
    for (std::size_t index = end; index < lines.size(); ++index) {
      if (lines[index].find_first_not_of(kCtrlZText) != std::string::npos) ++hidden;
    }
    if (hidden > 0) {
      out.push_back(
          {FindingCode::kCtrlZEndsFile, static_cast<int>(end + 1),
           "Ctrl-Z（0x1A）があるため、ドリルはここで読み込みをやめます（この行から後ろの " +
               std::to_string(lines.size() - end) + " 行は読み込まれません）"});
    }
  }
  report.entries = static_cast<int>(std::min(pairs, limit));
}

void AnalyseJudgement(const SourceText& source, Report& report) {
  std::size_t count = source.lines.size();
  // A Ctrl-Z alone on the last line is the old end-of-file mark, not a message.
  if (count > 0 && source.lines.back() == kCtrlZText) --count;
  for (std::size_t index = 0; index < count; ++index) {
    NoteCtrlZ(source.lines[index], static_cast<int>(index + 1), report.findings);
  }
  const std::string have = "判定文が " + std::to_string(count) + " 行";
  const std::string need = std::to_string(kJudgementCount);
  if (count < kJudgementCount) {
    report.findings.push_back(
        {FindingCode::kJudgementLineCount, static_cast<int>(std::max<std::size_t>(count, 1)),
         have + "しかありません（" + need + " 行必要です。足りない分は空の判定文になります）"});
  } else if (count > kJudgementCount) {
    report.findings.push_back({FindingCode::kJudgementLineCount, kJudgementCount + 1,
                               have + "あります（使われるのは最初の " + need + " 行までです）"});
  }
  report.entries = static_cast<int>(count);
}

}  // namespace

Report Analyse(const SourceText& source, FileKind kind) {
  Report report;
  report.kind = kind;
  CheckEncoding(source, report.findings);
  for (std::size_t index = 0; index < source.lines.size(); ++index) {
    CheckBytes(source.lines[index], static_cast<int>(index + 1), report.findings);
  }
  if (kind == FileKind::kJudgement) {
    AnalyseJudgement(source, report);
  } else {
    AnalysePairs(source, kind, report);
  }
  std::stable_sort(report.findings.begin(), report.findings.end(),
                   [](const Finding& a, const Finding& b) { return a.line < b.line; });
  return report;
}

std::variant<Report, CheckError> CheckFile(const std::string& path, FileKind kind) {
  auto source = LoadSource(path);
  if (const auto* error = std::get_if<CheckError>(&source)) return *error;
  return Analyse(std::get<SourceText>(source), kind);
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
  return text + "、指摘 " + std::to_string(report.findings.size()) + " 件";
}

}  // namespace rekendo::checker
