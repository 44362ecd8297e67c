#include "learners_hookup.h"

#include <QTimer>

#include "learners_dialog.h"

namespace rekendo {

LearnersHookup::LearnersHookup(MainWindow& window, record::Record& record,
                               ClassHookup& class_hookup)
    : window_(window), record_(record), class_hookup_(class_hookup) {
  window_.SetBandAction(Command::kLearners, [this] { OpenDialog(); });
  // After the window is shown: start-up does not wait for the record.
  QTimer::singleShot(0, &alive_, [this] { ShowLearner(); });
}

LearnersHookup::~LearnersHookup() { window_.SetBandAction(Command::kLearners, {}); }

void LearnersHookup::ShowLearner() { window_.SetLearnerName(ShownName()); }

QString LearnersHookup::ShownName() {
  if (!record_.Open()) return {};
  const auto learners = record_.Learners();
  if (!learners || learners->size() < 2) return {};
  const qint64 current = record_.CurrentLearnerId();
  for (const record::Learner& learner : *learners) {
    if (learner.id == current) return learner.name;
  }
  return {};
}

void LearnersHookup::OpenDialog() {
  // The クラス dialog opens over this one.
  QWidget* over = &window_;
  LearnersDialog dialog(record_, [this, &over] { class_hookup_.OpenDialog(over); }, &window_);
  dialog.SetRoundUnderWay([this] { return window_.drill().Snapshot().stage == Stage::kRunning; });
  over = &dialog;
  dialog.exec();
  ShowLearner();
}

}  // namespace rekendo
