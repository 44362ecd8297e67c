#include "guarded_application.h"

#include "io_error.h"

namespace rekendo {

bool GuardedApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (...) {
    if (reporter_ != nullptr) reporter_->Report(MessageOfCurrentException());
    return true;
  }
}

}  // namespace rekendo
