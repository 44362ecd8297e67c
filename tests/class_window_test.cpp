// The class server as the program meets it: the real window with REKENDO_CLASS pointing at a
// scratch server, hooked up as rekendo hooks it up. A round played on the keypad arrives
// with its ten questions; through a server stop and start it is there exactly once, and a
// round played while the server was away follows when it is back.
#include <QCoreApplication>

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

}  // namespace
}  // namespace rekendo::testing
