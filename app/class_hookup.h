// The class server, hooked into the program: where it is (REKENDO_CLASS, which wins, or the
// クラス setting), the uploader started at start-up on a thread of its own (start-up never
// waits for the network) and told after each round the record closed, and what 成績 says
// about it in words.
#pragma once

#include <QObject>
#include <QString>
#include <memory>

#include "drill_settings.h"
#include "record.h"
#include "round_recorder.h"
#include "upload_worker.h"

class QWidget;

namespace rekendo {

inline constexpr const char* kClassEnvironment = "REKENDO_CLASS";

class ClassHookup {
 public:
  // `store` may be null (nothing kept between runs); all must outlive this.
  ClassHookup(record::Record& record, record::RoundRecorder& recorder, DrillSettingsStore* store);
  ~ClassHookup();
  ClassHookup(const ClassHookup&) = delete;
  ClassHookup& operator=(const ClassHookup&) = delete;

  // The connection in use; empty: no class.
  QString Connection() const;
  // The クラス dialog; a change takes effect at once.
  void OpenDialog(QWidget* parent);
  // 成績's line about sending; empty when there is no class.
  QString StatusText() const;
  // Null when there is no class.
  classroom::ClassUploader* Uploader() const { return uploader_.get(); }

 private:
  void Restart();

  record::Record& record_;
  record::RoundRecorder& recorder_;
  DrillSettingsStore* store_;
  QString kept_;  // the クラス setting
  std::unique_ptr<classroom::ClassUploader> uploader_;
};

// The words for an uploader's status: how many rounds wait and why.
QString DescribeUploadStatus(const classroom::UploadStatus& status);

}  // namespace rekendo
