// The upload worker on its thread: everything queued arrives once, through a server that
// crashes mid-batch and comes back, and through a learner's program killed between the
// server's commit and the queue's acknowledgement; the pause between tries.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QThread>
#include <functional>

#include "class_support.h"
#include "memory_pending_rounds.h"
#include "sample_rounds.h"
#include "upload_worker.h"

namespace rekendo::classroom {
namespace {

using namespace std::chrono_literals;
using testing::ClassServer;
using testing::SampleRound;
using testing::WaitFor;

UploadOptions Fast() {
  UploadOptions options;
  options.first_retry = 50ms;
  options.max_retry = 400ms;
  return options;
}

int ServerRounds() {
  return ClassServer::Get().AdminValue("SELECT count(*) FROM rekendo.rounds").toInt();
}
int ServerQuestions() {
  return ClassServer::Get().AdminValue("SELECT count(*) FROM rekendo.questions").toInt();
}

TEST(ClassWorker, PausesGrowFromSecondsToAMinute) {
  const UploadOptions options;  // the program's
  EXPECT_EQ(RetryDelay(options, 1), 2s);
  EXPECT_EQ(RetryDelay(options, 2), 4s);
  EXPECT_EQ(RetryDelay(options, 5), 32s);
  EXPECT_EQ(RetryDelay(options, 6), 60s);
  EXPECT_EQ(RetryDelay(options, 1000), 60s);
}

TEST(ClassWorker, SendsEverythingOnceThroughAServerCrashMidBatch) {
  REKENDO_NEED_SERVER();
  ClassServer& server = ClassServer::Get();
  auto queue = std::make_shared<MemoryPendingRounds>();
  constexpr int kRounds = 600;
  for (int i = 0; i < kRounds; ++i) queue->Add(SampleRound("alice", i));
  std::vector<UploadStatus> reports;
  {
    ClassUploader uploader(server.ConnInfo("alice"), queue, Fast());
    QObject::connect(&uploader, &ClassUploader::StatusChanged,
                     [&](const UploadStatus& status) { reports.push_back(status); });
    uploader.Start();
    ASSERT_TRUE(WaitFor([&] { return queue->SentCount() >= 20; }, 60s));
    std::string error;
    ASSERT_TRUE(server.cluster().Stop(/*immediate=*/true, &error)) << error;
    // While the server is gone the worker says so and keeps the rounds.
    ASSERT_TRUE(WaitFor(
        [&] {
          const UploadStatus s = uploader.Snapshot();
          return s.last_error && s.last_error->code == ErrorCode::kNetwork &&
                 s.failures_in_a_row >= 2;
        },
        20s));
    const UploadStatus down = uploader.Snapshot();
    EXPECT_GT(down.waiting, 0);
    EXPECT_FALSE(down.connected);
    EXPECT_GT(down.next_try_ms, 0);
    const int sent_before = queue->SentCount();
    ASSERT_LT(sent_before, kRounds);
    ASSERT_TRUE(server.cluster().Start(&error)) << error;
    ASSERT_TRUE(WaitFor([&] { return *queue->WaitingCount() == 0; }, 60s))
        << queue->SentCount() << " sent";
    ASSERT_TRUE(WaitFor([&] { return !reports.empty() && reports.back().waiting == 0; }, 5s));
    const UploadStatus done = uploader.Snapshot();
    EXPECT_EQ(done.sent, kRounds);
    EXPECT_FALSE(done.last_error);
    EXPECT_EQ(done.failures_in_a_row, 0);
  }
  EXPECT_EQ(ServerRounds(), kRounds);
  EXPECT_EQ(ServerQuestions(), kRounds * 10);
  for (const auto& [id, times] : queue->SentTimes()) EXPECT_EQ(times, 1) << id;
  EXPECT_EQ(queue->SentTimes().size(), std::size_t(kRounds));
  EXPECT_TRUE(queue->GivenUp().empty());
  EXPECT_GT(queue->FailureCount(), 0);
}

TEST(ClassWorker, StartsWhileTheServerIsDownAndSendsWhenItComes) {
  REKENDO_NEED_SERVER();
  ClassServer& server = ClassServer::Get();
  std::string error;
  ASSERT_TRUE(server.cluster().Stop(false, &error)) << error;
  auto queue = std::make_shared<MemoryPendingRounds>();
  for (int i = 0; i < 5; ++i) queue->Add(SampleRound("bob", i));
  ClassUploader uploader(server.ConnInfo("bob"), queue, Fast());
  uploader.Start();
  ASSERT_TRUE(WaitFor([&] { return uploader.Snapshot().last_error.has_value(); }, 10s));
  EXPECT_EQ(uploader.Snapshot().last_error->code, ErrorCode::kNetwork);
  EXPECT_EQ(uploader.Snapshot().waiting, 5);
  ASSERT_TRUE(server.cluster().Start(&error)) << error;
  ASSERT_TRUE(WaitFor([&] { return *queue->WaitingCount() == 0; }, 20s));
  // A round queued later goes at once, without waiting for the idle poll.
  queue->Add(SampleRound("bob", 5));
  uploader.RoundQueued();
  ASSERT_TRUE(WaitFor([&] { return *queue->WaitingCount() == 0; }, 5s));
  EXPECT_EQ(ServerRounds(), 6);
}

TEST(ClassWorker, ARoundTheServerRefusesIsSetAsideAndTheRestGo) {
  REKENDO_NEED_SERVER();
  ClassServer& server = ClassServer::Get();
  auto queue = std::make_shared<MemoryPendingRounds>();
  queue->Add(SampleRound("carol", 0));
  ClassRound bad = SampleRound("carol", 1);
  bad.set_hash = "not a hash";
  queue->Add(bad);
  queue->Add(SampleRound("carol", 2));
  ClassUploader uploader(server.ConnInfo("carol"), queue, Fast());
  uploader.Start();
  ASSERT_TRUE(WaitFor([&] { return *queue->WaitingCount() == 0; }, 20s));
  EXPECT_EQ(queue->GivenUp(), std::set<std::string>{bad.id});
  EXPECT_EQ(queue->SentCount(), 2);
  ASSERT_TRUE(queue->LastFailure());
  EXPECT_EQ(queue->LastFailure()->code, ErrorCode::kInvalidInput);
  EXPECT_EQ(ServerRounds(), 2);
}

TEST(ClassWorker, AProgramKilledBetweenCommitAndAcknowledgementSendsOnce) {
  REKENDO_NEED_SERVER();
  ClassServer& server = ClassServer::Get();
  const QStringList common = {"--db",
                              QString::fromStdString(server.ConnInfo("alice")),
                              "--learner",
                              "alice",
                              "--rounds",
                              "20",
                              "--fast-retry",
                              "--timeout",
                              "60"};
  QProcess killed;
  killed.start(REKENDO_UPLOAD_PROBE_PATH, common + QStringList{"--die-after-sent", "7"});
  ASSERT_TRUE(killed.waitForFinished(60000));
  ASSERT_EQ(killed.exitStatus(), QProcess::CrashExit)
      << killed.readAllStandardError().toStdString();
  // The seventh round was committed; the queue never heard so.
  EXPECT_EQ(ServerRounds(), 7);
  // The next start sends the same twenty again, the seven among them.
  QProcess again;
  again.start(REKENDO_UPLOAD_PROBE_PATH, common);
  ASSERT_TRUE(again.waitForFinished(60000));
  EXPECT_EQ(again.exitCode(), 0) << again.readAllStandardError().toStdString();
  EXPECT_EQ(again.readAllStandardOutput().left(7), QByteArray("sent 20"));
  EXPECT_EQ(ServerRounds(), 20);
  EXPECT_EQ(ServerQuestions(), 200);
  EXPECT_EQ(server.AdminValue("SELECT count(DISTINCT id) FROM rekendo.rounds").toInt(), 20);
}

}  // namespace
}  // namespace rekendo::classroom
