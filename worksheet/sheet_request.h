// What a worksheet is made of and how it is printed: the one request the command line, the
// dialog and the benchmark all fill in. Nothing here needs Qt.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "question_bank.h"

namespace rekendo::worksheet {

enum class Source {
  kLoadedSet,    // the set the drill has loaded, given by the caller
  kProblemFile,  // a problem file, read with the drill's own loading rules
  kGenerated,    // a topic and level of the generator
  kReview,       // the learner's review: a list given by the caller
  kGrid,         // 百ます計算
};

enum class Paper { kA4, kB5, kA4Landscape };  // B5 is JIS B5 (182 × 257 mm), the school size
enum class AnswerStyle { kFirst, kAll };      // the key shows the first answer, or all joined by または
enum class GridOperation { kAdd, kSub, kMul };
// Where the answer key goes: a file (or print job) of its own, so that a duplex printer never
// puts it on the back of the sheet; after the sheet in the same file; or nowhere.
enum class KeyPlacement { kSeparate, kEnd, kNone };

// One problem as the drill holds it: Shift-JIS bytes, the accepted answers joined by "$".
struct ProblemPair {
  std::string problem;
  std::string answers;
};

struct ProblemList {
  std::string title;  // UTF-8: the set's name, printed as the sheet's title
  std::vector<ProblemPair> pairs;
};

// The problems of a loaded bank (the drill's Bank()), in their order.
ProblemList ProblemListFromBank(const QuestionBank& bank, std::string title);

struct SheetRequest {
  Source source = Source::kProblemFile;
  ProblemList loaded_set;    // kLoadedSet
  ProblemList review;        // kReview
  std::string problem_file;  // kProblemFile: the path, bytes as the system takes them
  std::string topic;         // kGenerated: the generator's name of the topic ("add", "factor", …)
  GridOperation grid = GridOperation::kAdd;  // kGrid
  int level = 1;                             // kGenerated and kGrid: 1 … 3
  // Problems on the sheet: none means all (a generated set then has the generator's 20);
  // N means a random choice of N by `seed`, kept in the set's order (a generated set is
  // made of N problems by `seed`). The grid has no count.
  std::optional<int> count;
  std::uint64_t seed = 0;  // the same seed makes the same sheet; printed in its corner
  Paper paper = Paper::kA4;
  AnswerStyle answers = AnswerStyle::kFirst;
  KeyPlacement key = KeyPlacement::kSeparate;
};

}  // namespace rekendo::worksheet
