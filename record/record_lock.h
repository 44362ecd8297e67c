// Tells the copies of the program that have one record open apart from none: each open copy
// holds a shared flock on a lock file beside the record, and moving the record aside needs
// it alone. The lock file stays where it is, so it covers whichever file is live.
#pragma once

#include <QString>

namespace rekendo::record {

class RecordLock {
 public:
  explicit RecordLock(QString path) : path_(std::move(path)) {}
  ~RecordLock() { Release(); }
  RecordLock(const RecordLock&) = delete;
  RecordLock& operator=(const RecordLock&) = delete;

  // Holds the shared lock (waiting only while another copy moves the file aside). False
  // when the lock file can be neither made nor read (a read-only folder without one): then
  // no copy can move the record there either.
  bool Share();
  // Takes the lock alone; false while another copy holds the record open. Share() again
  // after the move.
  bool TakeAlone();
  void Release();

 private:
  QString path_;
  int fd_ = -1;
};

}  // namespace rekendo::record
