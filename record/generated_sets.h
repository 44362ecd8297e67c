// The sets 問題を作る wrote, by the SHA-256 of their bytes, with their topic and level; and
// how far the current learner has come with each topic and level (mastery): a topic at a
// level is mastered when enough of its last questions were right before the time-out.
#pragma once

#include <QSqlDatabase>
#include <QSqlError>
#include <QString>
#include <optional>
#include <vector>

#include "error.h"
#include "practice.h"

namespace rekendo::record {

std::optional<QSqlError> NoteGeneratedSet(QSqlDatabase& db, const QString& hash,
                                          const QString& topic, int level, qint64 made_at_ms);

struct TopicMastery {
  QString topic;  // the generator's name of it (rekendo-gen's TOPIC)
  int level = 0;
  schedule::Mastery mastery = schedule::Mastery::kNotStarted;
  int right = 0;    // of the last questions counted
  int counted = 0;  // at most rule.last_questions
};

// Every topic and level the learner has played a generated set of; the others are 未.
Result<std::vector<TopicMastery>> LoadMastery(const QSqlDatabase& db, qint64 learner_id,
                                              schedule::MasteryRule rule);

}  // namespace rekendo::record
