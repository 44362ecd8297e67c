// 復習: the most missed problems of a set written as a problem file of their own, in the
// record's folder, for the drill to load like any other.
#pragma once

#include <QString>
#include <string>
#include <string_view>

#include "error.h"
#include "record.h"

namespace rekendo::record {

inline constexpr int kPracticeMin = 10;
inline constexpr int kPracticeMax = 50;

struct PracticeSet {
  QString path;  // the file written
  int problems = 0;
};

// Appends one pair, the problem's line and its answers' line, as the drill reads them.
void AppendPair(std::string& bytes, std::string_view text_sjis, std::string_view accepted_sjis);

// Writes `bytes` as a new dated problem file <record folder>/<folder>/<base><date>.mon; its path.
Result<QString> WriteProblemFileIn(const QString& record_folder, const QString& folder,
                                   const QString& base, const std::string& bytes);

// Writes up to `count` (clamped to 10–50) of the set's most missed problems, the
// Shift-JIS bytes as recorded, two CR LF lines each, to <record folder>/復習/.
// Answering them reviews the problems they were copied from (see NotePracticeOrigins).
Result<PracticeSet> WritePracticeSet(Record& record, const QString& hash, const QString& set_name,
                                     int count);

}  // namespace rekendo::record
