#include "local_schedule.h"

#include <QDateTime>

namespace rekendo {

record::MemorySchedule LocalSchedule(double retention) {
  record::MemorySchedule schedule;
  if (auto scheduler = schedule::Scheduler::Create(retention)) schedule.scheduler = *scheduler;
  schedule.utc_offset = QDateTime::currentDateTime().offsetFromUtc();
  return schedule;
}

}  // namespace rekendo
