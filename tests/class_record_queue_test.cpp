// The record's own upload queue against a real server: rounds played into the record arrive
// with their questions and leave the queue; a server that is down keeps them queued with the
// reason, and once it is back each arrives exactly once; a refusal the school can mend keeps
// the round waiting until it is mended; a round the server can never take is set aside with
// its reason and offered again at each start.
#include <gtest/gtest.h>

#include "class_support.h"
#include "record.h"
#include "record_queue.h"
#include "record_support.h"
#include "round_recorder.h"
#include "upload_worker.h"

namespace rekendo::classroom {
namespace {

using namespace std::chrono_literals;
using testing::ClassServer;
using testing::WaitFor;

UploadOptions Fast() {
  UploadOptions options;
  options.first_retry = 50ms;
  options.max_retry = 300ms;
  return options;
}

class ClassQueueTest : public rekendo::testing::RecordTest {
 protected:
  void SetUp() override {
    ASSERT_TRUE(record.Open());
    path = WriteProblems();
  }
  // A round of ten problems through the recorder, `right` of them right; finished, or left
  // after five questions.
  void PlayRound(int right, bool finished = true) {
    record::RoundRecorder recorder(record, Clock());
    rekendo::testing::Drive drive(recorder);
    drive.Load(path);
    drive.Start();
    const int questions = finished ? 10 : 5;
    for (int number = 1; number <= questions; ++number) {
      drive.Problem(number, (number - 1) % 3,
                    number <= right ? QuestionOutcome::kRight : QuestionOutcome::kWrongAtTimeUp);
    }
    if (finished) drive.End(RoundEnd::kFinished, right * 10, right);
  }
  int Queued(const std::string& where = "1 = 1") {
    rekendo::testing::Peek peek(RecordFile(), QStringLiteral("queue-peek"));
    return peek.Value(QStringLiteral("SELECT COUNT(*) FROM upload_queue WHERE ") +
                      QString::fromStdString(where))
        .toInt();
  }
  static int ServerCount(const std::string& sql) {
    return ClassServer::Get().AdminValue(sql).toInt();
  }

  record::Record record{Folder()};
  std::string path;
};

TEST_F(ClassQueueTest, QueuedRoundsArriveWithTheirQuestionsAndLeaveTheQueue) {
  REKENDO_NEED_SERVER();
  PlayRound(7);
  PlayRound(3, /*finished=*/false);
  auto queue = std::make_shared<RecordQueue>(RecordFile());
  const auto batch = queue->NextBatch(20);
  ASSERT_TRUE(batch) << batch.error().Describe();
  ASSERT_EQ(batch->size(), 2u);
  const ClassRound& whole = (*batch)[0];
  EXPECT_EQ(whole.ending, "finished");
  EXPECT_EQ(whole.score, 70);
  EXPECT_EQ(whole.learner, "");  // no class role: whoever the connection is
  EXPECT_EQ(whole.file_name, "かけ算.mon");
  EXPECT_EQ(whole.time_limit_seconds, 40);
  ASSERT_EQ(whole.questions.size(), 10u);
  EXPECT_EQ(whole.questions[0].text, "１＋１");  // UTF-8, as the record keeps it
  EXPECT_EQ(whole.questions[0].outcome, "right");
  EXPECT_EQ(whole.questions[9].typed, "３");
  EXPECT_EQ((*batch)[1].ending, "unfinished");
  EXPECT_EQ((*batch)[1].questions.size(), 5u);
  EXPECT_EQ(*queue->WaitingCount(), 2);

  {
    ClassUploader uploader(ClassServer::Get().ConnInfo("alice"), queue, Fast());
    uploader.Start();
    ASSERT_TRUE(WaitFor([&] { return uploader.Snapshot().waiting == 0; }, 30s))
        << (uploader.Snapshot().last_error ? uploader.Snapshot().last_error->Describe() : "");
  }
  EXPECT_EQ(Queued(), 0);
  EXPECT_EQ(ServerCount("SELECT count(*) FROM rekendo.rounds WHERE learner = 'alice'"), 2);
  EXPECT_EQ(ServerCount("SELECT count(*) FROM rekendo.questions"), 15);
  EXPECT_EQ(ServerCount("SELECT count(*) FROM rekendo.rounds WHERE id = '" + whole.id +
                        "' AND score = 70 AND ending = 'finished'"),
            1);
}

TEST_F(ClassQueueTest, AServerDownKeepsThemQueuedAndBackAgainTakesEachOnce) {
  REKENDO_NEED_SERVER();
  ClassServer& server = ClassServer::Get();
  std::string error;
  ASSERT_TRUE(server.cluster().Stop(/*immediate=*/false, &error)) << error;
  PlayRound(5);
  auto queue = std::make_shared<RecordQueue>(RecordFile());
  const std::string id = (*queue->NextBatch(1))[0].id;
  {
    ClassUploader uploader(server.ConnInfo("alice"), queue, Fast());
    uploader.Start();
    ASSERT_TRUE(WaitFor([&] { return uploader.Snapshot().failures_in_a_row >= 2; }, 30s));
    const UploadStatus down = uploader.Snapshot();
    ASSERT_TRUE(down.last_error);
    EXPECT_EQ(down.last_error->code, ErrorCode::kNetwork);
    EXPECT_EQ(down.waiting, 1);
    PlayRound(9);  // played while the server is away
    uploader.RoundQueued();
    ASSERT_TRUE(WaitFor([&] { return uploader.Snapshot().waiting == 2; }, 10s));

    ASSERT_TRUE(server.cluster().Start(&error)) << error;
    ASSERT_TRUE(WaitFor([&] { return uploader.Snapshot().waiting == 0; }, 30s));
    EXPECT_FALSE(uploader.Snapshot().last_error);
  }
  EXPECT_EQ(Queued(), 0);
  EXPECT_EQ(ServerCount("SELECT count(*) FROM rekendo.rounds"), 2);
  EXPECT_EQ(ServerCount("SELECT count(*) FROM rekendo.rounds WHERE id = '" + id + "'"), 1);
  EXPECT_EQ(ServerCount("SELECT count(*) FROM rekendo.questions"), 20);

  // The next start finds nothing left to send, and sends nothing twice.
  {
    ClassUploader again(server.ConnInfo("alice"), queue, Fast());
    again.Start();
    ASSERT_TRUE(WaitFor([&] { return again.Snapshot().waiting == 0; }, 10s));
  }
  EXPECT_EQ(ServerCount("SELECT count(*) FROM rekendo.rounds"), 2);
}

TEST_F(ClassQueueTest, ARoundInAnotherClassRoleIsKeptWithItsReasonAndSentOnceMended) {
  REKENDO_NEED_SERVER();
  PlayRound(4);
  // Played in bob's name on alice's connection: refused until the class role is mended.
  ASSERT_TRUE(record.SetLearnerClassRole(record.CurrentLearnerId(), QStringLiteral("bob")));
  auto queue = std::make_shared<RecordQueue>(RecordFile());
  {
    ClassUploader uploader(ClassServer::Get().ConnInfo("alice"), queue, Fast());
    uploader.Start();
    ASSERT_TRUE(WaitFor([&] { return uploader.Snapshot().failures_in_a_row >= 1; }, 30s));
    const UploadStatus status = uploader.Snapshot();
    ASSERT_TRUE(status.last_error);
    EXPECT_EQ(status.last_error->code, ErrorCode::kAccessDenied);
    EXPECT_EQ(status.waiting, 1);  // still waiting, as 成績 says
  }
  EXPECT_EQ(Queued("given_up = 0 AND tries >= 1 AND last_error <> ''"), 1);
  EXPECT_EQ(ServerCount("SELECT count(*) FROM rekendo.rounds"), 0);

  ASSERT_TRUE(record.SetLearnerClassRole(record.CurrentLearnerId(), QStringLiteral("alice")));
  ClassUploader mended(ClassServer::Get().ConnInfo("alice"), queue, Fast());
  mended.Start();
  ASSERT_TRUE(WaitFor([&] { return mended.Snapshot().waiting == 0; }, 30s));
  EXPECT_EQ(ServerCount("SELECT count(*) FROM rekendo.rounds WHERE learner = 'alice'"), 1);
}

TEST_F(ClassQueueTest, RoundsRefusedBeforeRegistrationArriveAfterAddLearnerAndTheNextStart) {
  REKENDO_NEED_SERVER();
  ClassServer& server = ClassServer::Get();
  // The school made the login role but has not registered the pupil yet.
  std::string error;
  ASSERT_TRUE(server.cluster().Psql(
      "", "", "DO $$ BEGIN IF NOT EXISTS (SELECT 1 FROM pg_roles WHERE rolname = 'dan') THEN "
      "CREATE ROLE dan LOGIN PASSWORD 'pw-dan'; END IF; END $$", &error))
      << error;
  const std::string dan = server.cluster().SocketConnInfo("dan") + " password=pw-dan";
  PlayRound(6);
  PlayRound(8);
  auto queue = std::make_shared<RecordQueue>(RecordFile());
  {
    ClassUploader uploader(dan, queue, Fast());
    uploader.Start();
    ASSERT_TRUE(WaitFor([&] { return uploader.Snapshot().failures_in_a_row >= 1; }, 30s));
    ASSERT_TRUE(uploader.Snapshot().last_error);
    EXPECT_EQ(uploader.Snapshot().last_error->code, ErrorCode::kAccessDenied)
        << uploader.Snapshot().last_error->Describe();
    EXPECT_EQ(uploader.Snapshot().waiting, 2);
  }
  EXPECT_EQ(Queued("given_up = 0"), 2);

  ClassDatabase admin(server.AdminConnInfo());
  Result<LearnerAdded> added = AddLearner(admin, "dan", "", "3A", false);
  ASSERT_TRUE(added) << added.error().Describe();
  ClassUploader next_start(dan, queue, Fast());
  next_start.Start();
  ASSERT_TRUE(WaitFor([&] { return next_start.Snapshot().waiting == 0; }, 30s));
  EXPECT_EQ(Queued(), 0);
  EXPECT_EQ(ServerCount("SELECT count(*) FROM rekendo.rounds WHERE learner = 'dan'"), 2);
}

TEST_F(ClassQueueTest, ARoundTheServerCanNeverTakeIsKeptShownAndOfferedAgainAtEachStart) {
  REKENDO_NEED_SERVER();
  PlayRound(15);  // a score of 150: out of the server's range
  PlayRound(5);
  auto queue = std::make_shared<RecordQueue>(RecordFile());
  for (int start = 1; start <= 2; ++start) {
    ClassUploader uploader(ClassServer::Get().ConnInfo("alice"), queue, Fast());
    uploader.Start();
    ASSERT_TRUE(WaitFor([&] { return uploader.Snapshot().waiting == 0; }, 30s));
    EXPECT_EQ(uploader.Snapshot().set_aside, 1);  // shown in 成績 with the count
    EXPECT_EQ(Queued("given_up = 1 AND last_error <> '' AND tries = " + std::to_string(start)), 1)
        << "start " << start;
  }
  EXPECT_EQ(ServerCount("SELECT count(*) FROM rekendo.rounds"), 1);
}

TEST_F(ClassQueueTest, DeletingTheRecordKeepsRoundsStillWaitingForTheClass) {
  REKENDO_NEED_SERVER();
  PlayRound(7);
  PlayRound(2);
  ASSERT_TRUE(record.DeleteAll(/*keep_rounds_for_class=*/true));
  auto queue = std::make_shared<RecordQueue>(RecordFile());
  const auto kept = queue->NextBatch(20);
  ASSERT_TRUE(kept) << kept.error().Describe();
  ASSERT_EQ(kept->size(), 2u);
  EXPECT_EQ((*kept)[0].questions.size(), 10u);
  {
    ClassUploader uploader(ClassServer::Get().ConnInfo("alice"), queue, Fast());
    uploader.Start();
    ASSERT_TRUE(WaitFor([&] { return uploader.Snapshot().waiting == 0; }, 30s));
  }
  EXPECT_EQ(ServerCount("SELECT count(*) FROM rekendo.rounds"), 2);
  EXPECT_EQ(ServerCount("SELECT count(*) FROM rekendo.questions"), 20);
  // Once sent, deleting takes them.
  ASSERT_TRUE(record.DeleteAll(/*keep_rounds_for_class=*/true));
  rekendo::testing::Peek peek(RecordFile(), QStringLiteral("rounds-peek"));
  EXPECT_EQ(peek.Value(QStringLiteral("SELECT COUNT(*) FROM rounds")).toInt(), 0);
}

TEST(ClassQueue, ARecordNotMadeYetHasNothingToSend) {
  rekendo::testing::TempDir dir;
  RecordQueue queue(QString::fromStdString(dir.Path("nowhere/record.sqlite3")));
  ASSERT_TRUE(queue.NextBatch(5));
  EXPECT_TRUE(queue.NextBatch(5)->empty());
  EXPECT_EQ(*queue.WaitingCount(), 0);
}

}  // namespace
}  // namespace rekendo::classroom
