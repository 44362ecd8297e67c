// What went wrong with the record, said plainly for the learner, with the file it concerns.
// The record keeps the latest one instead of failing the round.
#pragma once

#include <QString>

namespace rekendo::record {

enum class RecordErrorCode {
  kFolder,     // the record's folder could not be made
  kOpen,       // the file could not be opened or created
  kWrite,      // a write failed: disk full, read-only, or another I/O error
  kBusy,       // another program held the file past the wait
  kCorrupt,    // the file is damaged and could not be moved aside
  kNewer,      // written by a newer version: read, never written
  kRead,       // a query for the window failed
};

struct RecordError {
  RecordErrorCode code = RecordErrorCode::kWrite;
  QString message;  // Japanese, for the 成績 window
  QString path;     // the file or folder concerned
  QString detail;   // the driver's own words, for a bug report

  // The message, the path and the detail on one screenful.
  QString Describe() const;
};

// The error for `code` with its standard message.
RecordError MakeError(RecordErrorCode code, const QString& path, const QString& detail = {});

}  // namespace rekendo::record
