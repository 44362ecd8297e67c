// Brings a record written by an older version up to date before the window shows: on a
// worker thread, so the program stays responsive, with a progress dialog once it has taken
// a second (a long history is replayed into the scheduler's memory).
#pragma once

#include <QString>
#include <QWidget>

#include "memory_store.h"

namespace rekendo {

// Does nothing unless the record in `data_folder` is older than this program. A failure is
// left for the record to meet again when it opens (and for 成績 to show).
void BringRecordUpToDate(const QString& data_folder, const record::MemorySchedule& schedule,
                         QWidget* parent);

}  // namespace rekendo
