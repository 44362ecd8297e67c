// The class server as the program meets it: the real window with REKENDO_CLASS pointing at a
// scratch server, hooked up as rekendo hooks it up. A round played on the keypad arrives
// with its ten questions; through a server stop and start it is there exactly once, and a
// round played while the server was away follows when it is back.
#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QSqlQuery>
#include <QThreadPool>
#include <QSignalSpy>
#include <QTableWidget>
#include <QUuid>

#include "class_hookup.h"
#include "class_server_view.h"
#include "class_support.h"
#include "companions.h"
#include "window_fixture.h"

namespace rekendo::testing {
namespace {

using namespace std::chrono_literals;
using classroom::testing::ClassServer;
using classroom::testing::WaitFor;

constexpr const char* kProblems = "１＋１は？\r\n２\r\n";

class ClassWindowTest : public WindowTest {
 protected:
  void TearDown() override {
    companions.reset();
    qunsetenv(kClassEnvironment);
    WindowTest::TearDown();
  }
  void PlayRound() {
    Click("startButton");
    for (int q = 1; q <= kQuestionsPerRound; ++q) {
      Click("key2");
      Click("submitKey");
      Click("nextButton");
    }
  }
  static int Server(const std::string& sql) { return ClassServer::Get().AdminValue(sql).toInt(); }

  std::unique_ptr<Companions> companions;
};

TEST_F(ClassWindowTest, ARoundPlayedInTheWindowArrivesOnceThroughAServerRestart) {
  REKENDO_NEED_SERVER();
  ClassServer& server = ClassServer::Get();
  qputenv(kClassEnvironment, QByteArray::fromStdString(server.ConnInfo("alice")));
  WriteStandardDataFiles();
  Open();
  companions = std::make_unique<Companions>(*form, QString::fromStdString(dir.Path("data")));
  ASSERT_NE(companions->Class().Uploader(), nullptr);
  ChooseProblems(kProblems);

  PlayRound();
  ASSERT_TRUE(WaitFor([&] { return Server("SELECT count(*) FROM rekendo.rounds") == 1; }, 30s))
      << companions->Class().StatusText().toStdString();
  EXPECT_EQ(Server("SELECT count(*) FROM rekendo.questions"), 10);
  EXPECT_EQ(Server("SELECT count(*) FROM rekendo.rounds WHERE learner = 'alice' AND score = 100 "
                   "AND ending = 'finished'"),
            1);
  EXPECT_EQ(Server("SELECT count(*) FROM rekendo.questions WHERE typed = '２' AND "
                   "outcome = 'right'"),
            10);

  std::string error;
  ASSERT_TRUE(server.cluster().Stop(/*immediate=*/false, &error)) << error;
  PlayRound();  // while the server is away: the drill plays on, the round waits
  ASSERT_TRUE(WaitFor(
      [&] {
        const auto status = companions->Class().Uploader()->Snapshot();
        return status.waiting == 1 && status.last_error;
      },
      30s));
  const QString waiting = companions->Class().StatusText();
  EXPECT_TRUE(waiting.contains(QStringLiteral("1 回分が送信待ちです"))) << waiting.toStdString();
  EXPECT_TRUE(waiting.contains(QStringLiteral("送れなかった理由"))) << waiting.toStdString();

  ASSERT_TRUE(server.cluster().Start(&error)) << error;
  // The retry comes within the first pauses (seconds), without another round to prompt it.
  ASSERT_TRUE(WaitFor([&] { return Server("SELECT count(*) FROM rekendo.rounds") == 2; }, 60s))
      << companions->Class().StatusText().toStdString();
  ASSERT_TRUE(WaitFor([&] { return companions->Class().Uploader()->Snapshot().waiting == 0; }, 10s));
  EXPECT_EQ(Server("SELECT count(*) FROM rekendo.questions"), 20);
  EXPECT_EQ(Server("SELECT count(DISTINCT id) FROM rekendo.rounds"), 2);
  EXPECT_EQ(reported.size(), 0u);
}

TEST_F(ClassWindowTest, WithoutAClassNothingIsStarted) {
  qunsetenv(kClassEnvironment);
  WriteStandardDataFiles();
  Open();
  companions = std::make_unique<Companions>(*form, QString::fromStdString(dir.Path("data")));
  EXPECT_EQ(companions->Class().Uploader(), nullptr);
  EXPECT_TRUE(companions->Class().StatusText().isEmpty());
}

TEST_F(ClassWindowTest, TheClassListShowsWhatTheConnectionsRoleMaySee) {
  REKENDO_NEED_SERVER();
  ClassServer& server = ClassServer::Get();
  const auto upload = [&](const std::string& role, int score, int limit) {
    classroom::ClassDatabase db(server.ConnInfo(role));
    classroom::ClassRound round;
    round.id = QUuid::createUuid().toString(QUuid::WithoutBraces).toStdString();
    round.set_hash = std::string(64, 'a');
    round.file_name = "九九.mon";
    round.pair_count = 3;
    round.started_at_ms = QDateTime::currentMSecsSinceEpoch();
    round.ended_at_ms = round.started_at_ms + 60000;
    round.score = score;
    round.ending = "finished";
    round.time_limit_seconds = limit;
    ASSERT_TRUE(db.Upload(round));
  };
  upload("alice", 40, 40);
  upload("alice", 60, 40);
  upload("alice", 100, 80);  // more time: not in the average
  upload("carol", 90, 40);   // another class

  ClassServerView teacher(QString::fromStdString(server.ConnInfo("teacher_3a")),
                          QDateTime::currentMSecsSinceEpoch(), nullptr);
  QSignalSpy shown(&teacher, &ClassServerView::Shown);
  ASSERT_TRUE(shown.wait(10000));
  const auto* table = teacher.findChild<QTableWidget*>(QStringLiteral("classWeeks"));
  ASSERT_EQ(table->rowCount(), 2) << teacher.Summary().toStdString();
  EXPECT_EQ(table->item(0, 1)->text(), QStringLiteral("alice"));
  EXPECT_EQ(table->item(0, 2)->text(), QStringLiteral("3"));
  EXPECT_EQ(table->item(0, 3)->text(), QStringLiteral("50.0"));
  EXPECT_EQ(teacher.Summary(), QStringLiteral("今週まだ解いていない人: bob"));

  // A learner's own connection lists only that learner: the database's rule, not ours.
  ClassServerView learner(QString::fromStdString(server.ConnInfo("carol")),
                          QDateTime::currentMSecsSinceEpoch(), nullptr);
  QSignalSpy learner_shown(&learner, &ClassServerView::Shown);
  ASSERT_TRUE(learner_shown.wait(10000));
  const auto* own = learner.findChild<QTableWidget*>(QStringLiteral("classWeeks"));
  ASSERT_EQ(own->rowCount(), 1);
  EXPECT_EQ(own->item(0, 1)->text(), QStringLiteral("carol"));
}

TEST(ClassWindowStatus, ARoundSetAsideIsShownAndNoRetryTimeIsPromisedForIt) {
  classroom::UploadStatus status;
  status.waiting = 0;
  status.set_aside = 1;
  status.last_error = Error{ErrorCode::kInvalidInput,
                            "この回の番号（UUID）はほかの記録に使われているので、送れません。", {}, {}};
  status.last_error_set_aside = true;
  status.next_try_ms = QDateTime::currentMSecsSinceEpoch() + 60000;  // the idle look
  const QString text = DescribeUploadStatus(status);
  EXPECT_TRUE(text.contains(QStringLiteral("1 回分はサーバーが受け取らない"))) << text.toStdString();
  EXPECT_FALSE(text.contains(QStringLiteral("もう一度送ります"))) << text.toStdString();
  status.last_error_set_aside = false;  // a network failure: the time is true
  EXPECT_TRUE(DescribeUploadStatus(status).contains(QStringLiteral("もう一度送ります")));
}

TEST_F(ClassWindowTest, ClosingTheClassListCancelsAReadHeldByALockedTable) {
  REKENDO_NEED_SERVER();
  ClassServer& server = ClassServer::Get();
  classroom::ClassDatabase locker(server.AdminConnInfo());
  ASSERT_TRUE(locker.Open());
  ASSERT_TRUE(locker.Connection().transaction());
  QSqlQuery lock(locker.Connection());
  ASSERT_TRUE(lock.exec(QStringLiteral("LOCK TABLE rekendo.rounds IN ACCESS EXCLUSIVE MODE")));
  {
    ClassServerView view(QString::fromStdString(server.ConnInfo("teacher_3a")),
                         QDateTime::currentMSecsSinceEpoch(), nullptr);
    ASSERT_TRUE(WaitFor(
        [&] {
          return server.AdminValue("SELECT count(*) FROM pg_stat_activity WHERE "
                                   "usename = 'teacher_3a' AND wait_event_type = 'Lock'")
                     .toInt() > 0;
        },
        10s));
  }
  // What the program's end waits for: the read on the pool's thread.
  QElapsedTimer clock;
  clock.start();
  EXPECT_TRUE(QThreadPool::globalInstance()->waitForDone(5000));
  EXPECT_LT(clock.elapsed(), 5000);
  locker.Connection().rollback();
}

}  // namespace
}  // namespace rekendo::testing
