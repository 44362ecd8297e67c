// The schedule as this learner's machine sees it: the retention they chose and the offset
// from UTC their clock shows now, which decides where their day ends.
#pragma once

#include "memory_store.h"

namespace rekendo {

// The scheduler at `retention` (the default when it is out of range) and today's offset.
record::MemorySchedule LocalSchedule(double retention);

}  // namespace rekendo
