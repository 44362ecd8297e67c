// A record from before the scheduler is brought up to date at start, on a worker, its
// history replayed; a record already up to date is left alone.
#include <QFileInfo>

#include "record_schema.h"
#include "record_support.h"
#include "record_upgrade.h"
#include "round_recorder.h"

namespace rekendo::testing {
namespace {

TEST_F(RecordTest, AnOlderRecordIsBroughtUpToDateBeforeTheWindowShows) {
  {
    record::Record record(Folder());
    record::RoundRecorder recorder(record, Clock());
    Drive drive(recorder);
    drive.Load(WriteProblems());
    drive.Start();
    drive.Problem(1, 1, QuestionOutcome::kWrongAtTimeUp);
    drive.Problem(2, 2, QuestionOutcome::kRight);
    drive.End(RoundEnd::kFinished, 10, 1);
  }
  BackToVersionThree(RecordFile());
  BringRecordUpToDate(Folder(), {}, nullptr);
  {
    Peek peek(RecordFile());
    EXPECT_EQ(peek.Value("PRAGMA user_version").toInt(), record::kSchemaVersion);
    EXPECT_EQ(peek.Rows("SELECT bank_index, reviews, lapses FROM memory_states ORDER BY bank_index"),
              (std::vector<QVariantList>{{1, 1, 1}, {2, 1, 0}}));
  }
  // Up to date already: not opened for writing at all.
  const QDateTime before = QFileInfo(RecordFile()).lastModified();
  BringRecordUpToDate(Folder(), {}, nullptr);
  EXPECT_EQ(QFileInfo(RecordFile()).lastModified(), before);
}

}  // namespace
}  // namespace rekendo::testing
