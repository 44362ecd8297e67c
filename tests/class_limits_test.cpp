// Time limits and refusals of the upload: a locked table or a stalled statement ends the try
// within its limit and the round stays queued; quitting cancels a statement under way; a
// server newer than the program gets nothing.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <memory>
#include <vector>
#include <QSqlError>
#include <QSqlQuery>

#include "class_error.h"
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

int ServerRounds() {
  return ClassServer::Get().AdminValue("SELECT count(*) FROM rekendo.rounds").toInt();
}

// An admin session of the test's own that holds rekendo.rounds locked until it ends.
class TableLock {
 public:
  TableLock() : db_(ClassServer::Get().AdminConnInfo()) {
    EXPECT_TRUE(db_.Open());
    QSqlQuery query(db_.Connection());
    EXPECT_TRUE(db_.Connection().transaction());
    EXPECT_TRUE(query.exec(QStringLiteral("LOCK TABLE rekendo.rounds IN ACCESS EXCLUSIVE MODE")))
        << query.lastError().text().toStdString();
  }
  ~TableLock() { db_.Connection().rollback(); }

 private:
  ClassDatabase db_;
};

TEST(ClassLimits, EverySessionHasStatementAndLockLimits) {
  REKENDO_NEED_SERVER();
  ClassDatabase alice(ClassServer::Get().ConnInfo("alice"));
  ASSERT_TRUE(alice.Open());
  QSqlQuery query(alice.Connection());
  ASSERT_TRUE(query.exec(QStringLiteral(
      "SELECT current_setting('statement_timeout'), current_setting('lock_timeout')")));
  ASSERT_TRUE(query.next());
  EXPECT_EQ(query.value(0).toString(), QStringLiteral("30s"));
  EXPECT_EQ(query.value(1).toString(), QStringLiteral("10s"));
}

TEST(ClassLimits, ALockedTableEndsTheTryWithinItsLimitAndTheRoundStaysQueued) {
  REKENDO_NEED_SERVER();
  auto queue = std::make_shared<MemoryPendingRounds>();
  queue->Add(SampleRound("alice", 0));
  UploadOptions options;
  options.first_retry = 50ms;
  options.max_retry = 200ms;
  options.limits.lock = 1s;
  options.limits.statement = 3s;
  {
    TableLock lock;
    // Straight through the connection: the statement ends after the lock limit.
    ClassDatabase alice(ClassServer::Get().ConnInfo("alice"), options.limits);
    QElapsedTimer clock;
    clock.start();
    Status status = alice.Upload(SampleRound("alice", 1));
    EXPECT_LT(clock.elapsed(), 3000);
    ASSERT_FALSE(status);
    EXPECT_EQ(status.error().code, ErrorCode::kBusy) << status.error().Describe();
    EXPECT_TRUE(WorthRetrying(status.error()));

    // Through the worker: it gives up the try, keeps the round and tries again.
    ClassUploader uploader(ClassServer::Get().ConnInfo("alice"), queue, options);
    uploader.Start();
    ASSERT_TRUE(WaitFor([&] { return uploader.Snapshot().failures_in_a_row >= 2; }, 10s));
    EXPECT_EQ(*queue->WaitingCount(), 1);
    EXPECT_EQ(queue->SentCount(), 0);
    ASSERT_TRUE(uploader.Snapshot().last_error);
    EXPECT_EQ(uploader.Snapshot().last_error->code, ErrorCode::kBusy);
  }
  // The lock gone, the next start sends it.
  ClassUploader again(ClassServer::Get().ConnInfo("alice"), queue, options);
  again.Start();
  ASSERT_TRUE(WaitFor([&] { return *queue->WaitingCount() == 0; }, 10s));
  EXPECT_EQ(ServerRounds(), 1);
}

// A TCP forwarder to the scratch server that can be told to hold: from then on it takes
// every byte of the connections it has and passes none on, nor closes them, as a hung proxy
// does. TCP keepalives and tcp_user_timeout see nothing wrong with such a connection.
class HoldingForwarder {
 public:
  explicit HoldingForwarder(int server_port) : server_port_(server_port) {
    listener_.listen(QHostAddress::LocalHost);
    QObject::connect(&listener_, &QTcpServer::newConnection, [this] { Accept(); });
  }
  // The lambdas hold their link (which owns the upstream socket): disconnecting them breaks
  // that cycle, so that every socket goes with the forwarder.
  ~HoldingForwarder() {
    for (const auto& link : links_) {
      QObject::disconnect(link->client, nullptr, nullptr, nullptr);
      QObject::disconnect(link->upstream.get(), nullptr, nullptr, nullptr);
    }
    links_.clear();
  }
  HoldingForwarder(const HoldingForwarder&) = delete;
  HoldingForwarder& operator=(const HoldingForwarder&) = delete;
  int port() const { return listener_.serverPort(); }
  // Holds the connections there are now; new ones are forwarded.
  void HoldCurrent() {
    for (auto& link : links_) link->held = true;
  }

 private:
  struct Link {
    QTcpSocket* client;
    std::unique_ptr<QTcpSocket> upstream = std::make_unique<QTcpSocket>();
    bool held = false;
  };
  void Accept() {
    auto link = std::make_shared<Link>();
    link->client = listener_.nextPendingConnection();
    link->upstream->connectToHost(QHostAddress::LocalHost, quint16(server_port_));
    const auto pass = [link](QTcpSocket* from, QTcpSocket* to) {
      const QByteArray bytes = from->readAll();
      if (!link->held) to->write(bytes);
    };
    QObject::connect(link->client, &QTcpSocket::readyRead,
                     [link, pass] { pass(link->client, link->upstream.get()); });
    QObject::connect(link->upstream.get(), &QTcpSocket::readyRead,
                     [link, pass] { pass(link->upstream.get(), link->client); });
    links_.push_back(link);
  }
  int server_port_;
  QTcpServer listener_;
  std::vector<std::shared_ptr<Link>> links_;
};

TEST(ClassLimits, AForwarderThatHoldsTheBytesEndsTheTryAndTheRoundGoesLater) {
  REKENDO_NEED_SERVER();
  ClassServer& server = ClassServer::Get();
  HoldingForwarder forwarder(server.cluster().port());
  ASSERT_GT(forwarder.port(), 0);
  const std::string conninfo = "host=localhost hostaddr=127.0.0.1 port=" +
                               std::to_string(forwarder.port()) +
                               " dbname=rekendo user=alice connect_timeout=2 passfile='" +
                               server.pgpass() + "' sslmode=verify-full sslrootcert='" +
                               server.cluster().ca_cert() + "'";
  auto queue = std::make_shared<MemoryPendingRounds>();
  queue->Add(SampleRound("alice", 0));
  UploadOptions options;
  options.first_retry = 50ms;
  options.max_retry = 300ms;
  options.stuck_after = 2s;
  ClassUploader uploader(conninfo, queue, options);
  uploader.Start();
  ASSERT_TRUE(WaitFor([&] { return queue->SentCount() == 1; }, 20s))
      << (uploader.Snapshot().last_error ? uploader.Snapshot().last_error->Describe() : "");

  // The connection the worker keeps now goes nowhere.
  forwarder.HoldCurrent();
  queue->Add(SampleRound("alice", 1));
  QElapsedTimer clock;
  clock.start();
  uploader.RoundQueued();
  ASSERT_TRUE(WaitFor([&] { return uploader.Snapshot().failures_in_a_row >= 1; }, 15s));
  EXPECT_LT(clock.elapsed(), 10000);
  ASSERT_TRUE(uploader.Snapshot().last_error);
  EXPECT_EQ(uploader.Snapshot().last_error->code, ErrorCode::kNetwork);
  // A new connection is forwarded again: the round arrives on a later try.
  ASSERT_TRUE(WaitFor([&] { return queue->SentCount() == 2; }, 20s));
  EXPECT_EQ(ServerRounds(), 2);
}

TEST(ClassLimits, QuittingCancelsAStatementUnderWay) {
  REKENDO_NEED_SERVER();
  auto queue = std::make_shared<MemoryPendingRounds>();
  queue->Add(SampleRound("alice", 0));
  UploadOptions options;
  options.limits.lock = 120s;  // only the cancel can end it in time
  options.limits.statement = 120s;
  TableLock lock;
  QElapsedTimer clock;
  {
    auto uploader = std::make_unique<ClassUploader>(ClassServer::Get().ConnInfo("alice"), queue,
                                                    options);
    uploader->Start();
    // Wait until the insert waits for the lock.
    ASSERT_TRUE(WaitFor(
        [&] {
          return ClassServer::Get()
                     .AdminValue("SELECT count(*) FROM pg_stat_activity WHERE usename = 'alice' "
                                 "AND wait_event_type = 'Lock'")
                     .toInt() > 0;
        },
        10s));
    clock.start();
    uploader.reset();
  }
  EXPECT_LT(clock.elapsed(), 5000);
  EXPECT_EQ(*queue->WaitingCount(), 1);
  EXPECT_EQ(queue->SentCount(), 0);
}

TEST(ClassLimits, ANewerServerGetsNothingAndSaysToUpdateTheProgram) {
  REKENDO_NEED_SERVER();
  ClassServer& server = ClassServer::Get();
  std::string error;
  ASSERT_TRUE(server.cluster().Psql("", "", "INSERT INTO rekendo.schema_version VALUES (99)",
                                    &error))
      << error;
  struct Undo {
    ~Undo() {
      std::string ignored;
      ClassServer::Get().cluster().Psql("", "", "DELETE FROM rekendo.schema_version "
                                        "WHERE version = 99", &ignored);
    }
  } undo;
  auto queue = std::make_shared<MemoryPendingRounds>();
  queue->Add(SampleRound("alice", 0));
  UploadOptions options;
  options.first_retry = 50ms;
  {
    ClassUploader uploader(server.ConnInfo("alice"), queue, options);
    uploader.Start();
    ASSERT_TRUE(WaitFor([&] { return uploader.Snapshot().failures_in_a_row >= 1; }, 10s));
    const UploadStatus status = uploader.Snapshot();
    ASSERT_TRUE(status.last_error);
    EXPECT_EQ(status.last_error->code, ErrorCode::kNewer);
    EXPECT_NE(status.last_error->message.find("このプログラムを新しくしてください"),
              std::string::npos);
    // Kept, and on the long pause for people: not given up.
    EXPECT_EQ(status.waiting, 1);
    EXPECT_TRUE(queue->GivenUp().empty());
    EXPECT_TRUE(WaitsForPeople(*status.last_error));
  }
  EXPECT_EQ(ServerRounds(), 0);
  ASSERT_TRUE(server.cluster().Psql("", "", "DELETE FROM rekendo.schema_version "
                                    "WHERE version = 99", &error));
  ClassUploader updated(server.ConnInfo("alice"), queue, options);
  updated.Start();
  ASSERT_TRUE(WaitFor([&] { return *queue->WaitingCount() == 0; }, 10s));
  EXPECT_EQ(ServerRounds(), 1);
}

TEST(ClassLimits, RefusalsWaitLongerThanANetworkButAtMostAnHour) {
  const UploadOptions options;
  EXPECT_EQ(RetryDelay(options, 1000), 60s);
  EXPECT_EQ(RetryDelay(options, 1, /*refused=*/true), 2s);
  EXPECT_EQ(RetryDelay(options, 8, true), 256s);
  EXPECT_EQ(RetryDelay(options, 1000, true), 3600s);
  EXPECT_TRUE(WaitsForPeople({ErrorCode::kAccessDenied, "", {}, {}}));
  EXPECT_FALSE(WaitsForPeople({ErrorCode::kNetwork, "", {}, {}}));
  // The command runs once: it never promises the worker's retry.
  const Error busy = StatementFailure(QSqlError({}, {}, QSqlError::StatementError,
                                                QStringLiteral("40001")),
                                      "クラスの表の読み出し");
  EXPECT_NE(busy.message.find("自動でやり直します"), std::string::npos);
  EXPECT_EQ(ForCommand(busy).message.find("自動"), std::string::npos);
}

}  // namespace
}  // namespace rekendo::classroom
