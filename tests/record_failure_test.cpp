// Whatever goes wrong with the record, the recorder keeps a plain error and the file's path,
// throws nothing, and the round goes on; damaged and newer files are never overwritten.
#include <sys/mount.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <QFile>
#include <functional>
#include <QFileInfo>
#include <QDir>
#include <fstream>

#include "record_schema.h"
#include "record_support.h"
#include "round_recorder.h"
#include "sqlite_connection.h"

namespace rekendo::testing {
namespace {

using record::Record;
using record::RoundRecorder;

// Plays a round of three questions; the recorder must swallow whatever fails.
void PlayRound(RoundRecorder& recorder, const std::string& problems) {
  Drive drive(recorder);
  drive.Load(problems);
  drive.Start();
  for (int n = 1; n <= 3; ++n) drive.Problem(n, n, QuestionOutcome::kRight);
  drive.End(RoundEnd::kFinished, 30, 3);
}

QByteArray ReadAll(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A tmpfs of `size` at `folder`, unmounted when the test ends; skips the test where the
// machine does not allow mounting.
class Tmpfs {
 public:
  Tmpfs(const std::filesystem::path& folder, const std::string& options) : folder_(folder) {
    std::filesystem::create_directories(folder_);
    mounted_ = ::mount("tmpfs", folder_.c_str(), "tmpfs", 0, options.c_str()) == 0;
  }
  ~Tmpfs() {
    if (mounted_) ::umount2(folder_.c_str(), MNT_DETACH);
  }
  bool Remount(unsigned long flags) {
    return ::mount("tmpfs", folder_.c_str(), "tmpfs", MS_REMOUNT | flags, nullptr) == 0;
  }
  bool mounted() const { return mounted_; }

 private:
  std::filesystem::path folder_;
  bool mounted_ = false;
};

TEST_F(RecordTest, FolderThatCannotBeMadeIsReportedAndTheRoundGoesOn) {
  dir.Write("file", "a file where the folder should go");
  const QString folder = QString::fromStdString((dir.path() / "file" / "rekendo").string());
  Record record(folder);
  RoundRecorder recorder(record, Clock());
  PlayRound(recorder, WriteProblems());
  ASSERT_TRUE(record.Error());
  EXPECT_EQ(record.Error()->subject, folder.toStdString());
  EXPECT_EQ(record.Error()->message.rfind("記録のフォルダーを作れません。", 0), 0u);
  EXPECT_FALSE(record.IsOpen());
}

TEST_F(RecordTest, ReadOnlyHomeIsReportedAndAnExistingRecordStillShows) {
  Tmpfs home(dir.path() / "home", "size=4m");
  if (!home.mounted()) GTEST_SKIP() << "mounting a tmpfs is not allowed here; read-only home not tested";
  const QString folder = QString::fromStdString((dir.path() / "home" / "rekendo").string());
  const std::string problems = WriteProblems();
  {
    Record record(folder);
    RoundRecorder recorder(record, Clock());
    PlayRound(recorder, problems);
    ASSERT_FALSE(record.Error());
  }
  ASSERT_TRUE(home.Remount(MS_RDONLY));
  {
    Record record(folder);
    RoundRecorder recorder(record, Clock());
    PlayRound(recorder, problems);
    ASSERT_TRUE(record.Error());
    EXPECT_EQ(QString::fromStdString(record.Error()->subject), folder + QStringLiteral("/record.sqlite3"));
    EXPECT_FALSE(record.CanWrite());
    const auto sets = record.SetSummaries();
    ASSERT_TRUE(sets) << sets.error().Describe();
    ASSERT_EQ(sets->size(), 1u);
    EXPECT_EQ(sets->front().rounds, 1);
  }
  // No folder at all on a read-only disk.
  Record elsewhere(folder + QStringLiteral("/sub"));
  RoundRecorder recorder(elsewhere, Clock());
  PlayRound(recorder, problems);
  ASSERT_TRUE(elsewhere.Error());
  EXPECT_EQ(elsewhere.Error()->code, ErrorCode::kReadOnly);
  EXPECT_NE(elsewhere.Error()->message.find("読み取り専用"), std::string::npos);
}

TEST_F(RecordTest, FullDiskIsReportedAndRecordingResumesWhenThereIsRoomAgain) {
  Tmpfs disk(dir.path() / "disk", "size=512k");
  if (!disk.mounted()) GTEST_SKIP() << "mounting a tmpfs is not allowed here; full disk not tested";
  const QString folder = QString::fromStdString((dir.path() / "disk" / "rekendo").string());
  Record record(folder);
  ASSERT_TRUE(record.Open());
  // Fill every remaining block.
  const auto filler = dir.path() / "disk" / "filler";
  {
    std::ofstream out(filler, std::ios::binary);
    const std::string block(4096, 'x');
    while (out.write(block.data(), block.size())) {}
  }
  RoundRecorder recorder(record, Clock());
  Drive drive(recorder);
  drive.Load(WriteProblems());
  drive.Start();
  for (int n = 1; n <= 10 && !record.Error(); ++n) {
    drive.Ask(n, QuestionKind::kProblem, 1, std::string(400, 'a'), "２");
    drive.Close(n, QuestionOutcome::kRight, "２");
  }
  ASSERT_TRUE(record.Error());
  EXPECT_EQ(record.Error()->code, ErrorCode::kDiskFull);
  EXPECT_NE(record.Error()->message.find("ディスクがいっぱいです"), std::string::npos);
  EXPECT_EQ(QString::fromStdString(record.Error()->subject), record.FilePath());

  std::filesystem::remove(filler);
  drive.Start();
  drive.Problem(1, 1, QuestionOutcome::kRight);
  drive.End(RoundEnd::kFinished, 10, 1);
  EXPECT_FALSE(record.Error());
}

// A read-only disk is named as such, whether or not the record is there yet; a missing
// permission as that (only testable when not root, who may write anyway).
TEST_F(RecordTest, ReadOnlyDiskAndMissingPermissionAreToldApart) {
  Tmpfs disk(dir.path() / "ro", "size=4m");
  if (!disk.mounted()) GTEST_SKIP() << "mounting a tmpfs is not allowed here";
  const QString empty = QString::fromStdString((dir.path() / "ro" / "empty").string());
  const QString kept = QString::fromStdString((dir.path() / "ro" / "kept").string());
  std::filesystem::create_directories(empty.toStdString());
  { Record record(kept); ASSERT_TRUE(record.Open()); }
  ASSERT_TRUE(disk.Remount(MS_RDONLY));
  for (const QString& folder : {empty, kept}) {
    Record record(folder);
    record.Open();
    ASSERT_TRUE(record.Error()) << folder.toStdString();
    EXPECT_EQ(record.Error()->code, ErrorCode::kReadOnly) << record.Error()->Describe();
    EXPECT_NE(record.Error()->message.find("読み取り専用"), std::string::npos)
        << record.Error()->Describe();
  }
  if (::geteuid() == 0) return;
  const QString locked = QString::fromStdString((dir.path() / "locked").string());
  std::filesystem::create_directories(locked.toStdString());
  std::filesystem::permissions(locked.toStdString(), std::filesystem::perms::owner_read |
                                                        std::filesystem::perms::owner_exec);
  Record record(locked);
  EXPECT_FALSE(record.Open());
  ASSERT_TRUE(record.Error());
  EXPECT_EQ(record.Error()->code, ErrorCode::kAccessDenied) << record.Error()->Describe();
  std::filesystem::permissions(locked.toStdString(), std::filesystem::perms::owner_all);
}

TEST_F(RecordTest, AFullDiskAtStartSaysWhy) {
  Tmpfs disk(dir.path() / "full", "size=512k");
  if (!disk.mounted()) GTEST_SKIP() << "mounting a tmpfs is not allowed here";
  const QString folder = QString::fromStdString((dir.path() / "full" / "rekendo").string());
  std::filesystem::create_directories(folder.toStdString());
  {
    std::ofstream out(dir.path() / "full" / "filler", std::ios::binary);
    const std::string block(4096, 'x');
    while (out.write(block.data(), block.size())) {}
  }
  Record record(folder);
  EXPECT_FALSE(record.CanWrite());
  record.Open();
  ASSERT_TRUE(record.Error());
  EXPECT_EQ(record.Error()->code, ErrorCode::kDiskFull) << record.Error()->Describe();
  EXPECT_NE(record.Error()->message.find("ディスクがいっぱいです"), std::string::npos)
      << record.Error()->Describe();
}

TEST_F(RecordTest, LockHeldPastTheTimeoutIsReportedWithoutStallingTheRound) {
  Record record(Folder(), {.busy_timeout_ms = 100});
  ASSERT_TRUE(record.Open());
  RoundRecorder recorder(record, Clock());
  Drive drive(recorder);
  drive.Load(WriteProblems());
  drive.Start();
  {
    Peek other(RecordFile());
    ASSERT_TRUE(other.Exec("BEGIN IMMEDIATE"));
    QElapsedTimer timer;
    timer.start();
    drive.Problem(1, 1, QuestionOutcome::kRight);
    EXPECT_LT(timer.elapsed(), 1000);
    ASSERT_TRUE(record.Error());
    EXPECT_EQ(record.Error()->code, ErrorCode::kBusy);
    other.Exec("ROLLBACK");
  }
  drive.Problem(2, 2, QuestionOutcome::kRight);
  drive.End(RoundEnd::kFinished, 10, 1);
  EXPECT_FALSE(record.Error());
  Peek peek(RecordFile());
  EXPECT_EQ(peek.Rows("SELECT number FROM questions"), (std::vector<QVariantList>{{2}}));
}

TEST_F(RecordTest, CorruptFileIsMovedAsideUntouchedAndAFreshRecordBegun) {
  std::filesystem::create_directories(Folder().toStdString());
  const std::string garbage(8192, '\x5A');
  dir.Write("record/record.sqlite3", garbage);
  Record record(Folder());
  RoundRecorder recorder(record, Clock());
  PlayRound(recorder, WriteProblems());
  EXPECT_FALSE(record.Error());
  EXPECT_FALSE(record.Notice().isEmpty());

  std::vector<std::filesystem::path> aside;
  for (const auto& entry : std::filesystem::directory_iterator(Folder().toStdString())) {
    if (entry.path().filename().string().starts_with("record.sqlite3.corrupt-")) {
      aside.push_back(entry.path());
    }
  }
  ASSERT_EQ(aside.size(), 1u);
  EXPECT_TRUE(record.Notice().contains(QString::fromStdString(aside[0].string())));
  EXPECT_EQ(ReadAll(QString::fromStdString(aside[0].string())), QByteArray::fromStdString(garbage));
  Peek peek(RecordFile());
  EXPECT_EQ(peek.Value("SELECT COUNT(*) FROM questions").toInt(), 3);
}

TEST_F(RecordTest, DamagedPagesAreMovedAsideAndTheRoundIsKeptInANewRecord) {
  const std::string problems = WriteProblems();
  {
    Record record(Folder());
    RoundRecorder recorder(record, Clock());
    for (int i = 0; i < 20; ++i) PlayRound(recorder, problems);
  }
  {
    // Overwrite everything after the first page (the schema) with noise.
    std::fstream file(RecordFile().toStdString(), std::ios::in | std::ios::out | std::ios::binary);
    file.seekp(4096);
    const std::string noise(16 * 4096, '\xA5');
    file.write(noise.data(), noise.size());
  }
  Record record(Folder());
  RoundRecorder recorder(record, Clock());
  PlayRound(recorder, problems);
  EXPECT_FALSE(record.Error()) << record.Error()->Describe();
  EXPECT_TRUE(record.Notice().contains(QStringLiteral(".corrupt-")));
  const auto sets = record.SetSummaries();
  ASSERT_TRUE(sets && sets->size() == 1u);
  EXPECT_GE(sets->front().rounds, 1);
}

TEST_F(RecordTest, NewerFileIsReadButNeverWritten) {
  const std::string problems = WriteProblems();
  {
    Record record(Folder());
    RoundRecorder recorder(record, Clock());
    PlayRound(recorder, problems);
  }
  {
    Peek peek(RecordFile());
    ASSERT_TRUE(peek.Exec(QStringLiteral("PRAGMA user_version = %1").arg(record::kSchemaVersion + 1)));
    ASSERT_TRUE(peek.Exec("PRAGMA wal_checkpoint(TRUNCATE)"));
  }
  const QByteArray before = ReadAll(RecordFile());
  Record record(Folder());
  RoundRecorder recorder(record, Clock());
  PlayRound(recorder, problems);
  EXPECT_FALSE(record.SetRecordingEnabled(false));
  EXPECT_FALSE(record.DeleteAll());
  ASSERT_TRUE(record.Error());
  EXPECT_EQ(record.Error()->code, ErrorCode::kNewer);
  EXPECT_TRUE(record.IsOpen());
  EXPECT_FALSE(record.CanWrite());
  EXPECT_EQ(ReadAll(RecordFile()), before);
  EXPECT_EQ(ReadAll(RecordFile() + "-wal").size(), 0);
}

TEST_F(RecordTest, VersionOneFileIsBroughtUpToDateWithItsRowsKept) {
  std::filesystem::create_directories(Folder().toStdString());
  {
    Peek old(RecordFile());
    QSqlDatabase db = old.db();
    ASSERT_TRUE(old.Exec("BEGIN"));
    ASSERT_FALSE(record::MigrateSchema(db, 0, 1));
    ASSERT_TRUE(old.Exec("COMMIT"));
    ASSERT_TRUE(old.Exec(
        "INSERT INTO problem_sets VALUES ('abc', 3, 'a.mon', '/x/a.mon', 1)"));
    ASSERT_TRUE(old.Exec("INSERT INTO rounds (id, set_hash, file_path, file_name, pair_count, "
                         "started_at, ending) VALUES (7, 'abc', '/x/a.mon', 'a.mon', 3, 1, 'open')"));
    EXPECT_EQ(old.Value("PRAGMA user_version").toInt(), 1);
  }
  Record record(Folder());
  ASSERT_TRUE(record.Open());
  EXPECT_FALSE(record.Error());
  EXPECT_TRUE(record.SetRecordingEnabled(false));
  EXPECT_FALSE(record.RecordingEnabled());
  Peek peek(RecordFile());
  EXPECT_EQ(peek.Value("PRAGMA user_version").toInt(), record::kSchemaVersion);
  EXPECT_EQ(peek.Rows("SELECT id, ending FROM rounds"),
            (std::vector<QVariantList>{{7, "unfinished"}}));
}

TEST_F(RecordTest, RecordBeforeLearnersBecomesTheFirstLearnersWithNothingLost) {
  {
    record::RecordOptions options;
    Record record(Folder(), options);
    RoundRecorder recorder(record, Clock());
    PlayRound(recorder, WriteProblems());
    ASSERT_FALSE(record.Error());
  }
  std::vector<QVariantList> rounds_before, tallies_before;
  {
    Peek old(RecordFile());
    rounds_before = old.Rows("SELECT id, score, ending FROM rounds");
    tallies_before = old.Rows("SELECT set_hash, bank_index, times_asked, times_right "
                              "FROM problem_stats ORDER BY bank_index");
    ASSERT_FALSE(tallies_before.empty());
  }
  BackToVersionThree(RecordFile());
  record::RecordOptions options;
  options.first_learner_name = QStringLiteral("はなこ");
  Record record(Folder(), options);
  ASSERT_TRUE(record.Open());
  ASSERT_FALSE(record.Error()) << record.Error()->Describe();
  const auto learners = record.Learners();
  ASSERT_TRUE(learners);
  ASSERT_EQ(learners->size(), 1u);
  EXPECT_EQ(learners->front().name, QStringLiteral("はなこ"));
  EXPECT_EQ(record.CurrentLearnerId(), learners->front().id);
  {
    Peek peek(RecordFile());
    EXPECT_EQ(peek.Rows("SELECT id, score, ending FROM rounds"), rounds_before);
    EXPECT_EQ(peek.Rows("SELECT set_hash, bank_index, times_asked, times_right "
                        "FROM problem_stats ORDER BY bank_index"),
              tallies_before);
    EXPECT_EQ(peek.Value("SELECT COUNT(*) FROM rounds WHERE learner_id IS NULL").toInt(), 0);
  }
  // A round after the upgrade is theirs, named for the class server, with its time limit.
  RoundRecorder recorder(record, Clock());
  PlayRound(recorder, WriteProblems());
  ASSERT_FALSE(record.Error());
  Peek peek(RecordFile());
  EXPECT_EQ(peek.Value("SELECT COUNT(DISTINCT uuid) FROM rounds WHERE uuid IS NOT NULL").toInt(), 1);
  EXPECT_EQ(peek.Value("SELECT time_limit FROM rounds WHERE uuid IS NOT NULL").toInt(), 40);
  EXPECT_EQ(peek.Value("SELECT MAX(times_asked) FROM problem_stats").toInt(),
            peek.Value("SELECT MAX(times_asked) FROM problem_stats WHERE learner_id = 1").toInt());
}

TEST_F(RecordTest, OnANetworkFileSystemTheRecordUsesARollbackJournal) {
  for (const long nfs : {0x6969L, 0xFF534D42L}) {  // NFS, CIFS
    record::RecordOptions options;
    options.file_system_type = nfs;
    Record record(Folder(), options);
    RoundRecorder recorder(record, Clock());
    PlayRound(recorder, WriteProblems());
    ASSERT_FALSE(record.Error());
    EXPECT_FALSE(QFile::exists(RecordFile() + QStringLiteral("-wal")));
    Peek peek(RecordFile(), QStringLiteral("journal"));
    EXPECT_EQ(peek.Value("PRAGMA journal_mode").toString(), QStringLiteral("delete"));
  }
  // A local disk keeps the write-ahead log.
  Record local(Folder());
  RoundRecorder recorder(local, Clock());
  PlayRound(recorder, WriteProblems());
  Peek peek(RecordFile(), QStringLiteral("local"));
  EXPECT_EQ(peek.Value("PRAGMA journal_mode").toString(), QStringLiteral("wal"));
}

// A record of forty rounds, damaged where `damage` says, then opened and played again.
class DamagedRecord : public RecordTest {
 protected:
  static constexpr int kRounds = 40;
  void Fill() {
    Record record(Folder());
    RoundRecorder recorder(record, Clock());
    Drive drive(recorder);
    drive.Load(WriteProblems());
    for (int round = 0; round < kRounds; ++round) {
      drive.Start();
      for (int n = 1; n <= 10; ++n) {
        drive.Ask(n, QuestionKind::kProblem, n % 3 + 1, std::string(60, 'a' + n % 26), "２");
        drive.Close(n, n % 2 ? QuestionOutcome::kRight : QuestionOutcome::kLeft, "２");
      }
      drive.End(RoundEnd::kFinished, 50, 5);
    }
    ASSERT_FALSE(record.Error());
  }
  void Overwrite(qint64 offset, qint64 size) {
    QFile file(RecordFile());
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.seek(offset));
    file.write(QByteArray(size, '\x5A'));
  }
  qint64 PageOf(const char* index) {
    Peek peek(RecordFile(), QStringLiteral("pages"));
    return peek.Value(QStringLiteral("SELECT rootpage FROM sqlite_master WHERE name = '%1'")
                          .arg(QLatin1String(index))).toLongLong();
  }
  // Plays one round on the damaged record; the rounds of the new record.
  int PlayAndCount(QString* notice) {
    Record record(Folder());
    RoundRecorder recorder(record, Clock());
    Drive drive(recorder);
    drive.Load(WriteProblems());
    drive.Start();
    drive.Problem(1, 1, QuestionOutcome::kRight);
    drive.End(RoundEnd::kFinished, 10, 1);
    EXPECT_FALSE(record.Error()) << record.Error()->Describe();
    *notice = record.Notice();
    const auto sets = record.SetSummaries();
    return sets && !sets->empty() ? sets->front().rounds : 0;
  }
  int Asides() const {
    return QDir(Folder()).entryList({QStringLiteral("record.sqlite3.corrupt-*")}, QDir::Files).size();
  }
};

TEST_F(DamagedRecord, DamageAnywhereIsMovedAsideAndWhatCanBeReadCarriedOver) {
  struct Case {
    const char* where;
    std::function<void()> damage;
    int fewest_rounds;  // carried over, besides the new one
  };
  const qint64 page = 4096;
  const std::vector<Case> cases = {
      {"header", [&] { Overwrite(0, 100); }, 0},
      {"middle", [&] { Overwrite(QFileInfo(RecordFile()).size() / 2 / page * page, 3 * page); }, 1},
      {"end", [&] { Overwrite(QFileInfo(RecordFile()).size() - 2 * page, 2 * page); }, 1},
      {"an index only", [&] { Overwrite((PageOf("rounds_by_set_time") - 1) * page, page); }, kRounds},
  };
  for (const Case& c : cases) {
    for (const QString& name : QDir(Folder()).entryList(QDir::Files)) QFile::remove(Folder() + "/" + name);
    Fill();
    c.damage();
    QString notice;
    const int rounds = PlayAndCount(&notice);
    EXPECT_EQ(Asides(), 1) << c.where;
    EXPECT_GE(rounds, c.fewest_rounds + 1) << c.where;
    EXPECT_LE(rounds, kRounds + 1) << c.where;
    EXPECT_TRUE(notice.contains(QStringLiteral("に移して新しく記録を始めました"))) << c.where;
    EXPECT_TRUE(notice.contains(QStringLiteral("読めた %1 回分").arg(rounds - 1)))
        << c.where << ": " << notice.toStdString();
    // The tallies agree with the questions that came across.
    Peek peek(RecordFile(), QStringLiteral("after"));
    EXPECT_EQ(peek.Value("SELECT SUM(times_asked) FROM problem_stats").toInt(),
              peek.Value("SELECT COUNT(*) FROM questions WHERE kind = 'problem'").toInt())
        << c.where;
    // So does every problem's memory: one review per graded answer.
    EXPECT_EQ(peek.Value("SELECT SUM(reviews) FROM memory_states").toInt(),
              peek.Value("SELECT COUNT(*) FROM questions WHERE kind = 'problem' "
                         "AND outcome IN ('right', 'wrong')").toInt())
        << c.where;
  }
}

}  // namespace
}  // namespace rekendo::testing
