// What went wrong with the record, said plainly for the learner with its reason and the file
// it concerns, as the one error value. The record keeps the latest one instead of failing the
// round.
#pragma once

#include <QSqlError>
#include <QString>

#include "error.h"

namespace rekendo::record {

// What the record was doing: it picks the first sentence of the message.
enum class RecordStep {
  kFolder,  // making the record's folder
  kOpen,    // opening or creating the file
  kWrite,   // writing a round, a question or a setting
  kRead,    // a query for the window
};

// The error for a failure at `step` caused as `code` says (kBusy, kCorrupt, kNewer,
// kDiskFull, kReadOnly, kAccessDenied, kIo, …), about `path`, with the library's own words.
Error RecordFailure(RecordStep step, ErrorCode code, const QString& path,
                    const QString& detail = {});

// The one error for a read of the record that failed (a statement, or opening a reading
// connection): its cause as SQLite gives it (busy, damaged, …) and SQLite's own words.
Error ReadFailure(const QSqlError& error, const QString& path = {});

// The cause SQLite gives for a failed statement.
ErrorCode CauseOf(const QSqlError& error);

// SQLite says "cannot open" or "read-only" alike for a read-only disk and a missing
// permission, and a plain I/O error for some writes to a full disk: the disk under `folder`
// and the file at `path` tell which it was.
ErrorCode CauseOnDisk(ErrorCode code, const QString& folder, const QString& path);

}  // namespace rekendo::record
