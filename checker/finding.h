// What the checker reports: findings tied to a line of the file, and the errors that keep it
// from reading or writing one.
#pragma once

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
};

struct Finding {
  FindingCode code;
  int line;             // 1-based
  std::string message;  // UTF-8
};

using Findings = std::vector<Finding>;

// A file that could not be read or written, or a command line that makes no sense.
struct CheckError {
  int code;
  std::string message;  // UTF-8
};

}  // namespace rekendo::checker
