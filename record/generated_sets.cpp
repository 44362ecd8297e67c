#include "generated_sets.h"

#include <QSqlQuery>
#include <QVariant>
#include <algorithm>
#include <memory>

#include "record_error.h"

namespace rekendo::record {

std::optional<QSqlError> NoteGeneratedSet(QSqlDatabase& db, const QString& hash,
                                          const QString& topic, int level, qint64 made_at_ms) {
  QSqlQuery query(db);
  query.prepare(QStringLiteral(
      "INSERT INTO generated_sets (content_hash, topic, level, made_at) VALUES (?, ?, ?, ?) "
      "ON CONFLICT (content_hash) DO NOTHING"));
  query.addBindValue(hash);
  query.addBindValue(topic);
  query.addBindValue(level);
  query.addBindValue(made_at_ms);
  if (!query.exec()) return query.lastError();
  return std::nullopt;
}

Result<std::vector<TopicMastery>> LoadMastery(const QSqlDatabase& db, qint64 learner_id,
                                              schedule::MasteryRule rule) {
  // Right before the time-out counts as right; wrong at the time-out and left with Next
  // Question do not; a question still open when its round ended is not counted (grade.h).
  {
    // Most records have no generated set the learner played: then the query below would
    // still walk every round of theirs to find none.
    QSqlQuery played(db);
    played.prepare(QStringLiteral(
        "SELECT 1 FROM generated_sets g WHERE EXISTS (SELECT 1 FROM rounds r WHERE "
        "r.learner_id = ? AND r.set_hash = g.content_hash) LIMIT 1"));
    played.addBindValue(learner_id);
    if (!played.exec()) {
      return ReadFailure(played.lastError());
    }
    if (!played.next()) return std::vector<TopicMastery>{};
  }
  QSqlQuery query(db);
  query.setForwardOnly(true);
  query.prepare(QStringLiteral(
      "SELECT topic, level, outcome FROM (SELECT g.topic, g.level, q.outcome, "
      "ROW_NUMBER() OVER (PARTITION BY g.topic, g.level ORDER BY q.closed_at DESC, "
      "q.round_id DESC, q.number DESC) AS latest "
      "FROM generated_sets g JOIN rounds r ON r.set_hash = g.content_hash "
      "JOIN questions q ON q.round_id = r.id "
      "WHERE r.learner_id = ? AND q.kind = 'problem' AND q.outcome IN ('right', 'wrong', 'left')) "
      "WHERE latest <= ? ORDER BY topic, level, latest DESC"));
  query.addBindValue(learner_id);
  query.addBindValue(rule.last_questions);
  if (!query.exec()) {
    return ReadFailure(query.lastError());
  }
  std::vector<TopicMastery> rows;
  std::vector<bool> right;
  const auto close = [&] {
    if (rows.empty()) return;
    const auto flags = std::make_unique<bool[]>(right.size());
    std::copy(right.begin(), right.end(), flags.get());
    const std::span<const bool> oldest_first(flags.get(), right.size());
    if (auto mastery = schedule::MasteryOf(oldest_first, rule)) rows.back().mastery = *mastery;
    rows.back().counted = static_cast<int>(right.size());
    right.clear();
  };
  while (query.next()) {
    const QString topic = query.value(0).toString();
    const int level = query.value(1).toInt();
    if (rows.empty() || rows.back().topic != topic || rows.back().level != level) {
      close();
      rows.push_back({topic, level, schedule::Mastery::kNotStarted, 0, 0});
    }
    const bool was_right = query.value(2).toString() == QStringLiteral("right");
    right.push_back(was_right);
    rows.back().right += was_right ? 1 : 0;
  }
  close();
  return rows;
}

}  // namespace rekendo::record
