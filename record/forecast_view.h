// What 成績 shows of a set's reviews to come: how many of its problems are due today and on
// each of the next 13 days, for the current learner under the record's schedule.
#pragma once

#include <QString>

#include "error.h"
#include "practice.h"
#include "record.h"

namespace rekendo::record {

// Read on a connection of the call's own; a set with no memory yet has all zeros.
Result<schedule::SetForecast> ReadSetForecast(const Record& record, const QString& hash,
                                              schedule::UnixSeconds now);

}  // namespace rekendo::record
