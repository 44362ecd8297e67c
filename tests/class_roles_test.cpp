// Who sees what, decided by the database: tried through plain Qt connections logged in as
// each role with its own password, as a learner with a database tool of their own would.
#include <gtest/gtest.h>

#include <QSqlError>
#include <QSqlQuery>

#include "class_support.h"
#include "sample_rounds.h"

namespace rekendo::classroom {
namespace {

using testing::ClassServer;
using testing::SampleRound;

// Runs `sql` on `db`; the SQLSTATE when it failed, "" when it ran.
std::string Exec(QSqlDatabase& db, const std::string& sql, int* rows = nullptr) {
  QSqlQuery query(db);
  if (!query.exec(QString::fromStdString(sql)))
    return query.lastError().nativeErrorCode().toStdString();
  if (rows) {
    *rows = 0;
    if (query.isSelect()) {
      while (query.next()) ++*rows;
    } else {
      *rows = query.numRowsAffected();
    }
  }
  return "";
}

int Rows(QSqlDatabase& db, const std::string& sql) {
  int rows = -1;
  EXPECT_EQ(Exec(db, sql, &rows), "") << sql;
  return rows;
}

class ClassRoles : public ::testing::Test {
 protected:
  void SetUp() override {
    REKENDO_NEED_SERVER();
    ClassServer& server = ClassServer::Get();
    for (const char* learner : {"alice", "bob", "carol"}) {
      ClassDatabase db(server.ConnInfo(learner));
      for (int i = 0; i < 3; ++i) ASSERT_TRUE(db.Upload(SampleRound(learner, i)));
    }
    bobs_round_ = SampleRound("bob", 0).id;
  }
  std::string bobs_round_;
};

TEST_F(ClassRoles, ALearnerSeesExactlyTheirOwnRows) {
  ClassServer& server = ClassServer::Get();
  QSqlDatabase alice = server.RawConnection("alice", "raw-alice");
  ASSERT_TRUE(alice.isOpen()) << alice.lastError().text().toStdString();
  EXPECT_EQ(Rows(alice, "SELECT * FROM rekendo.rounds"), 3);
  EXPECT_EQ(Rows(alice, "SELECT * FROM rekendo.rounds WHERE learner <> 'alice'"), 0);
  EXPECT_EQ(Rows(alice, "SELECT * FROM rekendo.rounds WHERE id = '" + bobs_round_ + "'"), 0);
  EXPECT_EQ(Rows(alice, "SELECT * FROM rekendo.questions"), 30);
  EXPECT_EQ(Rows(alice, "SELECT * FROM rekendo.questions WHERE learner <> 'alice'"), 0);
  EXPECT_EQ(Rows(alice, "SELECT * FROM rekendo.learners"), 1);
  // Bypassing the policy is not hers to do.
  ASSERT_EQ(Exec(alice, "SET row_security = off"), "");
  EXPECT_EQ(Exec(alice, "SELECT * FROM rekendo.rounds"), "42501");
  alice.close();
}

TEST_F(ClassRoles, ALearnerCannotWriteAsAnotherNorChangeAnything) {
  ClassServer& server = ClassServer::Get();
  QSqlDatabase alice = server.RawConnection("alice", "raw-alice");
  ASSERT_TRUE(alice.isOpen()) << alice.lastError().text().toStdString();
  const std::string columns =
      "INSERT INTO rekendo.rounds (id, learner, set_hash, file_name, pair_count, started_at, "
      "ending) "
      "VALUES (gen_random_uuid(), ";
  const std::string values = ", repeat('a', 64), 'x.mon', 1, now(), 'finished')";
  EXPECT_EQ(Exec(alice, columns + "'bob'" + values), "42501");
  EXPECT_EQ(Exec(alice, columns + "current_user" + values), "");
  // A question on bob's round, in bob's or in her own name.
  const std::string question =
      "INSERT INTO rekendo.questions (round_id, learner, number, kind, bank_index, problem_text, "
      "accepted, typed, outcome, wrong_tries, seconds_used) VALUES ('" +
      bobs_round_ + "', ";
  const std::string question_values = ", 99, 'problem', 0, 't', 'a', 'a', 'right', 0, 1)";
  EXPECT_EQ(Exec(alice, question + "'bob'" + question_values), "42501");
  EXPECT_EQ(Exec(alice, question + "'alice'" + question_values), "23503");  // no such round of hers
  // No updates and no deletes, of anyone's rows, her own included.
  for (const std::string& sql :
       {std::string("UPDATE rekendo.rounds SET score = 100"),
        std::string("UPDATE rekendo.rounds SET score = 100 WHERE learner = 'alice'"),
        std::string("DELETE FROM rekendo.rounds"), std::string("DELETE FROM rekendo.questions"),
        std::string("UPDATE rekendo.questions SET outcome = 'right'"),
        std::string("TRUNCATE rekendo.rounds CASCADE"),
        std::string("UPDATE rekendo.learners SET class_name = '3B'"),
        std::string("INSERT INTO rekendo.learners VALUES ('mallory', 'm', '3A')"),
        std::string("INSERT INTO rekendo.classes VALUES ('4C', 'alice')"),
        std::string("SELECT rekendo.grant_role('rekendo_teacher', 'alice')")}) {
    EXPECT_EQ(Exec(alice, sql), "42501") << sql;
  }
  EXPECT_EQ(server.AdminValue("SELECT count(*) FROM rekendo.rounds WHERE learner = 'bob'").toInt(),
            3);
  EXPECT_EQ(server.AdminValue("SELECT count(*) FROM rekendo.rounds WHERE score = 100").toInt(), 0);
}

TEST_F(ClassRoles, ATeacherReadsTheirClassOnly) {
  ClassServer& server = ClassServer::Get();
  QSqlDatabase teacher = server.RawConnection("teacher_3a", "raw-teacher");
  ASSERT_TRUE(teacher.isOpen()) << teacher.lastError().text().toStdString();
  EXPECT_EQ(Rows(teacher, "SELECT * FROM rekendo.rounds"), 6);  // alice's and bob's
  EXPECT_EQ(Rows(teacher, "SELECT * FROM rekendo.rounds WHERE learner = 'carol'"), 0);
  EXPECT_EQ(Rows(teacher, "SELECT * FROM rekendo.questions"), 60);
  EXPECT_EQ(Rows(teacher, "SELECT * FROM rekendo.learners"), 2);
  EXPECT_EQ(Exec(teacher, "DELETE FROM rekendo.rounds"), "42501");
  EXPECT_EQ(Exec(teacher, "UPDATE rekendo.rounds SET score = 0"), "42501");
  EXPECT_EQ(
      Exec(teacher,
           "INSERT INTO rekendo.rounds (id, set_hash, file_name, pair_count, started_at, ending) "
           "VALUES (gen_random_uuid(), repeat('a', 64), 'x', 1, now(), 'finished')"),
      "42501");
  QSqlDatabase other = server.RawConnection("teacher_3b", "raw-teacher-b");
  ASSERT_TRUE(other.isOpen());
  EXPECT_EQ(Rows(other, "SELECT * FROM rekendo.rounds"), 3);
  EXPECT_EQ(Rows(other, "SELECT * FROM rekendo.rounds WHERE learner = 'carol'"), 3);
  // Through rekendo's own class table the same: the database decided.
  ClassDatabase db(server.ConnInfo("teacher_3a"));
  Result<std::vector<ReportRow>> rows = ClassReport(db, 0);
  ASSERT_TRUE(rows) << rows.error().Describe();
  ASSERT_EQ(rows->size(), 2u);
  EXPECT_EQ((*rows)[0].role, "alice");
  EXPECT_EQ((*rows)[0].rounds, 3);
  EXPECT_EQ((*rows)[1].role, "bob");
  // A learner asking for the class table sees a class of one.
  ClassDatabase learner(server.ConnInfo("carol"));
  rows = ClassReport(learner, 0);
  ASSERT_TRUE(rows);
  ASSERT_EQ(rows->size(), 1u);
  EXPECT_EQ((*rows)[0].role, "carol");
}

}  // namespace
}  // namespace rekendo::classroom
