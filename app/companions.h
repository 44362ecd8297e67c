// The learning record and the problem generator, hooked into the main window: the record
// listens to every round, 成績 opens its window and 問題を作る the generator's dialog. Both
// keep their files in the learner's data folder, never beside the problem files.
#pragma once

#include <QString>

#include "class_hookup.h"
#include "drill_settings.h"
#include "learners_hookup.h"
#include "drill_settings.h"
#include "main_window.h"
#include "practice_hookup.h"
#include "record.h"
#include "round_recorder.h"

namespace rekendo {

class Companions {
 public:
  // `data_folder` is where the record and generated sets live; the window (and `settings`,
  // which keeps the クラス setting; null: kept for this run only) must outlive this.
  Companions(MainWindow& window, const QString& data_folder, DrillSettingsStore* settings = nullptr);
  ~Companions();
  Companions(const Companions&) = delete;
  Companions& operator=(const Companions&) = delete;

  record::Record& Record() { return record_; }
  const ClassHookup& Class() const { return class_; }
  LearnersHookup& Learners() { return learners_; }

  // The retention and the size of 今日の練習 the learner chose.
  void UseSettings(const DrillSettings& settings);
  // A record from an older version is brought up to date (before the window shows).
  void BringRecordUpToDate();

 private:
  void OpenRecordWindow();
  void GenerateProblemSet();
  void PrintSheet();
  void Load(const QString& path);

  MainWindow& window_;
  QString data_folder_;
  record::Record record_;
  record::RoundRecorder recorder_;
  ClassHookup class_;
  LearnersHookup learners_;
  PracticeHookup practice_;
};

// QStandardPaths' data folder of this program (~/.local/share/rekendo).
QString DefaultDataFolder();

}  // namespace rekendo
