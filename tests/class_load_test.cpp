// Thirty learner programs at once, each sending a hundred rounds of ten questions through
// its own upload worker: 3,000 rounds and 30,000 questions, none lost, none doubled.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QProcess>
#include <memory>
#include <vector>

#include "class_support.h"

namespace rekendo::classroom {
namespace {

using testing::ClassServer;

TEST(ClassLoad, ThirtyLearnersSendingAHundredRoundsEachAtOnce) {
  REKENDO_NEED_SERVER();
  ClassServer& server = ClassServer::Get();
  constexpr int kLearners = 30, kRounds = 100, kQuestions = 10;
  std::vector<std::string> learners;
  for (int i = 1; i <= kLearners; ++i) {
    learners.push_back("load" + std::to_string(i));
    std::string error;
    ASSERT_TRUE(server.AddLearner(learners.back(), i % 2 ? "3A" : "3B", &error)) << error;
  }
  QElapsedTimer clock;
  clock.start();
  std::vector<std::unique_ptr<QProcess>> programs;
  for (const std::string& learner : learners) {
    auto program = std::make_unique<QProcess>();
    program->start(
        REKENDO_UPLOAD_PROBE_PATH,
        {"--db", QString::fromStdString(server.ConnInfo(learner)), "--learner",
         QString::fromStdString(learner), "--rounds", QString::number(kRounds), "--questions",
         QString::number(kQuestions), "--fast-retry", "--timeout", "120"});
    programs.push_back(std::move(program));
  }
  for (std::size_t i = 0; i < programs.size(); ++i) {
    ASSERT_TRUE(programs[i]->waitForFinished(180000)) << learners[i];
    EXPECT_EQ(programs[i]->exitStatus(), QProcess::NormalExit) << learners[i];
    EXPECT_EQ(programs[i]->exitCode(), 0)
        << learners[i] << ": " << programs[i]->readAllStandardError().toStdString();
  }
  const double seconds = clock.elapsed() / 1000.0;
  std::printf("30 x 100 rounds in %.1f s\n", seconds);
  EXPECT_EQ(server.AdminValue("SELECT count(*) FROM rekendo.rounds").toInt(), kLearners * kRounds);
  EXPECT_EQ(server.AdminValue("SELECT count(DISTINCT id) FROM rekendo.rounds").toInt(),
            kLearners * kRounds);
  EXPECT_EQ(server.AdminValue("SELECT count(*) FROM rekendo.questions").toInt(),
            kLearners * kRounds * kQuestions);
  // Every learner has exactly their hundred, each with its ten questions.
  EXPECT_EQ(server
                .AdminValue("SELECT count(*) FROM (SELECT learner FROM rekendo.rounds GROUP BY "
                            "learner HAVING count(*) = 100) AS full_sets")
                .toInt(),
            kLearners);
  EXPECT_EQ(server
                .AdminValue("SELECT count(*) FROM (SELECT round_id FROM rekendo.questions "
                            "GROUP BY round_id HAVING count(*) = 10) AS full_rounds")
                .toInt(),
            kLearners * kRounds);
}

}  // namespace
}  // namespace rekendo::classroom
