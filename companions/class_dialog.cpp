#include "class_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
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

namespace {

// A value in libpq's quoted form, so that any name reads back whole.
QString Quoted(const QString& value) {
  QString quoted = value;
  quoted.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
  quoted.replace(QLatin1Char('\''), QStringLiteral("\\'"));
  return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

// The server and the learner's number of a connection the simple fields can show: only
// host, user and the class database; anything else needs 詳細設定.
bool SimpleParts(const QString& current, QString* server, QString* learner) {
  if (current.isEmpty()) return true;
  const auto parsed = classroom::ConnInfo::Parse(current.toStdString());
  if (!parsed) return false;
  for (const auto& [key, value] : parsed->pairs()) {
    if (key == "host") {
      *server = QString::fromStdString(value);
    } else if (key == "user") {
      *learner = QString::fromStdString(value);
    } else if (!(key == "dbname" && value == kClassDatabase)) {
      return false;
    }
  }
  return !server->isEmpty() && !learner->isEmpty();
}

}  // namespace

ClassDialog::ClassDialog(const QString& current, const QString& from_environment, QWidget* parent)
    : QDialog(parent),
      server_(new QLineEdit(this)),
      learner_(new QLineEdit(this)),
      advanced_(new QCheckBox(QStringLiteral("詳細設定(&A)"), this)),
      advanced_box_(new QWidget(this)),
      field_(new QLineEdit(this)),
      message_(new QLabel(this)) {
  setObjectName(QStringLiteral("classDialog"));
  setWindowTitle(QStringLiteral("クラス"));
  auto* intro = new QLabel(
      QStringLiteral("学校のサーバーに、このコンピューターの成績を送ります。"
                     "サーバーの名前と学習者の番号は、学校の情報担当の先生に聞いてください。"
                     "両方とも空にすると送りません。クラスはサーバーが番号から決めます。"),
      this);
  intro->setWordWrap(true);
  server_->setObjectName(QStringLiteral("classServer"));
  server_->setPlaceholderText(QStringLiteral("rekendo.school.example"));
  server_->setAccessibleName(QStringLiteral("サーバーの名前"));
  learner_->setObjectName(QStringLiteral("classLearner"));
  learner_->setPlaceholderText(QStringLiteral("s0312"));
  learner_->setAccessibleName(QStringLiteral("学習者の番号"));
  auto* fields = new QFormLayout;
  fields->addRow(QStringLiteral("サーバーの名前(&S)"), server_);
  fields->addRow(QStringLiteral("学習者の番号(&N)"), learner_);

  advanced_->setAccessibleName(QStringLiteral("詳細設定"));
  field_->setObjectName(QStringLiteral("classConnection"));
  field_->setPlaceholderText(QStringLiteral("service=rekendo"));
  field_->setAccessibleName(QStringLiteral("接続の設定"));
  auto* label = new QLabel(QStringLiteral("接続の設定(&D)"), advanced_box_);
  label->setBuddy(field_);
  auto* help = new QLabel(
      QStringLiteral("libpq の接続文字列（host=… dbname=rekendo user=… sslmode=verify-full）か、"
                     "サービスの名前（rekendo）。パスワードは書かずに ~/.pgpass か"
                     "サービスファイルに書いてください。"),
      advanced_box_);
  help->setWordWrap(true);
  auto* advanced_layout = new QVBoxLayout(advanced_box_);
  advanced_layout->setContentsMargins(0, 0, 0, 0);
  advanced_layout->addWidget(label);
  advanced_layout->addWidget(field_);
  advanced_layout->addWidget(help);

  message_->setWordWrap(true);
  message_->setObjectName(QStringLiteral("classMessage"));
  message_->setStyleSheet(QStringLiteral("color: #a00000;"));

  QString server, learner;
  const bool simple = SimpleParts(current, &server, &learner);
  server_->setText(server);
  learner_->setText(learner);
  field_->setText(current);
  advanced_->setChecked(!simple);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(intro);
  layout->addLayout(fields);
  layout->addWidget(advanced_);
  layout->addWidget(advanced_box_);
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
  connect(advanced_, &QCheckBox::toggled, this, [this](bool on) { ShowAdvanced(on); });
  layout->addWidget(buttons);
  ShowAdvanced(advanced_->isChecked());
  resize(560, sizeHint().height());
  (simple ? server_ : field_)->setFocus();
}

void ClassDialog::ShowAdvanced(bool on) {
  advanced_box_->setVisible(on);
  server_->setEnabled(!on);
  learner_->setEnabled(!on);
  // The simple fields' connection carried over, to be added to.
  if (on && field_->text().trimmed().isEmpty()) field_->setText(SimpleConnection());
}

QString ClassDialog::SimpleConnection() const {
  const QString server = server_->text().trimmed();
  const QString learner = learner_->text().trimmed();
  if (server.isEmpty() && learner.isEmpty()) return {};
  return QStringLiteral("host=%1 dbname=%2 user=%3")
      .arg(Quoted(server), QString::fromLatin1(kClassDatabase), Quoted(learner));
}

void ClassDialog::SetText(const QString& text) {
  advanced_->setChecked(true);
  field_->setText(text);
}

void ClassDialog::SetServerAndLearner(const QString& server, const QString& learner) {
  advanced_->setChecked(false);
  server_->setText(server);
  learner_->setText(learner);
}

void ClassDialog::TryAccept() {
  if (!advanced_->isChecked()) {
    const bool server = !server_->text().trimmed().isEmpty();
    const bool learner = !learner_->text().trimmed().isEmpty();
    if (server != learner) {
      message_->setText(server ? QStringLiteral("学習者の番号を入れてください。")
                               : QStringLiteral("サーバーの名前を入れてください。"));
      return;
    }
  }
  const Result<QString> kept =
      ClassConnectionToKeep(advanced_->isChecked() ? field_->text() : SimpleConnection());
  if (!kept) {
    message_->setText(QString::fromStdString(kept.error().message));
    return;
  }
  chosen_ = *kept;
  accept();
}

}  // namespace rekendo
