#include "sample_rounds.h"

#include <QCryptographicHash>
#include <QUuid>

namespace rekendo::classroom::testing {

std::string NameUuid(const std::string& name) {
  static const QUuid kNamespace = QUuid::fromString(u"{6f1c9b5e-6a2d-4c58-9d53-3b7b8e0f4a11}");
  return QUuid::createUuidV5(kNamespace, QByteArray::fromStdString(name))
      .toString(QUuid::WithoutBraces)
      .toStdString();
}

ClassRound SampleRound(const std::string& learner, int index, int questions, bool name_learner) {
  ClassRound round;
  round.id = NameUuid(learner + "/" + std::to_string(index));
  if (name_learner) round.learner = learner;
  round.set_hash = QCryptographicHash::hash("暗算（四則計算）", QCryptographicHash::Sha256)
                       .toHex()
                       .toStdString();
  round.file_name = "暗算（四則計算）.mon";
  round.pair_count = 120;
  // One round a day back from 2026-12-01, ten minutes in the morning.
  round.started_at_ms = 1'796'083'200'000LL - std::int64_t(index) * 86'400'000LL;
  round.ended_at_ms = round.started_at_ms + 300'000;
  int right = 0;
  for (int n = 1; n <= questions; ++n) {
    ClassQuestion q;
    q.number = n;
    q.kind = n % 5 == 0 ? "trivia" : "problem";
    q.bank_index = (index * 7 + n) % 120;
    q.text = "１２×" + std::to_string(n) + "＝";
    q.accepted = std::to_string(12 * n);
    const bool ok = (index + n) % 3 != 0;
    q.typed = ok ? q.accepted : "１";
    q.outcome = ok ? "right" : "wrong";
    right += ok;
    q.wrong_tries = ok ? 0 : 1;
    q.seconds_used = 3 + n % 7;
    round.questions.push_back(std::move(q));
  }
  round.score = right * 10;
  round.judgement_index = right;
  round.ending = "finished";
  return round;
}

}  // namespace rekendo::classroom::testing
