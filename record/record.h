// The learning record: one SQLite file in the learner's data folder. Opening is a call of
// its own, so the program can put it off until the window is up. Nothing here throws and
// nothing opens a box: a failure becomes the error state, read by the 成績 window, and the
// drill goes on as if there were no record.
#pragma once

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariantList>
#include <cstdint>
#include <optional>
#include <vector>

#include "error.h"
#include "generated_sets.h"
#include "memory_store.h"
#include "record_error.h"
#include "record_queries.h"
#include "record_lock.h"
#include "record_rows.h"
#include "statement_cache.h"

namespace rekendo::record {

inline constexpr const char* kRecordFileName = "record.sqlite3";
// Records up to this size are checked whole when opened.
inline constexpr qint64 kCheckedRecordBytes = 64 << 20;

struct RecordOptions {
  // How long a write waits for another program's transaction. Writes are short, so a wait
  // this long means something is wrong; the round must not stall on it.
  int busy_timeout_ms = 1000;
  // The file system type to take the folder for (statfs's f_type); 0: ask the system.
  long file_system_type = 0;
  // What a new record's first learner is called; empty: the operating-system account.
  QString first_learner_name = {};
  // How each problem's next review is worked out (the retention, the learner's day).
  MemorySchedule schedule = {};
  // Told how far the replay of an older record's questions has come (called on the thread
  // that opens the record).
  ReplayProgress replay_progress = {};
};

class Record {
 public:
  explicit Record(QString folder, RecordOptions options = {});
  ~Record();
  Record(const Record&) = delete;
  Record& operator=(const Record&) = delete;

  // Makes the folder and the file as needed, brings an older schema up to date and marks
  // rounds that an earlier run left open as unfinished. A damaged file is renamed aside and
  // a new one begun; a file from a newer version is opened for reading only. True when the
  // record can at least be read; may be called again after a failure.
  bool Open();
  bool IsOpen() const { return open_; }
  // Open, and neither from a newer version nor on a read-only disk.
  bool CanWrite() const { return open_ && !read_only_; }

  const std::optional<rekendo::Error>& Error() const { return error_; }
  // Something the learner should know though recording goes on (a damaged file moved aside).
  const QString& Notice() const { return notice_; }

  const QString& Folder() const { return folder_; }
  QString FilePath() const;
  // --- What the 成績 window, the practice sets and the exports show --------------------
  // Read on the record's own connection; the failure names the record's file.
  Result<std::vector<SetSummary>> SetSummaries() const;
  Result<std::vector<ScorePoint>> ScoreSeries(const QString& hash, int max_points) const;
  Result<std::vector<MissedProblem>> MostMissed(const QString& hash, int limit) const;
  Result<std::vector<RoundDetail>> RecentRounds(const QString& hash, int limit) const;
  // The record as one CSV table written to `path`: every learner's rounds, or only those of
  // `learner_id`.
  Status ExportCsv(const QString& path, std::optional<qint64> learner_id = {}) const;

  // --- Writes, each its own transaction; false when it failed (see Error()) ------------
  // A new round, open until EndRound; its id.
  std::optional<std::int64_t> StartRound(const RoundStart& start);
  // A closed question, with the tally of its problem when it comes from the problem file.
  bool AddQuestion(std::int64_t round_id, const QString& set_hash, const QuestionRow& row);
  bool EndRound(std::int64_t round_id, const RoundFinish& finish);

  // --- Learners: every round is the current learner's -----------------------------------
  // Everyone on this record, by name.
  Result<std::vector<Learner>> Learners() const;
  // Who plays in this copy of the program: the one it chose, else the choice saved when it
  // opened the record, else the first learner. Another copy's choice never moves it.
  qint64 CurrentLearnerId() const;
  // Makes a learner on this record this copy's current one, and saves the choice for the
  // next start; false when there is no such learner.
  bool SetCurrentLearner(qint64 learner_id);

  // Changes that need the teacher (see learners.cpp); each its own transaction. A name is
  // trimmed and may not be empty or another learner's.
  Result<qint64> AddLearner(const QString& name);
  Status RenameLearner(qint64 learner_id, const QString& name);
  // The learner's role on the class server: their rounds are sent in that name (empty: in
  // the name the connection logs in as). ASCII letters, digits and _, as the roles are made.
  Result<QString> LearnerClassRole(qint64 learner_id) const;
  Status SetLearnerClassRole(qint64 learner_id, const QString& role);
  // How many rounds a learner has (what removing them would take with them).
  Result<int> LearnerRoundCount(qint64 learner_id) const;
  // The learner with every round, question, tally and queued upload of theirs. Refused for
  // the last learner and for one whose round is under way.
  Status RemoveLearner(qint64 learner_id);
  // The teacher's PIN as kept in the settings: only its salted hash (teacher_pin.h), which
  // the caller makes and checks off the GUI thread, since that is slow on purpose.
  std::optional<QString> TeacherPinHash() const;
  Status SetTeacherPinHash(const QString& hash);
  // Wrong PINs in a row and when the last one was given (ms since the epoch), kept in the
  // file so that starting the program again does not wipe the wait they cost.
  struct PinFailures {
    int count = 0;
    qint64 last_ms = 0;
  };
  PinFailures TeacherPinFailures() const;
  // One more wrong PIN at `now_ms`; `right` clears the count instead.
  void NoteTeacherPinTry(bool right, qint64 now_ms);
  // The PIN and its wrong tries gone, for a forgotten PIN: the next change sets a new one.
  Status ForgetTeacherPin();
  // From the next closed question on.
  void SetSchedule(const MemorySchedule& schedule) { options_.schedule = schedule; }
  // What counts as mastering a topic at a level, from the next reading on.
  void SetMasteryRule(schedule::MasteryRule rule) { mastery_rule_ = rule; }
  schedule::MasteryRule MasteryRule() const { return mastery_rule_; }
  const MemorySchedule& Schedule() const { return options_.schedule; }

  // The 記録する switch, on unless the learner turned it off.
  bool RecordingEnabled();
  bool SetRecordingEnabled(bool enabled);

  // Problem i (1-based) of the set with content hash `hash` is a copy of origins[i - 1]:
  // answering it reviews that problem.
  bool NotePracticeOrigins(const QString& hash, const std::vector<schedule::ProblemKey>& origins);

  // 問題を作る wrote the set with these bytes' SHA-256 for `topic` at `level`.
  bool NoteGeneratedSet(const QString& hash, const QString& topic, int level);
  // The current learner's mastery of every topic and level played (see generated_sets.h).
  Result<std::vector<TopicMastery>> Mastery() const;

  // Every round, question and tally; the settings stay. With `keep_rounds_for_class` (a class
  // server is set) the rounds it has not yet taken stay until it has them.
  bool DeleteAll(bool keep_rounds_for_class = false);

  // A failure met outside the database (something the recorder caught), kept like the
  // record's own.
  void ReportFailure(const rekendo::Error& error) { error_ = error; }

 private:
  struct FileId {
    quint64 device = 0;
    quint64 inode = 0;
  };
  // The file now at FilePath(); nothing when there is none.
  std::optional<FileId> LiveFileId() const;
  // When the file this copy writes is no longer the one at FilePath(), closes it, says so
  // and opens the live one; true then.
  bool FollowLiveFile();
  // Makes the round under way again in the live record from its row in the old one (set
  // hash, the set's four columns, then the round's six).
  void CarryRoundOver(const QVariantList& kept);
  struct ChosenLearner {
    qint64 id = 0;
    qint64 created_at = 0;
  };
  bool OpenFile();
  // The first row (id, created_at) of a prepared query.
  std::optional<ChosenLearner> ReadChosen(QSqlQuery& query) const;
  // The saved choice, once, when the record first opens.
  void TakeSavedLearner();
  // Opens the file for reading only, keeping the error that made writing impossible.
  bool OpenForReading();
  // Renames a damaged file aside; the new path, or empty when that failed.
  QString MoveCorruptFileAside();
  // False when a quick check of the whole file finds damage.
  bool LooksWhole();
  // Moves the damaged file aside, begins a new record and carries over what can be read.
  bool RecoverFromDamage();
  template <typename Write>
  auto WithRecovery(Write&& write) -> decltype(write());
  std::optional<std::int64_t> StartRoundOnce(const RoundStart& start);
  bool AddQuestionOnce(std::int64_t round_id, const QString& set_hash, const QuestionRow& row);
  bool EndRoundOnce(std::int64_t round_id, const RoundFinish& finish);
  // A failed statement of the learners' changes, as the error for the caller.
  rekendo::Error LearnerFailure(const QSqlError& error) const;
  bool BringSchemaUpToDate(int version);
  bool MarkOpenRoundsUnfinished();
  void Fail(RecordStep step, ErrorCode code, const QString& detail);
  // Sets the error that fits the driver's error; returns false for convenience.
  bool FailWith(const QSqlError& error);
  void Succeeded();
  void Close();

  QString folder_;
  RecordOptions options_;
  QString connection_name_;
  RecordLock lock_;
  QSqlDatabase db_;
  // The file db_ was opened on, to notice it moved or deleted.
  std::optional<FileId> file_id_;
  // The round this copy started and has not ended yet.
  std::optional<std::int64_t> round_under_way_;
  // The question's statements, kept while db_ is open.
  StatementCache statements_;
  bool open_ = false;
  bool read_only_ = false;
  bool recover_pending_ = false;  // a write met damage: recover before trying again
  bool recovering_ = false;
  std::optional<rekendo::Error> error_;
  QString notice_;
  std::optional<ChosenLearner> chosen_learner_;
  schedule::MasteryRule mastery_rule_;
};

}  // namespace rekendo::record
