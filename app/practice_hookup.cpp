#include "practice_hookup.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>

#include "local_schedule.h"
#include "todays_practice.h"

namespace rekendo {

QString PracticeNote(int reviews, int fresh) {
  return QStringLiteral("今日の練習：復習 %1 問・新しい問題 %2 問").arg(reviews).arg(fresh);
}

PracticeHookup::PracticeHookup(MainWindow& window, record::Record& record, Loader load)
    : window_(window), record_(record), load_(std::move(load)) {
  window_.SetBandAction(Command::kPractice, [this] { BuildAndLoad(); });
}

PracticeHookup::~PracticeHookup() { window_.SetBandAction(Command::kPractice, {}); }

void PracticeHookup::BuildAndLoad() {
  // The day ends where the learner's clock says, today.
  record::MemorySchedule schedule = record_.Schedule();
  schedule.utc_offset = LocalSchedule(schedule.scheduler.desired_retention()).utc_offset;
  record_.SetSchedule(schedule);
  const auto practice =
      record::WriteTodaysPractice(record_, QDateTime::currentSecsSinceEpoch(), size_);
  if (practice) {
    load_(practice->path);
    // A load that failed says so on the status line; the note would claim otherwise.
    if (window_.LoadedFileName() == QFileInfo(practice->path).fileName()) {
      window_.ShowStatusNote(PracticeNote(practice->reviews, practice->fresh));
    }
    return;
  }
  const Error& error = practice.error();
  if (error.code != ErrorCode::kNotFound) {
    QMessageBox::warning(&window_, QStringLiteral("今日の練習"),
                         QStringLiteral("今日の練習を作れませんでした。\n") +
                             QString::fromStdString(error.Describe()));
    return;
  }
  const QString last_set = QString::fromStdString(error.subject);
  if (last_set.isEmpty() || !QFileInfo::exists(last_set)) {
    QMessageBox::information(
        &window_, QStringLiteral("今日の練習"),
        QStringLiteral("今日は復習する問題も新しい問題もありません。\n"
                       "問題選択 で問題ファイルを選んで練習してください。"));
    return;
  }
  const auto answer = QMessageBox::question(
      &window_, QStringLiteral("今日の練習"),
      QStringLiteral("今日は復習する問題も新しい問題もありません。\n"
                     "最後に練習した「%1」を読み込みますか？")
          .arg(QFileInfo(last_set).fileName()),
      QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes);
  if (answer == QMessageBox::Yes) load_(last_set);
}

}  // namespace rekendo
