#include "teacher_gate.h"

#include <QDateTime>
#include <QEventLoop>
#include <QFutureWatcher>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QtConcurrent/QtConcurrentRun>
#include <algorithm>

#include "teacher_pin.h"

namespace rekendo {

namespace {

// Runs `work` on a worker and waits for it with the event loop still running.
template <typename Work>
auto OffThread(Work work) -> decltype(work()) {
  using Value = decltype(work());
  QFutureWatcher<Value> watcher;
  QEventLoop loop;
  QObject::connect(&watcher, &QFutureWatcherBase::finished, &loop, &QEventLoop::quit);
  watcher.setFuture(QtConcurrent::run(std::move(work)));
  if (!watcher.isFinished()) loop.exec(QEventLoop::ExcludeUserInputEvents);
  return watcher.result();
}

}  // namespace

TeacherGate::TeacherGate(record::Record& record, QWidget* parent) : record_(record) {
  ask_ = [parent](const QString& prompt) -> std::optional<QString> {
    bool ok = false;
    const QString pin = QInputDialog::getText(parent, QStringLiteral("先生の暗証番号"), prompt,
                                              QLineEdit::Password, {}, &ok);
    if (!ok) return std::nullopt;
    return pin;
  };
  tell_ = [parent](const QString& message) {
    QMessageBox::warning(parent, QStringLiteral("先生の暗証番号"), message);
  };
  clock_ = [] { return QDateTime::currentMSecsSinceEpoch(); };
}

qint64 TeacherGate::WaitAfterMs(int failures) {
  if (failures <= 0) return 0;
  constexpr qint64 kLongestMs = 60'000;
  return failures > 6 ? kLongestMs : std::min<qint64>(kLongestMs, 1000LL << (failures - 1));
}

bool TeacherGate::Unlock() {
  if (unlocked_) return true;
  record_.Open();
  const std::optional<QString> stored = record_.TeacherPinHash();
  if (!stored) return SetFirstPin();
  const record::Record::PinFailures failures = record_.TeacherPinFailures();
  const qint64 left_ms = failures.last_ms + WaitAfterMs(failures.count) - clock_();
  if (left_ms > 0) {
    tell_(QStringLiteral("暗証番号を %1 回続けてまちがえたので、あと %2 秒待ってから入れてください。")
              .arg(failures.count)
              .arg((left_ms + 999) / 1000));
    return false;
  }
  const std::optional<QString> pin = ask_(QStringLiteral(
      "先生の暗証番号を入れてください。\n"
      "（忘れたときは、このコンピューターの管理者が rekendo --forget-teacher-pin で消せます）"));
  if (!pin) return false;
  const QString hash = *stored;
  const QString given = *pin;
  const bool right = OffThread([given, hash] { return record::PinMatches(given, hash); });
  record_.NoteTeacherPinTry(right, clock_());
  if (!right) {
    tell_(QStringLiteral("暗証番号が違います。次は %1 秒たってから入れられます。")
              .arg(WaitAfterMs(failures.count + 1) / 1000));
    return false;
  }
  unlocked_ = true;
  return true;
}

bool TeacherGate::SetFirstPin() {
  const std::optional<QString> pin = ask_(QStringLiteral(
      "学習者を変えるには先生の暗証番号が要ります。\nはじめに暗証番号を決めてください（4 文字以上）。"));
  if (!pin) return false;
  if (const auto problem = record::NewPinProblem(*pin)) {
    tell_(*problem);
    return false;
  }
  const std::optional<QString> again = ask_(QStringLiteral("確かめのため、もう一度入れてください。"));
  if (!again) return false;
  if (*again != *pin) {
    tell_(QStringLiteral("二つの暗証番号が違います。暗証番号は決まっていません。"));
    return false;
  }
  const QString given = *pin;
  const QString hash = OffThread([given] { return record::HashPin(given); });
  if (const Status stored = record_.SetTeacherPinHash(hash); !stored) {
    tell_(QString::fromStdString(stored.error().Describe()));
    return false;
  }
  unlocked_ = true;
  return true;
}

}  // namespace rekendo
