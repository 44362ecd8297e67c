#include "memory_store.h"

#include <QSqlQuery>
#include <QVariant>
#include <algorithm>
#include <unordered_map>

#include "grade.h"
#include "record_error.h"
#include "record_rows.h"

namespace rekendo::record {

namespace {

using schedule::Grade;
using schedule::MemoryState;

struct Memory {
  MemoryState state;
  int reviews = 0;
  int lapses = 0;
};

// One review applied to what is known (nothing for a first answer).
Memory Reviewed(const std::optional<Memory>& before, Grade grade, schedule::UnixSeconds when,
                const MemorySchedule& schedule) {
  std::optional<MemoryState> previous;
  if (before) {
    previous = before->state;
    when = std::max(when, before->state.last_review);
  }
  Memory after;
  // In order and with a grade of 1 to 4 the review cannot fail; were it to, the problem
  // keeps what it had rather than losing its history.
  auto next = schedule.scheduler.Review(previous, grade, when, schedule.utc_offset);
  if (!next) return before.value_or(Memory{});
  after.state = *next;
  after.reviews = (before ? before->reviews : 0) + 1;
  after.lapses = (before ? before->lapses : 0) + (grade == Grade::kAgain ? 1 : 0);
  return after;
}

constexpr char kUpsert[] =
    "INSERT INTO memory_states (learner_id, set_hash, bank_index, stability, difficulty, "
    "last_review, due, reviews, lapses) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?) "
    "ON CONFLICT (learner_id, set_hash, bank_index) DO UPDATE SET "
    "stability = excluded.stability, difficulty = excluded.difficulty, "
    "last_review = excluded.last_review, due = excluded.due, reviews = excluded.reviews, "
    "lapses = excluded.lapses";

void BindMemory(QSqlQuery& query, qint64 learner_id, const QString& set_hash, int bank_index,
                const Memory& memory) {
  query.bindValue(0, learner_id);
  query.bindValue(1, set_hash);
  query.bindValue(2, bank_index);
  query.bindValue(3, memory.state.stability);
  query.bindValue(4, memory.state.difficulty);
  query.bindValue(5, static_cast<qint64>(memory.state.last_review));
  query.bindValue(6, static_cast<qint64>(memory.state.due));
  query.bindValue(7, memory.reviews);
  query.bindValue(8, memory.lapses);
}

// A problem in the replay, by small numbers: the learner, the set's row and the index.
std::uint64_t PackKey(qint64 learner_id, qint64 set_row, int bank_index) {
  return (static_cast<std::uint64_t>(learner_id) << 44) ^
         (static_cast<std::uint64_t>(set_row) << 16) ^ static_cast<std::uint64_t>(bank_index);
}

}  // namespace

std::optional<QSqlError> ReviewProblem(QSqlDatabase& db, StatementCache& statements,
                                       qint64 round_id, const QString& set_hash, int bank_index,
                                       Grade grade, schedule::UnixSeconds when,
                                       const MemorySchedule& schedule) {
  // One read: the round's learner, the problem a practice copy came from (else itself) and
  // what is known of it.
  static constexpr char kRead[] =
      "SELECT r.learner_id, COALESCE(o.origin_hash, :hash), COALESCE(o.origin_index, :index), "
      "m.stability, m.difficulty, m.last_review, m.due, m.reviews, m.lapses FROM rounds r "
      "LEFT JOIN practice_problems o ON o.set_hash = :hash AND o.bank_index = :index "
      "LEFT JOIN memory_states m ON m.learner_id = r.learner_id "
      "AND m.set_hash = COALESCE(o.origin_hash, :hash) "
      "AND m.bank_index = COALESCE(o.origin_index, :index) WHERE r.id = :round";
  QSqlError error;
  QSqlQuery* read = statements.Get(db, kRead, &error);
  if (!read) return error;
  read->bindValue(QStringLiteral(":hash"), set_hash);
  read->bindValue(QStringLiteral(":index"), bank_index);
  read->bindValue(QStringLiteral(":round"), round_id);
  if (!read->exec()) return read->lastError();
  if (!read->next()) {
    read->finish();
    return QSqlError(QStringLiteral("round %1 is not in the record").arg(round_id));
  }
  const qint64 learner_id = read->value(0).toLongLong();
  const QString origin_hash = read->value(1).toString();
  const int origin_index = read->value(2).toInt();
  std::optional<Memory> before;
  if (!read->value(3).isNull()) {
    Memory known;
    known.state = {read->value(3).toDouble(), read->value(4).toDouble(),
                   read->value(5).toLongLong(), read->value(6).toLongLong()};
    known.reviews = read->value(7).toInt();
    known.lapses = read->value(8).toInt();
    before = known;
  }
  // Reset, so the kept statement holds no read open.
  read->finish();
  QSqlQuery* write = statements.Get(db, kUpsert, &error);
  if (!write) return error;
  BindMemory(*write, learner_id, origin_hash, origin_index, Reviewed(before, grade, when, schedule));
  if (!write->exec()) return write->lastError();
  return std::nullopt;
}

std::optional<QSqlError> ReplayHistory(QSqlDatabase& db, const MemorySchedule& schedule,
                                       const ReplayProgress& progress) {
  // Only graded answers are reviews (see grade.h); trivia never is. Fixed text only: the
  // statements below splice no value.
  // A problem answered in a 今日の練習 or 復習 file is reviewed in the set it came from, as
  // when it was answered live.
  const QString graded = QStringLiteral(
      "FROM questions q JOIN rounds r ON r.id = q.round_id "
      "LEFT JOIN practice_problems o ON o.set_hash = r.set_hash AND o.bank_index = q.bank_index "
      "JOIN problem_sets p ON p.content_hash = COALESCE(o.origin_hash, r.set_hash) "
      "WHERE q.kind = 'problem' AND q.outcome IN ('right', 'wrong')");
  qint64 total = 0;
  if (progress) {
    QSqlQuery count(db);
    if (!count.exec(QStringLiteral("SELECT COUNT(*) ") + graded)) return count.lastError();
    if (count.next()) total = count.value(0).toLongLong();
    progress(0, total);
  }
  // Sets by their row number while replaying, so that a question costs no string.
  std::unordered_map<qint64, QString> set_hashes;
  {
    QSqlQuery sets(db);
    sets.setForwardOnly(true);
    if (!sets.exec(QStringLiteral("SELECT rowid, content_hash FROM problem_sets"))) {
      return sets.lastError();
    }
    while (sets.next()) set_hashes.emplace(sets.value(0).toLongLong(), sets.value(1).toString());
  }
  struct Replayed {
    qint64 learner_id;
    qint64 set_row;
    int bank_index;
    Memory memory;
  };
  std::unordered_map<std::uint64_t, std::size_t> where;
  std::vector<Replayed> problems;
  {
    QSqlQuery history(db);
    history.setForwardOnly(true);
    if (!history.exec(QStringLiteral("SELECT r.learner_id, p.rowid, "
                                     "COALESCE(o.origin_index, q.bank_index), "
                                     "q.outcome = 'right', q.wrong_tries, q.closed_at ") +
                      graded + QStringLiteral(" ORDER BY q.closed_at, q.round_id, q.number"))) {
      return history.lastError();
    }
    qint64 done = 0;
    while (history.next()) {
      const qint64 learner_id = history.value(0).toLongLong();
      const qint64 set_row = history.value(1).toLongLong();
      const int bank_index = history.value(2).toInt();
      const auto grade = schedule::GradeForQuestion(
          QuestionKind::kProblem,
          history.value(3).toInt() != 0 ? QuestionOutcome::kRight : QuestionOutcome::kWrongAtTimeUp,
          history.value(4).toInt());
      const schedule::UnixSeconds when = history.value(5).toLongLong() / 1000;
      const auto [found, fresh] =
          where.try_emplace(PackKey(learner_id, set_row, bank_index), problems.size());
      if (fresh) {
        problems.push_back({learner_id, set_row, bank_index, Reviewed({}, *grade, when, schedule)});
      } else {
        Memory& memory = problems[found->second].memory;
        memory = Reviewed(memory, *grade, when, schedule);
      }
      if (progress && ++done % 20000 == 0) progress(done, total);
    }
  }
  QSqlQuery clear(db);
  if (!clear.exec(QStringLiteral("DELETE FROM memory_states"))) return clear.lastError();
  QSqlQuery insert(db);
  if (!insert.prepare(QString::fromLatin1(kUpsert))) return insert.lastError();
  for (const Replayed& problem : problems) {
    BindMemory(insert, problem.learner_id, set_hashes[problem.set_row], problem.bank_index,
               problem.memory);
    if (!insert.exec()) return insert.lastError();
  }
  if (progress) progress(total, total);
  return std::nullopt;
}

std::optional<QSqlError> NotePracticeOrigins(QSqlDatabase& db, const QString& set_hash,
                                             const std::vector<schedule::ProblemKey>& origins) {
  QSqlQuery note(db);
  if (!note.prepare(QStringLiteral(
          "INSERT INTO practice_problems (set_hash, bank_index, origin_hash, origin_index) "
          "VALUES (?, ?, ?, ?) ON CONFLICT (set_hash, bank_index) DO UPDATE SET "
          "origin_hash = excluded.origin_hash, origin_index = excluded.origin_index"))) {
    return note.lastError();
  }
  for (std::size_t i = 0; i < origins.size(); ++i) {
    note.bindValue(0, set_hash);
    note.bindValue(1, static_cast<int>(i + 1));
    note.bindValue(2, QString::fromStdString(origins[i].set_hash));
    note.bindValue(3, origins[i].problem_index);
    if (!note.exec()) return note.lastError();
  }
  return std::nullopt;
}

namespace {

Result<std::vector<schedule::ScheduledProblem>> ReadStates(QSqlQuery& query) {
  if (!query.exec()) {
    return ReadFailure(query.lastError());
  }
  std::vector<schedule::ScheduledProblem> states;
  while (query.next()) {
    schedule::ScheduledProblem problem;
    problem.key.set_hash = query.value(0).toString().toStdString();
    problem.key.problem_index = query.value(1).toInt();
    problem.state = {query.value(2).toDouble(), query.value(3).toDouble(),
                     query.value(4).toLongLong(), query.value(5).toLongLong()};
    states.push_back(std::move(problem));
  }
  return states;
}

}  // namespace

Result<std::vector<schedule::ScheduledProblem>> LoadMemoryStates(const QSqlDatabase& db,
                                                                 qint64 learner_id) {
  QSqlQuery query(db);
  query.setForwardOnly(true);
  query.prepare(QStringLiteral(
      "SELECT set_hash, bank_index, stability, difficulty, last_review, due FROM memory_states "
      "WHERE learner_id = ?"));
  query.addBindValue(learner_id);
  return ReadStates(query);
}

Result<std::vector<schedule::ScheduledProblem>> LoadDueStates(const QSqlDatabase& db,
                                                              qint64 learner_id,
                                                              const MemorySchedule& schedule,
                                                              schedule::UnixSeconds now,
                                                              int max_rows) {
  // The due day as Scheduler::DueDay works it out, from the stability (the retention may
  // have changed since the review), in SQL so that only the due rows come back.
  QSqlQuery query(db);
  query.setForwardOnly(true);
  query.prepare(QStringLiteral(
      "SELECT set_hash, bank_index, stability, difficulty, last_review, due FROM memory_states "
      "WHERE +learner_id = :learner AND (last_review + :offset) / 86400 + "
      "MAX(1, MIN(:max_days, ROUND(stability * :scale))) <= :today + 1 "
      "ORDER BY MAX(0, :today - (last_review + :offset) / 86400) / stability DESC, "
      "(last_review + :offset) / 86400 + MAX(1, MIN(:max_days, ROUND(stability * :scale))), "
      "set_hash, bank_index LIMIT :rows"));
  const qint64 today = schedule::CalendarDay(now, schedule.utc_offset);
  query.bindValue(QStringLiteral(":learner"), learner_id);
  query.bindValue(QStringLiteral(":offset"), static_cast<qint64>(schedule.utc_offset));
  query.bindValue(QStringLiteral(":max_days"), schedule::kMaxIntervalDays);
  query.bindValue(QStringLiteral(":scale"), schedule.scheduler.IntervalScale());
  query.bindValue(QStringLiteral(":today"), today);
  query.bindValue(QStringLiteral(":rows"), max_rows);
  return ReadStates(query);
}

Result<std::vector<int>> LoadKnownIndexes(const QSqlDatabase& db, qint64 learner_id,
                                          const QString& set_hash) {
  QSqlQuery query(db);
  query.setForwardOnly(true);
  query.prepare(QStringLiteral(
      "SELECT bank_index FROM memory_states WHERE learner_id = ? AND set_hash = ?"));
  query.addBindValue(learner_id);
  query.addBindValue(set_hash);
  if (!query.exec()) {
    return ReadFailure(query.lastError());
  }
  std::vector<int> indexes;
  while (query.next()) indexes.push_back(query.value(0).toInt());
  return indexes;
}

}  // namespace rekendo::record
