// 今日の練習: the learner's due problems across every set, the most overdue first, then
// problems of the set played last that were never answered, written as a problem file of
// their own (like the 復習 sets) for the drill to load. Answering them reviews the problems
// they were copied from.
#pragma once

#include <QString>

#include "error.h"
#include "fsrs.h"
#include "record.h"

namespace rekendo::record {

struct TodaysPracticeFile {
  QString path;  // the file written
  int reviews = 0;
  int fresh = 0;  // new problems
  QString last_set_path;  // the set played last (empty when none), to offer instead
};

// Builds and writes today's practice for the record's current learner at `now`, with up to
// `limit` (10–50) problems, the schedule as the record holds it. kNotFound (with
// last_set_path in the error's subject) when nothing is due and nothing is new.
Result<TodaysPracticeFile> WriteTodaysPractice(Record& record, schedule::UnixSeconds now,
                                               int limit);

}  // namespace rekendo::record
