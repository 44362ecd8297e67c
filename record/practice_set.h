// 復習: the most missed problems of a set written as a problem file of their own, in the
// record's folder, for the drill to load like any other.
#pragma once

#include <QString>

#include "error.h"
#include "record.h"

namespace rekendo::record {

inline constexpr int kPracticeMin = 10;
inline constexpr int kPracticeMax = 50;

struct PracticeSet {
  QString path;  // the file written
  int problems = 0;
};

// Writes up to `count` (clamped to 10–50) of the set's most missed problems, the
// Shift-JIS bytes as recorded, two CR LF lines each, to <record folder>/復習/.
Result<PracticeSet> WritePracticeSet(const Record& record, const QString& hash, const QString& set_name,
                             int count);

}  // namespace rekendo::record
