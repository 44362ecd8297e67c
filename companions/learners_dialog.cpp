#include "learners_dialog.h"

#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace rekendo {

namespace {

QString Text(const Error& error) { return QString::fromStdString(error.Describe()); }

}  // namespace

LearnersDialog::LearnersDialog(record::Record& record, std::function<void()> open_class,
                               QWidget* parent)
    : QDialog(parent),
      record_(record),
      open_class_(std::move(open_class)),
      gate_(record, this),
      list_(new QListWidget(this)),
      message_(new QLabel(this)),
      choose_button_(new QPushButton(QStringLiteral("この学習者にする(&S)"), this)) {
  setObjectName(QStringLiteral("learnersDialog"));
  setWindowTitle(QStringLiteral("学習者"));
  ask_name_ = [this](const QString& prompt, const QString& current) -> std::optional<QString> {
    bool ok = false;
    const QString name = QInputDialog::getText(this, QStringLiteral("学習者"), prompt,
                                               QLineEdit::Normal, current, &ok);
    if (!ok) return std::nullopt;
    return name;
  };
  confirm_ = [this](const QString& question) {
    return QMessageBox::question(this, QStringLiteral("学習者"), question,
                                 QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
  };

  list_->setObjectName(QStringLiteral("learners"));
  list_->setAccessibleName(QStringLiteral("学習者の一覧"));
  auto* list_label = new QLabel(QStringLiteral("だれが解きますか(&L)"), this);
  list_label->setBuddy(list_);
  message_->setWordWrap(true);
  message_->setObjectName(QStringLiteral("learnersMessage"));

  choose_button_->setObjectName(QStringLiteral("chooseLearner"));
  auto* add = new QPushButton(QStringLiteral("追加(&A)…"), this);
  add->setObjectName(QStringLiteral("addLearner"));
  auto* rename = new QPushButton(QStringLiteral("名前を変える(&N)…"), this);
  rename->setObjectName(QStringLiteral("renameLearner"));
  auto* remove = new QPushButton(QStringLiteral("消す(&D)…"), this);
  remove->setObjectName(QStringLiteral("removeLearner"));
  auto* close = new QPushButton(QStringLiteral("閉じる"), this);

  auto* side = new QVBoxLayout;
  side->addWidget(choose_button_);
  side->addSpacing(12);
  side->addWidget(new QLabel(QStringLiteral("先生用（暗証番号）"), this));
  side->addWidget(add);
  side->addWidget(rename);
  side->addWidget(remove);
  auto* role = new QPushButton(QStringLiteral("クラスのロール(&R)…"), this);
  role->setObjectName(QStringLiteral("learnerClassRole"));
  side->addWidget(role);
  connect(role, &QPushButton::clicked, this, [this] { SetClassRoleOfSelected(); });
  role->setAutoDefault(false);
  if (open_class_) {
    auto* class_button = new QPushButton(QStringLiteral("クラス(&C)…"), this);
    class_button->setObjectName(QStringLiteral("classSettings"));
    side->addWidget(class_button);
    connect(class_button, &QPushButton::clicked, this, [this] { OpenClass(); });
  }
  side->addStretch();
  side->addWidget(close);

  auto* body = new QHBoxLayout;
  auto* left = new QVBoxLayout;
  left->addWidget(list_label);
  left->addWidget(list_);
  body->addLayout(left, 1);
  body->addLayout(side);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(body);
  layout->addWidget(message_);
  resize(480, 320);

  for (auto* button : {choose_button_, add, rename, remove, close}) button->setAutoDefault(false);
  choose_button_->setDefault(true);
  connect(choose_button_, &QPushButton::clicked, this, [this] { ChooseSelected(); });
  connect(list_, &QListWidget::itemActivated, this, [this] { ChooseSelected(); });
  connect(add, &QPushButton::clicked, this, [this] { AddLearner(); });
  connect(rename, &QPushButton::clicked, this, [this] { RenameSelected(); });
  connect(remove, &QPushButton::clicked, this, [this] { RemoveSelected(); });
  connect(close, &QPushButton::clicked, this, &QDialog::accept);

  record_.Open();
  Reload(record_.CurrentLearnerId());
  if (!record_.IsOpen() && record_.Error()) {
    ShowMessage(Text(*record_.Error()), true);
  }
  list_->setFocus();
}

void LearnersDialog::Reload(qint64 select_id) {
  list_->clear();
  const auto learners = record_.Learners();
  if (!learners) {
    ShowMessage(Text(learners.error()), true);
    return;
  }
  const qint64 current = record_.CurrentLearnerId();
  for (const record::Learner& learner : *learners) {
    QString shown = learner.name;
    if (const auto role = record_.LearnerClassRole(learner.id); role && !role->isEmpty()) {
      shown += QStringLiteral("　[%1]").arg(*role);
    }
    if (learner.id == current) shown += QStringLiteral("　（いま解いている人）");
    auto* item = new QListWidgetItem(shown, list_);
    item->setData(Qt::UserRole, learner.id);
    item->setData(Qt::UserRole + 1, learner.name);
  }
  Select(select_id);
  choose_button_->setEnabled(record_.CanWrite());
}

void LearnersDialog::Select(qint64 id) {
  for (int row = 0; row < list_->count(); ++row) {
    if (list_->item(row)->data(Qt::UserRole).toLongLong() == id) list_->setCurrentRow(row);
  }
}

std::optional<qint64> LearnersDialog::SelectedId() const {
  const QListWidgetItem* item = list_->currentItem();
  if (item == nullptr) return std::nullopt;
  return item->data(Qt::UserRole).toLongLong();
}

QString LearnersDialog::SelectedName() const {
  const QListWidgetItem* item = list_->currentItem();
  return item == nullptr ? QString() : item->data(Qt::UserRole + 1).toString();
}

void LearnersDialog::ShowMessage(const QString& text, bool trouble) {
  message_->setStyleSheet(trouble ? QStringLiteral("color: #a00000;") : QString());
  message_->setText(text);
}

void LearnersDialog::ChooseSelected() {
  const auto id = SelectedId();
  if (!id) return;
  const qint64 before = record_.CurrentLearnerId();
  if (*id != before && round_under_way_ && round_under_way_()) {
    QString playing;
    if (const auto learners = record_.Learners()) {
      for (const record::Learner& learner : *learners) {
        if (learner.id == before) playing = learner.name;
      }
    }
    if (!confirm_(QStringLiteral("回の途中です。この回は最後まで「%1」の記録になります。"
                                 "次の回から「%2」に変えますか？")
                      .arg(playing, SelectedName()))) {
      return;
    }
  }
  if (!record_.SetCurrentLearner(*id)) {
    ShowMessage(record_.Error() ? Text(*record_.Error()) : QStringLiteral("選べませんでした。"), true);
    return;
  }
  accept();
}

void LearnersDialog::AddLearner() {
  if (!gate_.Unlock()) return;
  const auto name = ask_name_(QStringLiteral("新しい学習者の名前"), {});
  if (!name) return;
  const Result<qint64> added = record_.AddLearner(*name);
  if (!added) {
    ShowMessage(Text(added.error()), true);
    return;
  }
  Reload(*added);
  ShowMessage(QStringLiteral("%1 さんを加えました。「この学習者にする」で、その人の回になります。")
                  .arg(name->trimmed()),
              false);
}

void LearnersDialog::RenameSelected() {
  const auto id = SelectedId();
  if (!id || !gate_.Unlock()) return;
  const auto name = ask_name_(QStringLiteral("新しい名前"), SelectedName());
  if (!name) return;
  if (const Status renamed = record_.RenameLearner(*id, *name); !renamed) {
    ShowMessage(Text(renamed.error()), true);
    return;
  }
  Reload(*id);
  ShowMessage(QStringLiteral("名前を変えました。"), false);
}

void LearnersDialog::RemoveSelected() {
  const auto id = SelectedId();
  if (!id || !gate_.Unlock()) return;
  const QString name = SelectedName();
  const Result<int> rounds = record_.LearnerRoundCount(*id);
  if (!rounds) {
    ShowMessage(Text(rounds.error()), true);
    return;
  }
  const QString question =
      *rounds > 0
          ? QStringLiteral("%1 さんを消します。%1 さんの %2 回分の記録（問題ごとの結果と集計）も"
                           "いっしょに消え、元に戻せません。よろしいですか？")
                .arg(name)
                .arg(*rounds)
          : QStringLiteral("%1 さんを消します。よろしいですか？").arg(name);
  if (!confirm_(question)) return;
  if (const Status removed = record_.RemoveLearner(*id); !removed) {
    ShowMessage(Text(removed.error()), true);
    return;
  }
  Reload(record_.CurrentLearnerId());
  ShowMessage(QStringLiteral("%1 さんを消しました。").arg(name), false);
}

void LearnersDialog::SetClassRoleOfSelected() {
  const auto id = SelectedId();
  if (!id || !gate_.Unlock()) return;
  const Result<QString> current = record_.LearnerClassRole(*id);
  const auto role = ask_name_(
      QStringLiteral("%1 さんのクラスのロール（空: 接続のユーザーの名前で送ります）").arg(SelectedName()),
      current ? *current : QString());
  if (!role) return;
  if (const Status set = record_.SetLearnerClassRole(*id, *role); !set) {
    ShowMessage(Text(set.error()), true);
    return;
  }
  Reload(*id);
  ShowMessage(QStringLiteral("クラスのロールを変えました。"), false);
}

void LearnersDialog::OpenClass() {
  if (!open_class_ || !gate_.Unlock()) return;
  open_class_();
}

}  // namespace rekendo
