// rekendo-class as a teacher runs it: version and help, init, learners one by one and from
// a CSV, the class table, and what it says when the database is missing.
#include "class_cli.h"

#include <gtest/gtest.h>

#include <QProcess>
#include <QProcessEnvironment>
#include <fstream>

#include "class_support.h"
#include "sample_rounds.h"

namespace rekendo::classroom {
namespace {

using testing::ClassServer;

struct CliRun {
  int status = -1;
  std::string out, err;
};

CliRun Class(const QStringList& arguments, const std::string& env_db = {}) {
  QProcess process;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.remove(QStringLiteral("REKENDO_CLASS"));
  if (!env_db.empty())
    environment.insert(QStringLiteral("REKENDO_CLASS"), QString::fromStdString(env_db));
  process.setProcessEnvironment(environment);
  process.start(REKENDO_CLASS_PATH, arguments);
  process.waitForFinished(60000);
  return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
          process.readAllStandardOutput().toStdString(),
          process.readAllStandardError().toStdString()};
}

bool Has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

TEST(ClassCli, VersionHelpAndAMissingDatabase) {
  CliRun version = Class({"--version"});
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out, "rekendo-class " REKENDO_TEST_VERSION "\n");
  CliRun help = Class({"--help"});
  EXPECT_EQ(help.status, 0);
  for (const char* part :
       {"init", "add-learner", "add-learners", "report", "--db", "REKENDO_CLASS"}) {
    EXPECT_TRUE(Has(help.out, part)) << part;
  }
  CliRun none = Class({"report"});
  EXPECT_EQ(none.status, 2);
  EXPECT_TRUE(Has(none.err, "REKENDO_CLASS")) << none.err;
  CliRun unknown = Class({"frobnicate"});
  EXPECT_EQ(unknown.status, 2);
  CliRun down = Class({"report", "--db", "host=/nonexistent port=5 dbname=rekendo"});
  EXPECT_EQ(down.status, 1);
  EXPECT_TRUE(Has(down.err, "つながりませんでした")) << down.err;
  // The terminal widths the class table lines up by.
  EXPECT_EQ(DisplayWidth("山田 花子"), 9);
  EXPECT_EQ(DisplayWidth("ｱｲ"), 2);
  EXPECT_EQ(*SplitCsvLine("a,\"b, \"\"c\"\"\",d"), (std::vector<std::string>{"a", "b, \"c\"", "d"}));
}

TEST(ClassCli, ATeacherSetsUpAClassAndReadsItsTable) {
  REKENDO_NEED_SERVER();
  ClassServer& server = ClassServer::Get();
  const std::string admin = server.AdminConnInfo();
  CliRun init = Class({"init", "--class", "4B", "--teacher", "teacher_4b"}, admin);
  ASSERT_EQ(init.status, 0) << init.err;
  EXPECT_TRUE(Has(init.out, "4B")) << init.out;
  EXPECT_EQ(init.err, "");  // no notices of things that already exist

  CliRun one = Class({"add-learner", "dave", "--display", "佐藤 大", "--class", "4B", "--db",
                      QString::fromStdString(admin)});
  ASSERT_EQ(one.status, 0) << one.err;
  const auto at = one.out.find("パスワード: ");
  ASSERT_NE(at, std::string::npos) << one.out;
  const std::string password = one.out.substr(at + std::string("パスワード: ").size(), 14);
  // The password printed is the one the server takes, over the socket and over TLS.
  std::string error;
  EXPECT_TRUE(server.cluster().Psql("dave", password, "SELECT 1", &error)) << error;
  CliRun twice = Class({"add-learner", "dave", "--class", "4B"}, admin);
  EXPECT_EQ(twice.status, 0);
  EXPECT_FALSE(Has(twice.out, "パスワード: ")) << twice.out;

  const std::string csv = server.cluster().folder() + "/4b.csv";
  std::ofstream(csv)
      << "\xEF\xBB\xBFロール名,表示名,クラス\r\neve,\"鈴木, 恵\",4B\r\nfrank,高橋 文\r\n";
  CliRun many =
      Class({"add-learners", QString::fromStdString(csv), "--class", "4B", "--no-password"}, admin);
  ASSERT_EQ(many.status, 0) << many.err;
  EXPECT_TRUE(Has(many.out, "eve,\"鈴木, 恵\",4B,\n")) << many.out;
  EXPECT_TRUE(Has(many.out, "frank,高橋 文,4B,\n")) << many.out;
  EXPECT_TRUE(Has(many.err, "2 人")) << many.err;
  std::ofstream(csv) << "bad name,x\n";
  EXPECT_EQ(Class({"add-learners", QString::fromStdString(csv)}, admin).status, 2);

  // Dave plays two rounds; the others none.
  ClassDatabase dave(server.cluster().SocketConnInfo("dave") + " password=" + password);
  ASSERT_TRUE(dave.Upload(testing::SampleRound("dave", 0)));
  ASSERT_TRUE(dave.Upload(testing::SampleRound("dave", 1)));
  ASSERT_TRUE(server.cluster().Psql("", "", "ALTER ROLE teacher_4b PASSWORD 'pw4b'", &error))
      << error;
  const std::string teacher = server.cluster().SocketConnInfo("teacher_4b") + " password=pw4b";
  CliRun table =
      Class({"report", "--since", "2026-01-01", "--db", QString::fromStdString(teacher)});
  ASSERT_EQ(table.status, 0) << table.err;
  EXPECT_TRUE(Has(table.out, "クラス 4B（2026-01-01 から）")) << table.out;
  EXPECT_TRUE(Has(table.out, "佐藤 大")) << table.out;
  EXPECT_TRUE(Has(table.out, "この期間に遊んでいない人: 鈴木, 恵、高橋 文")) << table.out;
  EXPECT_FALSE(Has(table.out, "alice")) << table.out;  // another class's learner
  CliRun rows =
      Class({"report", "--since", "2026-01-01", "--csv", "--db", QString::fromStdString(teacher)});
  ASSERT_EQ(rows.status, 0) << rows.err;
  EXPECT_TRUE(Has(rows.out,
                  "class,role,display_name,rounds_since,finished_since,average,best,"
                  "last_played,played_since\n"))
      << rows.out;
  EXPECT_TRUE(Has(rows.out, "4B,dave,佐藤 大,2,2,")) << rows.out;
  EXPECT_TRUE(Has(rows.out, "4B,eve,\"鈴木, 恵\",0,0,,,,no\n")) << rows.out;
  EXPECT_EQ(Class({"report", "--since", "yesterday"}, teacher).status, 2);
}

TEST(ClassCli, NamesReachTerminalsAndSpreadsheetsHarmlessAndBadLinesAreRefused) {
  REKENDO_NEED_SERVER();
  ClassServer& server = ClassServer::Get();
  const std::string admin = server.AdminConnInfo();
  EXPECT_EQ(ForTerminal("a\nb\x1b[2Jc\u202Ed"), "a\\x0Ab\\x1B[2Jc\\u202Ed");
  EXPECT_EQ(ForTerminal("山田 花子"), "山田 花子");
  EXPECT_EQ(CsvField("=HYPERLINK(\"http://x\")"), "\"'=HYPERLINK(\"\"http://x\"\")\"");
  for (const char* lead : {"+1", "-1", "@A1", "\tx"}) {
    EXPECT_EQ(CsvField(lead).substr(0, 1), "'") << lead;
  }
  EXPECT_EQ(CsvField("a-b"), "a-b");
  EXPECT_FALSE(SplitCsvLine("s1,\"open"));

  // An unclosed quote on the second line: refused with its number, nobody registered.
  const std::string csv = server.cluster().folder() + "/quote.csv";
  std::ofstream(csv) << "q01,Q\nq02,\"broken\n";
  CliRun quoted = Class({"add-learners", QString::fromStdString(csv), "--class", "3A"}, admin);
  EXPECT_EQ(quoted.status, 2);
  EXPECT_TRUE(Has(quoted.err, "2 行目")) << quoted.err;
  EXPECT_EQ(server.AdminValue("SELECT count(*) FROM pg_roles WHERE rolname = 'q01'").toInt(), 0);

  // A display name with a formula, a newline and a terminal escape.
  std::ofstream(csv) << "q03,\"=HYPERLINK(\"\"http://x\"\")\x1b[2J\",3A\n";
  CliRun many = Class({"add-learners", QString::fromStdString(csv), "--no-password"}, admin);
  ASSERT_EQ(many.status, 0) << many.err;
  EXPECT_TRUE(Has(many.out, "q03,\"'=HYPERLINK(")) << many.out;
  const std::string teacher = server.ConnInfo("teacher_3a");
  CliRun table = Class({"report", "--since", "2026-01-01", "--db", QString::fromStdString(teacher)});
  ASSERT_EQ(table.status, 0) << table.err;
  EXPECT_FALSE(Has(table.out, "\x1b")) << table.out;
  EXPECT_TRUE(Has(table.out, "\\x1B[2J")) << table.out;
  CliRun rows =
      Class({"report", "--since", "2026-01-01", "--csv", "--db", QString::fromStdString(teacher)});
  ASSERT_EQ(rows.status, 0) << rows.err;
  EXPECT_TRUE(Has(rows.out, "3A,q03,\"'=HYPERLINK(")) << rows.out;

  // System and group roles are refused, and no message shows a verifier.
  for (const char* role : {"postgres", "rekendo_teacher", "public"}) {
    CliRun refused = Class({"add-learner", role, "--class", "3A"}, admin);
    EXPECT_NE(refused.status, 0) << role;
    EXPECT_FALSE(Has(refused.err, "SCRAM")) << refused.err;
  }
  // remove-learner takes the role away and keeps the name from being used again.
  ASSERT_EQ(Class({"remove-learner", "q03"}, admin).status, 0);
  EXPECT_EQ(server.AdminValue("SELECT count(*) FROM pg_roles WHERE rolname = 'q03'").toInt(), 0);
  EXPECT_NE(Class({"add-learner", "q03", "--class", "3A"}, admin).status, 0);
}

}  // namespace
}  // namespace rekendo::classroom
