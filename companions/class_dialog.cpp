#include "class_dialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "conninfo.h"

namespace rekendo {

Result<QString> ClassConnectionToKeep(const QString& text) {
  const QString trimmed = text.trimmed();
  if (trimmed.isEmpty()) return QString();
  // A bare word is a service's name.
  const bool bare = !trimmed.contains(QLatin1Char('=')) && !trimmed.contains(QLatin1Char(' ')) &&
                    !trimmed.contains(QLatin1Char(':'));
  const QString connection = bare ? QStringLiteral("service=") + trimmed : trimmed;
  const Result<classroom::ConnInfo> parsed = classroom::ConnInfo::Parse(connection.toStdString());
  if (!parsed) return parsed.error();
  if (parsed->Has("password")) {
    return Error{ErrorCode::kInvalidInput,
                 "パスワードはここには書けません（この設定はだれでも読めます）。"
                 "パスワードは ~/.pgpass（権限 0600）か、サービスファイル（~/.pg_service.conf）に"
                 "書いてください。",
                 {}, {}};
  }
  return connection;
}

ClassDialog::ClassDialog(const QString& current, const QString& from_environment, QWidget* parent)
    : QDialog(parent), field_(new QLineEdit(this)), message_(new QLabel(this)) {
  setObjectName(QStringLiteral("classDialog"));
  setWindowTitle(QStringLiteral("クラス"));
  field_->setObjectName(QStringLiteral("classConnection"));
  field_->setText(current);
  field_->setPlaceholderText(QStringLiteral("service=rekendo"));
  field_->setAccessibleName(QStringLiteral("クラスのデータベース"));
  auto* label = new QLabel(QStringLiteral("クラスのデータベース(&D)"), this);
  label->setBuddy(field_);
  auto* help = new QLabel(
      QStringLiteral("libpq の接続文字列（host=… dbname=rekendo user=… sslmode=verify-full）か、"
                     "サービスの名前（rekendo）。空にすると送りません。\n"
                     "パスワードは書かずに ~/.pgpass かサービスファイルに書いてください。"),
      this);
  help->setWordWrap(true);
  message_->setWordWrap(true);
  message_->setObjectName(QStringLiteral("classMessage"));
  message_->setStyleSheet(QStringLiteral("color: #a00000;"));

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(label);
  layout->addWidget(field_);
  layout->addWidget(help);
  if (!from_environment.isEmpty()) {
    // Shown without any password it may hold.
    const auto parsed = classroom::ConnInfo::Parse(from_environment.toStdString());
    const QString where = parsed ? QString::fromStdString(parsed->Describe())
                                 : QStringLiteral("読めない値");
    auto* overridden = new QLabel(
        QStringLiteral("いまは環境変数 REKENDO_CLASS（%1）が使われています。ここの設定は、"
                       "それがないときに使われます。")
            .arg(where),
        this);
    overridden->setWordWrap(true);
    layout->addWidget(overridden);
  }
  layout->addWidget(message_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
  buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("キャンセル"));
  connect(buttons, &QDialogButtonBox::accepted, this, [this] { TryAccept(); });
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
  resize(560, sizeHint().height());
  field_->setFocus();
}

void ClassDialog::SetText(const QString& text) { field_->setText(text); }

void ClassDialog::TryAccept() {
  const Result<QString> kept = ClassConnectionToKeep(field_->text());
  if (!kept) {
    message_->setText(QString::fromStdString(kept.error().message));
    return;
  }
  chosen_ = *kept;
  accept();
}

}  // namespace rekendo
