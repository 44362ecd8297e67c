// What the checker reports: findings tied to a line of the file, and the errors that keep it
// from reading or writing one.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <vector>

namespace rekendo::checker {

enum class FindingCode {
  kNotCp932,            // bytes the window cannot show
  kUtf8,                // the file is saved as UTF-8
  kMissingInCp932,      // a UTF-8 character that Shift-JIS has no code for
  kUntypable,           // an accepted answer with a character no key types
  kEmptyAnswer,         // an accepted answer a time-out with nothing typed would match
  kEmptyChoice,         // a blank line in a multiple-choice list
  kOddLineCount,        // the last question has no answer line
  kTrailingEmptyEntry,  // blank lines at the end read as an empty question
  kTooManyEntries,      // more pairs than the drill's table holds
  kTooManyChoices,      // more than ten choices
  kNoEntries,           // a problem file without a single problem
  kJudgementLineCount,  // a judgement file with other than eleven lines
  kCtrlZEndsFile,       // a Ctrl-Z where a pair begins hides what follows it
  kCtrlZInText,         // a Ctrl-Z inside a line, shown as a stray character
  kLoneCr,              // a CR without LF, which the drill drops instead of breaking the line
  kUtf16,               // the file is saved as UTF-16
  kCrOnly,              // every line ends with CR alone: the drill reads one long line
  kMoreOfTheSame,       // how many findings of one kind were left out
};
inline constexpr std::size_t kFindingCodeCount = static_cast<std::size_t>(FindingCode::kMoreOfTheSame) + 1;

struct Finding {
  FindingCode code;
  int line;             // 1-based
  std::string message;  // UTF-8
};

using Findings = std::vector<Finding>;

// How many findings of one kind a file shows; the rest are counted in one more line.
inline constexpr int kFindingsPerKind = 20;

// The findings of one file: at most kFindingsPerKind of each kind, so a huge file's report
// stays short, and the count of all of them.
class FindingList {
 public:
  // False when the finding would only be counted: its message need not be built.
  bool Wants(FindingCode code) const { return shown_[Index(code)] < kFindingsPerKind; }
  void Add(FindingCode code, int line, std::string message);
  // Counts `count` findings of a kind without showing them, `line` being the first.
  void Count(FindingCode code, int line, int count);
  int total() const { return total_; }
  // The findings in line order, each kind that had more followed by one line saying so.
  Findings Sorted() const;

 private:
  static std::size_t Index(FindingCode code) { return static_cast<std::size_t>(code); }

  Findings shown_findings_;
  std::array<int, kFindingCodeCount> shown_{};
  std::array<int, kFindingCodeCount> left_out_{};
  std::array<int, kFindingCodeCount> first_left_out_line_{};
  int total_ = 0;
};

// A file that could not be read or written, or a command line that makes no sense.
struct CheckError {
  int code;
  std::string message;  // UTF-8
};

}  // namespace rekendo::checker
