#include "record_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <QFile>
#include <cerrno>

namespace rekendo::record {

namespace {

int Flock(int fd, int operation) {
  int result = 0;
  do {
    result = ::flock(fd, operation);
  } while (result != 0 && errno == EINTR);
  return result;
}

}  // namespace

bool RecordLock::Share() {
  if (fd_ < 0) {
    const QByteArray path = QFile::encodeName(path_);
    fd_ = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd_ < 0) fd_ = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0) return false;
  }
  return Flock(fd_, LOCK_SH) == 0;
}

bool RecordLock::TakeAlone() {
  if (fd_ < 0) return false;
  if (Flock(fd_, LOCK_EX | LOCK_NB) == 0) return true;
  // A refused conversion may have dropped the shared lock on the way (flock(2)).
  Flock(fd_, LOCK_SH);
  return false;
}

void RecordLock::Release() {
  if (fd_ < 0) return;
  ::close(fd_);  // lets go of the lock too
  fd_ = -1;
}

}  // namespace rekendo::record
