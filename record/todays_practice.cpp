#include "todays_practice.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QVariant>
#include <algorithm>
#include <atomic>
#include <set>

#include "io_error.h"
#include "line_reader.h"
#include "memory_store.h"
#include "practice.h"
#include "practice_set.h"
#include "question_bank.h"
#include "record_error.h"
#include "sha256.h"
#include "sqlite_connection.h"

namespace rekendo::record {

namespace {

using schedule::ProblemKey;

struct Pair {
  std::string text;
  std::string accepted;
};

struct LastSet {
  QString hash;
  QString path;
};

Error ReadFailed(const QSqlQuery& query) { return ReadFailure(query.lastError()); }

Result<std::optional<LastSet>> LoadLastSet(const QSqlDatabase& db, qint64 learner_id) {
  QSqlQuery query(db);
  // Set by set (there are few), the learner's latest round of each from the end of the
  // (set_hash, started_at) index: no scan of every round.
  query.prepare(QStringLiteral(
      "SELECT content_hash, latest_path FROM (SELECT p.content_hash, p.latest_path, "
      "(SELECT r.started_at FROM rounds r WHERE r.set_hash = p.content_hash "
      "AND +r.learner_id = ? ORDER BY r.started_at DESC LIMIT 1) AS last_played "
      "FROM problem_sets p WHERE p.content_hash NOT IN (SELECT set_hash FROM practice_problems)) "
      "WHERE last_played IS NOT NULL ORDER BY last_played DESC LIMIT 1"));
  query.addBindValue(learner_id);
  if (!query.exec()) return ReadFailed(query);
  if (!query.next()) return std::optional<LastSet>();
  return std::optional<LastSet>(LastSet{query.value(0).toString(), query.value(1).toString()});
}

// The pairs of the file at `path` as the drill reads them, when its bytes are still the set
// `hash`; nothing when it is gone or changed.
std::vector<Pair> PairsOfFile(const QString& path, const QString& hash) {
  std::vector<Pair> pairs;
  try {
    LineReader file(QFile::encodeName(path).toStdString());
    file.KeepDigest();
    while (static_cast<int>(pairs.size()) < kMaxProblems && !file.AtEnd()) {
      Pair pair;
      file.ReadLine(pair.text);
      file.ReadLine(pair.accepted);
      pairs.push_back(std::move(pair));
    }
    if (QString::fromStdString(file.ContentDigest()) != hash) pairs.clear();
  } catch (const IoError&) {
    pairs.clear();
  }
  return pairs;
}

// The recorded texts of a problem, unless the record kept them cut.
Result<std::optional<Pair>> RecordedPair(QSqlQuery& query, qint64 learner_id,
                                         const ProblemKey& key) {
  query.bindValue(0, learner_id);
  query.bindValue(1, QString::fromStdString(key.set_hash));
  query.bindValue(2, key.problem_index);
  if (!query.exec()) return ReadFailed(query);
  if (!query.next() || query.value(2).toBool()) return std::optional<Pair>();
  const QByteArray text = query.value(0).toByteArray();
  const QByteArray accepted = query.value(1).toByteArray();
  return std::optional<Pair>(Pair{text.toStdString(), accepted.toStdString()});
}

struct Built {
  std::vector<ProblemKey> origins;
  std::string bytes;
  int reviews = 0;
  int fresh = 0;
  QString last_set_path;
};

Result<Built> Build(const QSqlDatabase& db, qint64 learner_id, const MemorySchedule& schedule,
                    schedule::UnixSeconds now, int limit) {
  // Twice what is asked for, so that a problem the SQL order puts just past the edge (it
  // rounds differently from the scheduler) or a review that cannot be asked leaves no gap.
  int wanted = 2 * limit + 10;
  auto states = LoadDueStates(db, learner_id, schedule, now, wanted);
  if (!states) return states.error();
  auto last = LoadLastSet(db, learner_id);
  if (!last) return last.error();
  Built built;
  std::vector<Pair> file_pairs;
  std::vector<ProblemKey> fresh;
  if (*last) {
    built.last_set_path = (*last)->path;
    const std::string hash = (*last)->hash.toStdString();
    const auto indexes = LoadKnownIndexes(db, learner_id, (*last)->hash);
    if (!indexes) return indexes.error();
    const std::set<int> known(indexes->begin(), indexes->end());
    file_pairs = PairsOfFile((*last)->path, (*last)->hash);
    for (int index = 1; index <= static_cast<int>(file_pairs.size()); ++index) {
      if (!known.contains(index)) fresh.push_back({hash, index});
    }
  }
  QSqlQuery texts(db);
  texts.prepare(QStringLiteral(
      "SELECT text_sjis, accepted_sjis, COALESCE(text_length, 0) > LENGTH(text_sjis) "
      "OR COALESCE(accepted_length, 0) > LENGTH(accepted_sjis) FROM problem_stats "
      "WHERE learner_id = ? AND set_hash = ? AND bank_index = ?"));
  // A chosen review whose texts the record cut (or lost) cannot be asked: it is left out
  // and the choice made again, which in practice happens at most once.
  std::set<ProblemKey> unaskable;
  for (;;) {
    auto chosen = schedule::SelectTodaysPractice(*states, fresh, now, schedule.utc_offset,
                                                 schedule.scheduler, limit);
    if (!chosen) return chosen.error();
    built.origins.clear();
    built.bytes.clear();
    built.reviews = built.fresh = 0;
    bool retry = false;
    for (int i = 0; i < static_cast<int>(chosen->problems.size()); ++i) {
      const ProblemKey& key = chosen->problems[static_cast<std::size_t>(i)];
      const bool review = i < chosen->review_count;
      std::optional<Pair> pair;
      if (!review) {
        pair = file_pairs[static_cast<std::size_t>(key.problem_index - 1)];
      } else {
        auto recorded = RecordedPair(texts, learner_id, key);
        if (!recorded) return recorded.error();
        pair = *recorded;
      }
      if (!pair) {
        unaskable.insert(key);
        retry = true;
        continue;
      }
      AppendPair(built.bytes, pair->text, pair->accepted);
      built.origins.push_back(key);
      ++(review ? built.reviews : built.fresh);
    }
    if (!retry) break;
    wanted += static_cast<int>(unaskable.size());
    states = LoadDueStates(db, learner_id, schedule, now, wanted);
    if (!states) return states.error();
    std::erase_if(*states, [&](const auto& problem) { return unaskable.contains(problem.key); });
  }
  return built;
}

}  // namespace

Result<TodaysPracticeFile> WriteTodaysPractice(Record& record, schedule::UnixSeconds now,
                                               int limit) {
  limit = std::clamp(limit, schedule::kMinPracticeSize, schedule::kMaxPracticeSize);
  if (!record.Open()) {
    if (record.Error()) return *record.Error();
    return Error{ErrorCode::kIo, "記録を開けませんでした。", {}, {}};
  }
  // Read on a connection of this call's own, like the 成績 window's views.
  Result<Built> built = ReadFailure(QSqlError(), record.FilePath());
  {
    ScopedConnection connection("todays-practice", record.FilePath(), 1000, OpenMode::kReadOnly);
    if (connection.isOpen()) {
      built = Build(connection.db(), record.CurrentLearnerId(), record.Schedule(), now, limit);
    } else {
      built = ReadFailure(connection.db().lastError(), record.FilePath());
    }
  }
  if (!built) {
    Error error = built.error();
    error.subject = QDir::toNativeSeparators(record.FilePath()).toStdString();
    return error;
  }
  if (built->origins.empty()) {
    return Error{ErrorCode::kNotFound, "今日の練習にする問題はありません（復習の時期が来た問題も、新しい問題もありません）。",
                 built->last_set_path.toStdString(), {}};
  }
  // Where the problems came from goes in first: a file that a failed note would leave
  // unknown must not be played.
  Sha256 digest;
  digest.Add(built->bytes);
  const QString hash = QString::fromStdString(digest.HexDigest());
  if (!record.NotePracticeOrigins(hash, built->origins)) {
    return record.Error() ? *record.Error()
                          : Error{ErrorCode::kIo, "記録に書けませんでした。", {}, {}};
  }
  const auto written =
      WriteProblemFileIn(record.Folder(), QStringLiteral("今日の練習"), QStringLiteral("今日の練習-"),
                         built->bytes);
  if (!written) return written.error();
  return TodaysPracticeFile{*written, built->reviews, built->fresh, built->last_set_path};
}

}  // namespace rekendo::record
