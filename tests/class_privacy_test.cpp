// What one curious pupil or one careless command could do to the class: values no report
// can use, the wrong roles made teachers or learners, a new role under a removed learner's
// name, another class's row, every connection. Tried through the real roles, as each would with psql.
#include <gtest/gtest.h>

#include <QSqlError>
#include <QSqlQuery>
#include <memory>
#include <vector>

#include "class_support.h"
#include "sample_rounds.h"

namespace rekendo::classroom {
namespace {

using testing::ClassServer;
using testing::SampleRound;

// A round inserted by hand as the connection's role, every value bound; the SQLSTATE, or ""
// when the server took it.
std::string InsertRound(QSqlDatabase& db, const QString& learner, const QString& file_name,
                        const QString& started, const QVariant& ended, const QVariant& score) {
  QSqlQuery query(db);
  query.prepare(QStringLiteral(
      "INSERT INTO rekendo.rounds (id, learner, set_hash, file_name, pair_count, started_at, "
      "ended_at, score, ending) VALUES (gen_random_uuid(), ?, repeat('a', 64), ?, 1, "
      "CAST(? AS timestamptz), CAST(? AS timestamptz), ?, 'finished')"));
  query.addBindValue(learner);
  query.addBindValue(file_name);
  query.addBindValue(started);
  query.addBindValue(ended);
  query.addBindValue(score);
  if (query.exec()) return "";
  return query.lastError().nativeErrorCode().toStdString();
}

int Count(QSqlDatabase& db, const QString& sql) {
  QSqlQuery query(db);
  if (!query.exec(sql) || !query.next()) return -1;
  return query.value(0).toInt();
}

TEST(ClassPrivacy, TheServerRefusesValuesNoReportCouldUse) {
  REKENDO_NEED_SERVER();
  QSqlDatabase alice = ClassServer::Get().RawConnection("alice", "raw-alice-values");
  ASSERT_TRUE(alice.isOpen());
  const QString a = QStringLiteral("alice"), f = QStringLiteral("f.mon");
  const QString day = QStringLiteral("2026-11-02 09:00:00+00");
  const QVariant later = QStringLiteral("2026-11-02 09:05:00+00");
  EXPECT_EQ(InsertRound(alice, a, f, day, later, 80), "");
  EXPECT_EQ(InsertRound(alice, a, f, QStringLiteral("infinity"), later, 80), "23514");
  EXPECT_EQ(InsertRound(alice, a, f, day, QStringLiteral("infinity"), 80), "23514");
  EXPECT_EQ(InsertRound(alice, a, f, day, later, -2147483647), "23514");
  EXPECT_EQ(InsertRound(alice, a, f, day, later, 101), "23514");
  EXPECT_EQ(InsertRound(alice, a, f, day, QStringLiteral("2026-11-02 08:00:00+00"), 80), "23514");
  EXPECT_EQ(InsertRound(alice, a, f, QStringLiteral("2100-01-01 00:00:00+00"), QVariant(), 80),
            "23514");
  EXPECT_EQ(InsertRound(alice, a, QString(2000, u'x'), day, later, 80), "23514");
  QSqlQuery question(alice);
  question.prepare(QStringLiteral(
      "INSERT INTO rekendo.questions (round_id, learner, number, kind, bank_index, "
      "problem_text, accepted, typed, outcome, wrong_tries, seconds_used) SELECT id, learner, "
      "1, 'problem', 0, ?, '1', '1', 'right', 0, 1 FROM rekendo.rounds LIMIT 1"));
  question.addBindValue(QString(20000, u'x'));
  EXPECT_FALSE(question.exec());
  EXPECT_EQ(question.lastError().nativeErrorCode(), QStringLiteral("23514"));
  EXPECT_EQ(ClassServer::Get().AdminValue("SELECT count(*) FROM rekendo.rounds").toInt(), 1);
}

TEST(ClassPrivacy, AnOlderServerIsUpgradedInPlaceAndItsReportSurvivesItsBadRows) {
  REKENDO_NEED_SERVER();
  ClassServer& server = ClassServer::Get();
  std::string error;
  ASSERT_TRUE(server.cluster().Psql("", "", "CREATE DATABASE rekendo_old", &error)) << error;
  const auto in_old = [](std::string conninfo) {
    return conninfo.replace(conninfo.find("dbname=rekendo"), 14, "dbname=rekendo_old");
  };
  ClassDatabase admin(in_old(server.AdminConnInfo()));
  ASSERT_TRUE(admin.Open());
  ASSERT_EQ(*InitSchema(admin.Connection(), 1), 1);
  // What a learner could store before the server checked: an infinite time, a score of
  // minus two thousand million; and one good round.
  QSqlQuery seed(admin.Connection());
  for (const char* sql :
       {"INSERT INTO rekendo.classes VALUES ('3A', 'teacher_3a')",
        "INSERT INTO rekendo.learners VALUES ('alice', 'Alice', '3A')",
        "INSERT INTO rekendo.rounds (id, learner, set_hash, file_name, pair_count, started_at, "
        "score, ending) VALUES (gen_random_uuid(), 'alice', repeat('a', 64), 'f', 1, "
        "'infinity', 50, 'finished'), (gen_random_uuid(), 'alice', repeat('a', 64), 'f', 1, "
        "'2026-11-02 09:00+00', -2147483648, 'finished'), (gen_random_uuid(), 'alice', "
        "repeat('a', 64), 'f', 1, '2026-11-02 10:00+00', 70, 'finished')"}) {
    ASSERT_TRUE(seed.exec(QString::fromUtf8(sql))) << seed.lastError().text().toStdString();
  }
  Result<int> upgraded = InitSchema(admin.Connection());
  ASSERT_TRUE(upgraded) << upgraded.error().Describe();
  EXPECT_EQ(*upgraded, kClassSchemaVersion);

  ClassDatabase teacher(in_old(server.ConnInfo("teacher_3a")));
  Result<std::vector<ReportRow>> rows = ClassReport(teacher, 0);
  ASSERT_TRUE(rows) << rows.error().Describe();
  ASSERT_EQ(rows->size(), 1u);
  EXPECT_EQ((*rows)[0].rounds, 1);
  EXPECT_EQ((*rows)[0].best, 70);
  EXPECT_EQ((*rows)[0].unreadable, 2);
  // The learner kept her rows and her rights; new rows are checked.
  ClassDatabase alice(in_old(server.ConnInfo("alice")));
  ASSERT_TRUE(alice.Upload(SampleRound("alice", 0)));
  ClassRound bad = SampleRound("alice", 1);
  bad.score = 1000;
  Status refused = alice.Upload(bad);
  ASSERT_FALSE(refused);
  EXPECT_EQ(refused.error().code, ErrorCode::kInvalidInput);
}

TEST(ClassPrivacy, OnlyPlainLoginRolesBecomeLearnersAndOnlyTheirOwnRolesTeach) {
  REKENDO_NEED_SERVER();
  ClassServer& server = ClassServer::Get();
  std::string error;
  ASSERT_TRUE(server.cluster().Psql(
      "", "", "DO $$ BEGIN IF NOT EXISTS (SELECT 1 FROM pg_roles WHERE rolname = 'staff') "
      "THEN CREATE ROLE staff NOLOGIN; GRANT staff TO teacher_3b; END IF; END $$", &error))
      << error;
  const auto classes = [&] {
    return server.AdminValue("SELECT count(*) FROM rekendo.classes").toInt();
  };
  const auto teachers = [&] {
    return server.AdminValue("SELECT count(*) FROM pg_auth_members m JOIN pg_roles g ON "
                             "g.oid = m.roleid WHERE g.rolname = 'rekendo_teacher'")
        .toInt();
  };
  const int classes_before = classes(), teachers_before = teachers();
  ClassDatabase admin(server.AdminConnInfo());
  for (const char* role : {"rekendo_admin", "rekendo_teacher", "rekendo_learner", "public",
                           "PUBLIC", "teacher_3a", "staff", "current_user"}) {
    Result<LearnerAdded> added = AddLearner(admin, role, "", "3A", true);
    ASSERT_FALSE(added) << role;
    EXPECT_EQ(added.error().code, ErrorCode::kInvalidInput) << role;
    EXPECT_EQ(added.error().Describe().find("SCRAM"), std::string::npos) << role;
  }
  // The function that makes roles never shows the verifier, whatever fails.
  QSqlQuery make(admin.Connection());
  make.prepare(QStringLiteral("SELECT rekendo.create_login_role(?, ?)"));
  make.addBindValue(QStringLiteral("public"));
  make.addBindValue(QStringLiteral("SCRAM-SHA-256$4096:c2VjcmV0$secret-key"));
  ASSERT_FALSE(make.exec());
  EXPECT_FALSE(make.lastError().text().contains(QStringLiteral("secret")))
      << make.lastError().text().toStdString();

  for (const auto& [cls, teacher] :
       {std::pair{"3C", "rekendo_learner"}, std::pair{"3C", "rekendo_teacher"},
        std::pair{"3C", "carol"}, std::pair{"3C", "rekendo_admin"}, std::pair{"3C", "staff"}}) {
    Result<ClassAdded> added = AddClass(admin, cls, teacher);
    ASSERT_FALSE(added) << teacher;
    EXPECT_EQ(added.error().code, ErrorCode::kInvalidInput) << teacher;
  }
  EXPECT_EQ(classes(), classes_before);
  EXPECT_EQ(teachers(), teachers_before);
}

TEST(ClassPrivacy, ANewRoleUnderARemovedLearnersNameSeesNoneOfTheOldRows) {
  REKENDO_NEED_SERVER();
  ClassServer& server = ClassServer::Get();
  std::string error;
  ASSERT_TRUE(server.AddLearner("r01", "3A", &error)) << error;
  {
    ClassDatabase r01(server.ConnInfo("r01"));
    ASSERT_TRUE(r01.Upload(SampleRound("r01", 0)));
    ASSERT_TRUE(r01.Upload(SampleRound("r01", 1)));
  }
  ClassDatabase admin(server.AdminConnInfo());
  Result<LearnerRemoved> removed = RemoveLearner(admin, "r01");
  ASSERT_TRUE(removed) << removed.error().Describe();
  EXPECT_TRUE(removed->role_dropped);
  EXPECT_EQ(server.AdminValue("SELECT count(*) FROM pg_roles WHERE rolname = 'r01'").toInt(), 0);
  // The name is not handed out again…
  Result<LearnerAdded> again = AddLearner(admin, "r01", "", "3A", true);
  ASSERT_FALSE(again);
  EXPECT_EQ(again.error().code, ErrorCode::kInvalidInput);
  // …and a role made under it by hand, even in the learners' group, reads nothing of theirs.
  ASSERT_TRUE(server.cluster().Psql("", "",
                                    "CREATE ROLE r01 LOGIN PASSWORD 'pw-new'; "
                                    "GRANT rekendo_learner TO r01",
                                    &error))
      << error;
  ClassDatabase holder(server.cluster().SocketConnInfo("r01") + " password=pw-new");
  ASSERT_TRUE(holder.Open());
  QSqlDatabase& db = holder.Connection();
  EXPECT_EQ(Count(db, QStringLiteral("SELECT count(*) FROM rekendo.rounds")), 0);
  EXPECT_EQ(Count(db, QStringLiteral("SELECT count(*) FROM rekendo.questions")), 0);
  EXPECT_EQ(Count(db, QStringLiteral("SELECT count(*) FROM rekendo.learners")), 0);
  EXPECT_EQ(Count(db, QStringLiteral("SELECT count(*) FROM rekendo.classes")), 0);
  Status posing = holder.Upload(SampleRound("r01", 2));
  ASSERT_FALSE(posing);
  EXPECT_EQ(posing.error().code, ErrorCode::kAccessDenied);
  // The teacher still has the old rounds.
  ClassDatabase teacher(server.ConnInfo("teacher_3a"));
  Result<std::vector<ReportRow>> rows = ClassReport(teacher, 0);
  ASSERT_TRUE(rows);
  int r01_rounds = -1;
  for (const ReportRow& row : *rows) {
    if (row.role == "r01") r01_rounds = row.rounds;
  }
  EXPECT_EQ(r01_rounds, 2);
}

TEST(ClassPrivacy, ARoleMadeAgainUnderADroppedTeachersNameIsNotGivenTheClass) {
  REKENDO_NEED_SERVER();
  ClassServer& server = ClassServer::Get();
  ClassDatabase admin(server.AdminConnInfo());
  ASSERT_TRUE(AddClass(admin, "5A", "teacher_5a"));
  std::string error;
  ASSERT_TRUE(server.AddLearner("s5a_01", "5A", &error)) << error;
  ClassDatabase pupil(server.ConnInfo("s5a_01"));
  ASSERT_TRUE(pupil.Upload(SampleRound("s5a_01", 0)));
  ASSERT_TRUE(server.cluster().Psql("", "",
                                    "DROP ROLE teacher_5a; CREATE ROLE teacher_5a LOGIN "
                                    "PASSWORD 'pw-5a'; GRANT rekendo_teacher TO teacher_5a",
                                    &error))
      << error;
  const std::string teacher = server.cluster().SocketConnInfo("teacher_5a") + " password=pw-5a";
  {
    ClassDatabase stranger(teacher);
    ASSERT_TRUE(stranger.Open());
    QSqlDatabase& db = stranger.Connection();
    EXPECT_EQ(Count(db, QStringLiteral("SELECT count(*) FROM rekendo.classes")), 0);
    EXPECT_EQ(Count(db, QStringLiteral("SELECT count(*) FROM rekendo.learners")), 0);
    EXPECT_EQ(Count(db, QStringLiteral("SELECT count(*) FROM rekendo.rounds")), 0);
  }
  // Given the class again by name, on purpose, the new role reads it.
  ASSERT_TRUE(AddClass(admin, "5A", "teacher_5a"));
  ClassDatabase given(teacher);
  ASSERT_TRUE(given.Open());
  EXPECT_EQ(Count(given.Connection(), QStringLiteral("SELECT count(*) FROM rekendo.rounds")), 1);
}

TEST(ClassPrivacy, ALearnerReadsOnlyTheirOwnClassRow) {
  REKENDO_NEED_SERVER();
  ClassServer& server = ClassServer::Get();
  QSqlDatabase carol = server.RawConnection("carol", "raw-carol-classes");
  ASSERT_TRUE(carol.isOpen());
  QSqlQuery query(carol);
  ASSERT_TRUE(query.exec(QStringLiteral("SELECT name, teacher_role FROM rekendo.classes")));
  ASSERT_TRUE(query.next());
  EXPECT_EQ(query.value(0).toString(), QStringLiteral("3B"));
  EXPECT_FALSE(query.next());
  QSqlDatabase teacher = server.RawConnection("teacher_3a", "raw-teacher-classes");
  EXPECT_EQ(Count(teacher, QStringLiteral("SELECT count(*) FROM rekendo.classes")), 1);
}

TEST(ClassPrivacy, OneLearnerCannotTakeEveryConnection) {
  REKENDO_NEED_SERVER();
  ClassServer& server = ClassServer::Get();
  EXPECT_EQ(server.AdminValue("SELECT rolconnlimit FROM pg_roles WHERE rolname = 'bob'").toInt(),
            kLearnerConnectionLimit);
  std::vector<std::unique_ptr<ClassDatabase>> held;
  int opened = 0;
  for (int i = 0; i < 10; ++i) {
    held.push_back(std::make_unique<ClassDatabase>(server.ConnInfo("bob")));
    if (held.back()->Open()) ++opened;
  }
  EXPECT_EQ(opened, kLearnerConnectionLimit);
  ClassDatabase teacher(server.ConnInfo("teacher_3a"));
  EXPECT_TRUE(teacher.Open());
  ClassDatabase alice(server.ConnInfo("alice"));
  EXPECT_TRUE(alice.Open());
}

}  // namespace
}  // namespace rekendo::classroom
