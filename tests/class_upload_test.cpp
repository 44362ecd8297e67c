// The upload: once and only once whatever is repeated, texts stored as written, and a
// learner who can neither learn of nor overwrite another learner's round.
#include <gtest/gtest.h>

#include <QDateTime>
#include <QSqlQuery>

#include "class_support.h"
#include "sample_rounds.h"

namespace rekendo::classroom {
namespace {

using testing::ClassServer;
using testing::SampleRound;

int Count(const std::string& sql) { return ClassServer::Get().AdminValue(sql).toInt(); }

std::string Quoted(const std::string& id) { return "'" + id + "'"; }

TEST(ClassUpload, TheSameRoundUploadedAgainIsStoredOnce) {
  REKENDO_NEED_SERVER();
  ClassServer& server = ClassServer::Get();
  const ClassRound round = SampleRound("alice", 1);
  ClassDatabase db(server.ConnInfo("alice"));
  UploadOutcome outcome{};
  ASSERT_TRUE(db.Upload(round, &outcome)) << db.Upload(round).error().Describe();
  EXPECT_EQ(outcome, UploadOutcome::kInserted);
  // A retry on the same connection, after a reconnection, and from a second program.
  ASSERT_TRUE(db.Upload(round, &outcome));
  EXPECT_EQ(outcome, UploadOutcome::kAlreadyThere);
  db.Close();
  ASSERT_TRUE(db.Upload(round, &outcome));
  EXPECT_EQ(outcome, UploadOutcome::kAlreadyThere);
  ClassDatabase second(server.ConnInfo("alice"));
  ASSERT_TRUE(second.Upload(round, &outcome));
  EXPECT_EQ(outcome, UploadOutcome::kAlreadyThere);

  EXPECT_EQ(Count("SELECT count(*) FROM rekendo.rounds WHERE id = " + Quoted(round.id)), 1);
  EXPECT_EQ(Count("SELECT count(*) FROM rekendo.questions WHERE round_id = " + Quoted(round.id)),
            10);
  // What arrived is what was sent.
  ClassDatabase admin(server.AdminConnInfo());
  ASSERT_TRUE(admin.Open());
  QSqlQuery query(admin.Connection());
  ASSERT_TRUE(query.exec(QString::fromStdString(
      "SELECT learner, file_name, set_hash, pair_count, "
      "CAST(extract(epoch FROM started_at) * 1000 AS bigint), "
      "CAST(extract(epoch FROM ended_at) * 1000 AS bigint), score, judgement_index, ending, "
      "time_limit_seconds FROM rekendo.rounds WHERE id = " +
      Quoted(round.id))));
  ASSERT_TRUE(query.next());
  EXPECT_EQ(query.value(0).toString().toStdString(), "alice");
  EXPECT_EQ(query.value(1).toString().toStdString(), round.file_name);
  EXPECT_EQ(query.value(2).toString().toStdString(), round.set_hash);
  EXPECT_EQ(query.value(3).toInt(), round.pair_count);
  EXPECT_EQ(query.value(4).toLongLong(), round.started_at_ms);
  EXPECT_EQ(query.value(5).toLongLong(), *round.ended_at_ms);
  EXPECT_EQ(query.value(6).toInt(), *round.score);
  EXPECT_EQ(query.value(7).toInt(), *round.judgement_index);
  EXPECT_EQ(query.value(8).toString(), QStringLiteral("finished"));
  EXPECT_EQ(query.value(9).toInt(), 40);
  ASSERT_TRUE(query.exec(QString::fromStdString(
      "SELECT number, kind, bank_index, problem_text, accepted, typed, outcome, wrong_tries, "
      "seconds_used, learner FROM rekendo.questions WHERE round_id = " +
      Quoted(round.id) + " ORDER BY number")));
  for (const ClassQuestion& q : round.questions) {
    ASSERT_TRUE(query.next());
    EXPECT_EQ(query.value(0).toInt(), q.number);
    EXPECT_EQ(query.value(1).toString().toStdString(), q.kind);
    EXPECT_EQ(query.value(2).toInt(), q.bank_index);
    EXPECT_EQ(query.value(3).toString().toStdString(), q.text);
    EXPECT_EQ(query.value(4).toString().toStdString(), q.accepted);
    EXPECT_EQ(query.value(5).toString().toStdString(), q.typed);
    EXPECT_EQ(query.value(6).toString().toStdString(), q.outcome);
    EXPECT_EQ(query.value(7).toInt(), q.wrong_tries);
    EXPECT_EQ(query.value(8).toInt(), q.seconds_used);
    EXPECT_EQ(query.value(9).toString(), QStringLiteral("alice"));
  }
  // An unfinished round: no end, no score, no judgement.
  ClassRound open = SampleRound("alice", 2, 3);
  open.ending = "unfinished";
  open.ended_at_ms.reset();
  open.score.reset();
  open.judgement_index.reset();
  ASSERT_TRUE(db.Upload(open));
  EXPECT_EQ(Count("SELECT count(*) FROM rekendo.rounds WHERE score IS NULL AND ended_at IS NULL "
                  "AND judgement_index IS NULL AND id = " +
                  Quoted(open.id)),
            1);
}

TEST(ClassUpload, HostileTextsAreStoredAsText) {
  REKENDO_NEED_SERVER();
  ClassServer& server = ClassServer::Get();
  const std::vector<std::string> texts = {
      "'",
      "\\",
      "$$",
      "'); DROP TABLE rounds; --",
      "\\'; SELECT 1; --",
      "$1 $$ $q$ ? :name",
      "（２ｘ＋１）（ｘ＋３）$（ｘ＋３）（２ｘ＋１）",
      "E'\\x00'",
      "\"quoted\"\n\tnext line",
  };
  ClassRound round = SampleRound("bob", 100, static_cast<int>(texts.size()));
  round.file_name = "'); DROP TABLE rekendo.questions; --.mon";
  for (std::size_t i = 0; i < texts.size(); ++i) {
    round.questions[i].text = texts[i];
    round.questions[i].accepted = texts[(i + 1) % texts.size()];
    round.questions[i].typed = texts[(i + 2) % texts.size()];
  }
  ClassDatabase db(server.ConnInfo("bob"));
  Status status = db.Upload(round);
  ASSERT_TRUE(status) << status.error().Describe();
  ClassDatabase admin(server.AdminConnInfo());
  ASSERT_TRUE(admin.Open());
  QSqlQuery query(admin.Connection());
  ASSERT_TRUE(query.exec(QString::fromStdString(
      "SELECT r.file_name, q.problem_text, q.accepted, q.typed FROM rekendo.rounds r "
      "JOIN rekendo.questions q ON q.round_id = r.id WHERE r.id = " +
      Quoted(round.id) + " ORDER BY q.number")));
  for (std::size_t i = 0; i < texts.size(); ++i) {
    ASSERT_TRUE(query.next());
    EXPECT_EQ(query.value(0).toString().toStdString(), round.file_name);
    EXPECT_EQ(query.value(1).toString().toStdString(), texts[i]);
    EXPECT_EQ(query.value(2).toString().toStdString(), texts[(i + 1) % texts.size()]);
    EXPECT_EQ(query.value(3).toString().toStdString(), texts[(i + 2) % texts.size()]);
  }
  EXPECT_FALSE(query.next());
  EXPECT_EQ(Count("SELECT count(*) FROM pg_tables WHERE schemaname = 'rekendo'"), 5);
  // A NUL, which PostgreSQL's text cannot hold, arrives as U+FFFD instead of failing the round.
  ClassRound nul = SampleRound("bob", 101, 1);
  nul.questions[0].text = std::string("a\0b", 3);
  ASSERT_TRUE(db.Upload(nul));
  EXPECT_EQ(server
                .AdminValue("SELECT problem_text FROM rekendo.questions WHERE round_id = " +
                            Quoted(nul.id))
                .toString(),
            QStringLiteral("a\uFFFDb"));
}

TEST(ClassUpload, AnotherLearnersRoundIsNeitherSeenNorOverwritten) {
  REKENDO_NEED_SERVER();
  ClassServer& server = ClassServer::Get();
  const ClassRound alices = SampleRound("alice", 7);
  ClassDatabase alice(server.ConnInfo("alice"));
  ASSERT_TRUE(alice.Upload(alices));
  // Bob sends a round of his own under the same id.
  ClassRound bobs = SampleRound("bob", 7);
  bobs.id = alices.id;
  bobs.file_name = "bob.mon";
  bobs.score = 0;
  ClassDatabase bob(server.ConnInfo("bob"));
  Status status = bob.Upload(bobs);
  ASSERT_FALSE(status);
  EXPECT_EQ(status.error().code, ErrorCode::kInvalidInput);
  EXPECT_EQ(status.error().message.find("alice"), std::string::npos);  // says nothing of whose
  EXPECT_EQ(Count("SELECT count(*) FROM rekendo.rounds WHERE id = " + Quoted(alices.id) +
                  " AND learner = 'alice' AND file_name = '" + alices.file_name +
                  "' AND score = " + std::to_string(*alices.score)),
            1);
  EXPECT_EQ(Count("SELECT count(*) FROM rekendo.questions WHERE round_id = " + Quoted(alices.id) +
                  " AND learner = 'alice'"),
            10);
  EXPECT_EQ(Count("SELECT count(*) FROM rekendo.rounds WHERE learner = 'bob' AND id = " +
                  Quoted(alices.id)),
            0);

  // A round in alice's name, sent by bob, is refused by the policy.
  ClassRound forged = SampleRound("alice", 8, 10, /*name_learner=*/true);
  status = bob.Upload(forged);
  ASSERT_FALSE(status);
  EXPECT_EQ(status.error().code, ErrorCode::kAccessDenied);
  EXPECT_EQ(Count("SELECT count(*) FROM rekendo.rounds WHERE id = " + Quoted(forged.id)), 0);
  // In her own name it goes through, and the error closed nothing for good.
  ASSERT_TRUE(alice.Upload(forged));
  ASSERT_TRUE(bob.Upload(SampleRound("bob", 8)));
}

TEST(ClassUpload, InitAgainChangesNothing) {
  REKENDO_NEED_SERVER();
  ClassServer& server = ClassServer::Get();
  ClassDatabase alice(server.ConnInfo("alice"));
  ASSERT_TRUE(alice.Upload(SampleRound("alice", 20)));
  ClassDatabase admin(server.AdminConnInfo());
  ASSERT_TRUE(admin.Open());
  Result<int> version = InitSchema(admin.Connection());
  ASSERT_TRUE(version) << version.error().Describe();
  EXPECT_EQ(*version, kClassSchemaVersion);
  EXPECT_EQ(Count("SELECT count(*) FROM rekendo.schema_version"), kClassSchemaVersion);
  EXPECT_EQ(Count("SELECT count(*) FROM rekendo.rounds"), 1);
  EXPECT_EQ(Count("SELECT count(*) FROM rekendo.learners"), 3);
  // Adding a class or a learner twice keeps the first.
  auto cls = AddClass(admin, "3A", "teacher_3a");
  ASSERT_TRUE(cls);
  EXPECT_FALSE(cls->class_created);
  EXPECT_FALSE(cls->teacher_created);
  auto again = AddLearner(admin, "alice", "", "3A", true);
  ASSERT_TRUE(again);
  EXPECT_TRUE(again->already_learner);
  EXPECT_TRUE(again->password.empty());
  ASSERT_TRUE(alice.Upload(SampleRound("alice", 21)));  // her password still works
}

}  // namespace
}  // namespace rekendo::classroom
