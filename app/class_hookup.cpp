#include "class_hookup.h"

#include <QDateTime>

#include "class_dialog.h"
#include "record_queue.h"

namespace rekendo {

ClassHookup::ClassHookup(record::Record& record, record::RoundRecorder& recorder,
                         DrillSettingsStore* store)
    : record_(record), recorder_(recorder), store_(store) {
  if (store_) kept_ = store_->ClassConnection();
  recorder_.OnRoundClosed([this] {
    if (uploader_) uploader_->RoundQueued();
  });
  Restart();
}

ClassHookup::~ClassHookup() {
  // A round closed as the program ends stays queued and goes next time.
  recorder_.OnRoundClosed({});
}

QString ClassHookup::Connection() const {
  const QString environment = qEnvironmentVariable(kClassEnvironment).trimmed();
  return environment.isEmpty() ? kept_ : environment;
}

void ClassHookup::Restart() {
  uploader_.reset();
  const QString connection = Connection();
  if (connection.isEmpty()) return;
  uploader_ = std::make_unique<classroom::ClassUploader>(
      connection.toStdString(), std::make_shared<classroom::RecordQueue>(record_.FilePath()));
  uploader_->Start();
}

void ClassHookup::OpenDialog(QWidget* parent) {
  ClassDialog dialog(kept_, qEnvironmentVariable(kClassEnvironment).trimmed(), parent);
  if (dialog.exec() != QDialog::Accepted || dialog.Chosen() == kept_) return;
  kept_ = dialog.Chosen();
  if (store_) store_->SaveClassConnection(kept_);
  Restart();
}

QString ClassHookup::StatusText() const {
  if (!uploader_) return {};
  return DescribeUploadStatus(uploader_->Snapshot());
}

QString DescribeUploadStatus(const classroom::UploadStatus& status) {
  QString text = QStringLiteral("クラスへの送信: ");
  if (status.waiting < 0) {
    text += QStringLiteral("送信待ちの回を調べています。");
  } else if (status.waiting == 0) {
    text += QStringLiteral("送信待ちの回はありません。");
  } else {
    text += QStringLiteral("%1 回分が送信待ちです。").arg(status.waiting);
  }
  if (status.sent > 0) text += QStringLiteral("（この起動で %1 回分を送りました）").arg(status.sent);
  if (status.set_aside > 0) {
    text += QStringLiteral("\n%1 回分はサーバーが受け取らないので、記録に残してあります"
                           "（次に起動したときにもう一度試します）。")
                .arg(status.set_aside);
  }
  if (status.last_error) {
    text += QStringLiteral("\n送れなかった理由: ") + QString::fromStdString(status.last_error->message);
    // A round set aside is not tried again before the next start: no time to promise.
    if (status.next_try_ms > 0 && !status.last_error_set_aside) {
      text += QStringLiteral("\n%1 にもう一度送ります。")
                  .arg(QDateTime::fromMSecsSinceEpoch(status.next_try_ms)
                           .toLocalTime()
                           .toString(QStringLiteral("HH:mm:ss")));
    }
  }
  return text;
}

}  // namespace rekendo
