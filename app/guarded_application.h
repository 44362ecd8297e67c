// QApplication that never lets an exception travel through Qt's event dispatch: whatever
// escapes an event is handed to the error reporter and the event loop goes on.
#pragma once

#include <QApplication>

#include "error_report.h"

namespace rekendo {

class GuardedApplication : public QApplication {
 public:
  GuardedApplication(int& argc, char** argv) : QApplication(argc, argv) {}
  void SetReporter(const ErrorReporter* reporter) { reporter_ = reporter; }
  bool notify(QObject* receiver, QEvent* event) override;

 private:
  const ErrorReporter* reporter_ = nullptr;
};

}  // namespace rekendo
