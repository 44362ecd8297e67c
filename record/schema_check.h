// Whether the record in a folder was written by an older version of the program, told
// without opening it for writing: the program brings such a record up to date on a worker
// thread before its window shows (the replay of a long history takes seconds).
#pragma once

#include <QString>

namespace rekendo::record {

// True when <folder>/record.sqlite3 exists and its schema is older than this program's.
bool RecordIsOlder(const QString& folder);

}  // namespace rekendo::record
