// 学習者, hooked into the main window: the band button opens the dialog, and the status line
// names who plays whenever the record has more than one learner (one learner sees nothing
// new). The name is shown once the window is up, from the record opened then.
#pragma once

#include <QObject>

#include "class_hookup.h"
#include "main_window.h"
#include "record.h"

namespace rekendo {

class LearnersHookup {
 public:
  // All must outlive this.
  LearnersHookup(MainWindow& window, record::Record& record, ClassHookup& class_hookup);
  ~LearnersHookup();
  LearnersHookup(const LearnersHookup&) = delete;
  LearnersHookup& operator=(const LearnersHookup&) = delete;

  // Names the current learner on the status line, or nobody with a single learner.
  void ShowLearner();
  // The current learner's name when the record has more than one learner; else empty.
  QString ShownName();

 private:
  void OpenDialog();

  MainWindow& window_;
  record::Record& record_;
  ClassHookup& class_hookup_;
  QObject alive_;  // the deferred first ShowLearner dies with this
};

}  // namespace rekendo
