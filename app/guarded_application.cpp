#include "guarded_application.h"

#include <exception>

#include "io_error.h"

namespace rekendo {

bool GuardedApplication::notify(QObject* receiver, QEvent* event) {
  std::string message;
  try {
    return QApplication::notify(receiver, event);
  } catch (const IoError& error) {
    message = error.message();
  } catch (const std::exception& error) {
    message = error.what();
  } catch (...) {
    message = "unknown failure";
  }
  if (reporter_ != nullptr) reporter_->Report(message);
  return true;
}

}  // namespace rekendo
