#include "record_upgrade.h"

#include <QEventLoop>
#include <QFutureWatcher>
#include <QProgressDialog>
#include <QtConcurrent/QtConcurrentRun>

#include "record.h"
#include "schema_check.h"

namespace rekendo {

void BringRecordUpToDate(const QString& data_folder, const record::MemorySchedule& schedule,
                         QWidget* parent) {
  if (!record::RecordIsOlder(data_folder)) return;
  QProgressDialog dialog(
      QStringLiteral("記録を新しい形にしています。これまでの答えから、復習の予定を作っています…"),
      QString(), 0, 0, parent);
  dialog.setObjectName(QStringLiteral("recordUpgradeProgress"));
  dialog.setWindowTitle(QStringLiteral("記録の更新"));
  dialog.setAccessibleName(QStringLiteral("記録の更新"));
  dialog.setWindowModality(Qt::ApplicationModal);
  dialog.setCancelButton(nullptr);  // all or nothing: there is no half-done record to stop at
  dialog.setAutoClose(false);
  dialog.setAutoReset(false);
  dialog.setMinimumDuration(1000);

  record::RecordOptions options;
  options.schedule = schedule;
  options.replay_progress = [&dialog](qint64 done, qint64 total) {
    // From the worker: handed to the dialog's thread; dropped once the dialog is gone.
    QMetaObject::invokeMethod(
        &dialog,
        [&dialog, done, total] {
          dialog.setMaximum(static_cast<int>(std::min<qint64>(total, 1 << 30)));
          dialog.setValue(static_cast<int>(std::min<qint64>(done, 1 << 30)));
        },
        Qt::QueuedConnection);
  };
  QFutureWatcher<void> watcher;
  QEventLoop loop;
  QObject::connect(&watcher, &QFutureWatcher<void>::finished, &loop, &QEventLoop::quit);
  watcher.setFuture(QtConcurrent::run([data_folder, options] {
    // Its own connection, made and closed on this thread; the window's record opens later.
    record::Record record(data_folder, options);
    record.Open();
  }));
  loop.exec();
}

}  // namespace rekendo
