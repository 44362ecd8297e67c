// Everything 成績 shows of one set, read on a connection of its own so that it can be read
// on a worker thread while the window (and the countdown under it) goes on.
#pragma once

#include <QString>
#include <vector>

#include "error.h"
#include "record_queries.h"

namespace rekendo::record {

struct SetView {
  std::vector<ScorePoint> points;
  std::vector<MissedProblem> missed;
  std::vector<RoundDetail> rounds;
};

struct SetViewLimits {
  int chart_points = 0;
  int missed = 0;
  int rounds = 0;
};

// Opens `record_path` read-only for the call, on the calling thread, and reads the set as
// learner `learner_id` played it.
Result<SetView> ReadSetView(const QString& record_path, qint64 learner_id, const QString& hash,
                            const SetViewLimits& limits);

}  // namespace rekendo::record
