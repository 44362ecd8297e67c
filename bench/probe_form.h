// The drill's start-up as app/main.cpp does it, with the form wrapped so that a probe learns
// when its first activation has been handled. A failure that would open an error box ends
// the probe instead: offscreen, nobody could close the box.
#pragma once

#include <QStyleFactory>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "application_title.h"
#include "error_report.h"
#include "first_activation.h"
#include "guarded_application.h"
#include "main_window.h"
#include "main_window_peer.h"

namespace rekendo::bench {

using ProbeForm = FirstActivation<MainWindow>;

inline void ExitOnReport(ErrorReporter& reporter) {
  reporter.SetShow([](QWidget*, const QString& title, const QString& text) {
    std::fprintf(stderr, "%s: %s\n", qPrintable(title), qPrintable(text));
    std::exit(1);
  });
}

inline QString ApplicationTitleOfThisProgram() {
  return QString::fromStdString(
      ApplicationTitle(QCoreApplication::applicationFilePath().toStdString()));
}

}  // namespace rekendo::bench
