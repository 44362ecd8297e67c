// What goes wrong between the program and the server, and what the learner is told: the
// connection string, a wrong password or role, a server that is not there or goes away,
// service files and .pgpass, and TLS with sslmode=verify-full.
#include <gtest/gtest.h>

#include <QSqlQuery>
#include <cstdlib>
#include <fstream>

#include "class_error.h"
#include "class_support.h"
#include "conninfo.h"
#include "sample_rounds.h"

namespace rekendo::classroom {
namespace {

using testing::ClassServer;
using testing::SampleRound;

TEST(ClassConnInfo, IsReadAndQuotedAsLibpqDoes) {
  Result<ConnInfo> info = ConnInfo::Parse(
      "  host=db.school.example dbname = 'rekendo class' user=o\\'brien  sslmode=verify-full "
      "sslrootcert='/etc/ssl/学校 CA\\\\root.crt' password=secret");
  ASSERT_TRUE(info) << info.error().Describe();
  EXPECT_EQ(info->Get("host"), "db.school.example");
  EXPECT_EQ(info->Get("dbname"), "rekendo class");
  EXPECT_EQ(info->Get("user"), "o'brien");
  EXPECT_EQ(info->Get("sslrootcert"), "/etc/ssl/学校 CA\\root.crt");
  EXPECT_EQ(info->ToConnectOptions(),
            "host='db.school.example' dbname='rekendo class' user='o\\'brien' "
            "sslmode='verify-full' sslrootcert='/etc/ssl/学校 CA\\\\root.crt' password='secret'");
  EXPECT_EQ(info->Describe().find("secret"), std::string::npos);
  // Read back, the options say the same.
  Result<ConnInfo> again = ConnInfo::Parse(info->ToConnectOptions());
  ASSERT_TRUE(again);
  EXPECT_EQ(again->pairs(), info->pairs());
  // The defaults fill in only what is missing.
  ConnInfo defaults = ConnInfo::Parse("service=rekendo connect_timeout=3")->WithDefaults();
  EXPECT_EQ(defaults.Get("connect_timeout"), "3");
  EXPECT_EQ(defaults.Get("application_name"), "rekendo");
  EXPECT_TRUE(defaults.Has("tcp_user_timeout"));

  for (const char* bad :
       {"", "   ", "postgresql://u@h/db", "host", "host=a;dbname=b", "dbname='open", "=x"}) {
    Result<ConnInfo> refused = ConnInfo::Parse(bad);
    ASSERT_FALSE(refused) << bad;
    EXPECT_EQ(refused.error().code, ErrorCode::kInvalidInput) << bad;
  }
}

TEST(ClassErrors, TheServersWordsBecomeCodesAndAdvice) {
  const auto statement = [](const char* state) {
    return StatementFailure(QSqlError(QStringLiteral("QPSQL"), QStringLiteral("words"),
                                      QSqlError::StatementError, QString::fromLatin1(state)),
                            "成績の送信");
  };
  EXPECT_EQ(statement("53100").code, ErrorCode::kServer);  // the server's disk is full
  EXPECT_NE(statement("53100").message.find("ディスクがいっぱい"), std::string::npos);
  EXPECT_EQ(statement("XX000").code, ErrorCode::kServer);
  EXPECT_EQ(statement("").code, ErrorCode::kNetwork);  // libpq lost the connection
  EXPECT_EQ(statement("08006").code, ErrorCode::kNetwork);
  EXPECT_EQ(statement("57P01").code, ErrorCode::kNetwork);  // the server is shutting down
  EXPECT_EQ(statement("28P01").code, ErrorCode::kAuthentication);
  EXPECT_EQ(statement("42501").code, ErrorCode::kAccessDenied);
  EXPECT_EQ(statement("40001").code, ErrorCode::kBusy);
  EXPECT_EQ(statement("23514").code, ErrorCode::kInvalidInput);
  EXPECT_EQ(statement("42P01").code, ErrorCode::kNotFound);  // init never ran
  EXPECT_FALSE(WorthRetrying(statement("23514")));
  EXPECT_TRUE(WorthRetrying(statement("53100")));
  EXPECT_EQ(statement("53100").detail, "QPSQL: words");  // the driver's words, then the server's

  const auto connect = [](const char* text) {
    return ConnectFailure(QSqlError(QStringLiteral("Unable to connect"), QString::fromUtf8(text),
                                    QSqlError::ConnectionError),
                          "host=db");
  };
  // libpq's own words in English and in its Japanese translation.
  EXPECT_EQ(connect("FATAL:  password authentication failed for user \"a\"").code,
            ErrorCode::kAuthentication);
  EXPECT_EQ(connect("FATAL:  ユーザー\"a\"のパスワード認証に失敗しました").code,
            ErrorCode::kAuthentication);
  EXPECT_EQ(connect("FATAL:  ロール\"a\"は存在しません").code, ErrorCode::kAuthentication);
  EXPECT_EQ(connect("FATAL:  データベース\"x\"は存在しません").code, ErrorCode::kNotFound);
  EXPECT_EQ(connect("SSL error: certificate verify failed").code, ErrorCode::kNetwork);
  EXPECT_EQ(connect("ソケット\"/run/x\"のサーバーへの接続に失敗しました: No such file").code,
            ErrorCode::kNetwork);
  EXPECT_EQ(connect("FATAL:  sorry, too many clients already").code, ErrorCode::kServer);
  EXPECT_NE(connect("timeout expired").message.find("接続先: host=db"), std::string::npos);
}

TEST(ClassFailures, AWrongPasswordOrUnknownRoleIsAuthentication) {
  REKENDO_NEED_SERVER();
  ClassServer& server = ClassServer::Get();
  for (const std::string& conninfo :
       {server.cluster().SocketConnInfo("alice") + " password=wrong",
        server.cluster().SocketConnInfo("nobody") + " password=whatever",
        // No password anywhere (no .pgpass entry for her).
        server.cluster().SocketConnInfo("alice") + " passfile=/nonexistent"}) {
    ClassDatabase db(conninfo);
    Status status = db.Upload(SampleRound("alice", 1));
    ASSERT_FALSE(status) << conninfo;
    EXPECT_EQ(status.error().code, ErrorCode::kAuthentication) << status.error().Describe();
    EXPECT_NE(status.error().message.find("パスワード"), std::string::npos);
    EXPECT_EQ(status.error().Describe().find("wrong"), std::string::npos);  // never shown
    EXPECT_TRUE(WorthRetrying(status.error()));
  }
}

TEST(ClassFailures, NoServerIsNetworkAndALostServerIsFoundAgain) {
  REKENDO_NEED_SERVER();
  ClassServer& server = ClassServer::Get();
  // Nobody listens there.
  ClassDatabase nowhere("host=/nonexistent-socket-dir port=5432 dbname=rekendo user=alice");
  Status status = nowhere.Open();
  ASSERT_FALSE(status);
  EXPECT_EQ(status.error().code, ErrorCode::kNetwork) << status.error().Describe();
  EXPECT_NE(status.error().message.find("つながりしだい"), std::string::npos);
  ClassDatabase tcp("host=127.0.0.1 port=1 dbname=rekendo user=alice connect_timeout=2");
  status = tcp.Open();
  ASSERT_FALSE(status);
  EXPECT_EQ(status.error().code, ErrorCode::kNetwork) << status.error().Describe();

  // Connected, then the server goes away under us.
  ClassDatabase db(server.ConnInfo("alice"));
  ASSERT_TRUE(db.Upload(SampleRound("alice", 1)));
  std::string error;
  ASSERT_TRUE(server.cluster().Stop(/*immediate=*/true, &error)) << error;
  status = db.Upload(SampleRound("alice", 2));
  ASSERT_FALSE(status);
  EXPECT_EQ(status.error().code, ErrorCode::kNetwork) << status.error().Describe();
  status = db.Upload(SampleRound("alice", 2));
  ASSERT_FALSE(status);
  EXPECT_EQ(status.error().code, ErrorCode::kNetwork) << status.error().Describe();
  ASSERT_TRUE(server.cluster().Start(&error)) << error;
  status = db.Upload(SampleRound("alice", 2));
  ASSERT_TRUE(status) << status.error().Describe();
  EXPECT_EQ(server.AdminValue("SELECT count(*) FROM rekendo.rounds").toInt(), 2);
}

TEST(ClassFailures, AServiceFileAndPgpassNeedNoPasswordInTheProgram) {
  REKENDO_NEED_SERVER();
  ClassServer& server = ClassServer::Get();
  const std::string services = server.cluster().folder() + "/pg_service.conf";
  std::ofstream(services) << "[rekendo]\nhost=" << server.cluster().socket_dir()
                          << "\nport=" << server.cluster().port()
                          << "\ndbname=rekendo\nuser=bob\npassfile=" << server.pgpass() << "\n";
  ::setenv("PGSERVICEFILE", services.c_str(), 1);
  ClassDatabase db("service=rekendo");
  Status status = db.Upload(SampleRound("bob", 1));
  ::unsetenv("PGSERVICEFILE");
  ASSERT_TRUE(status) << status.error().Describe();
  EXPECT_EQ(*db.CurrentUser(), "bob");
  // And through PGPASSFILE, as a learner's ~/.pgpass would be found.
  ::setenv("PGPASSFILE", server.pgpass().c_str(), 1);
  ClassDatabase plain(server.cluster().SocketConnInfo("carol"));
  status = plain.Upload(SampleRound("carol", 1));
  ::unsetenv("PGPASSFILE");
  ASSERT_TRUE(status) << status.error().Describe();
}

TEST(ClassFailures, TlsWithVerifyFull) {
  REKENDO_NEED_SERVER();
  ClassServer& server = ClassServer::Get();
  const std::string base =
      server.cluster().TcpConnInfo("alice") + " passfile='" + server.pgpass() + "'";
  ClassDatabase db(base + " sslmode=verify-full sslrootcert='" + server.cluster().ca_cert() + "'");
  Status status = db.Upload(SampleRound("alice", 1));
  ASSERT_TRUE(status) << status.error().Describe();
  QSqlQuery query(db.Connection());
  ASSERT_TRUE(query.exec(
      QStringLiteral("SELECT ssl, version FROM pg_stat_ssl WHERE pid = pg_backend_pid()")));
  ASSERT_TRUE(query.next());
  EXPECT_TRUE(query.value(0).toBool());
  EXPECT_TRUE(query.value(1).toString().startsWith(QStringLiteral("TLS")));

  // A certificate from somebody else's authority is refused before any password is sent.
  const std::string other_ca = server.cluster().folder() + "/other-ca.crt";
  const std::string other_key = server.cluster().folder() + "/other-ca.key";
  const std::string command =
      "openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 "
      "-nodes -subj /CN=other -days 1 -keyout '" +
      other_key + "' -out '" + other_ca + "' 2>/dev/null";
  ASSERT_EQ(std::system(command.c_str()), 0);
  ClassDatabase forged(base + " sslmode=verify-full sslrootcert='" + other_ca + "'");
  status = forged.Open();
  ASSERT_FALSE(status);
  EXPECT_EQ(status.error().code, ErrorCode::kNetwork) << status.error().Describe();
  EXPECT_NE(status.error().message.find("証明書"), std::string::npos) << status.error().Describe();
  // So is a host name the certificate does not name.
  ClassDatabase wrong_name("host=127.0.0.1 port=" + std::to_string(server.cluster().port()) +
                           " dbname=rekendo user=alice sslmode=verify-full sslrootcert='" +
                           server.cluster().ca_cert() + "' passfile='" + server.pgpass() + "'");
  // (127.0.0.1 is in the certificate: an address it does not name is what fails.)
  ASSERT_TRUE(wrong_name.Open());
  ClassDatabase other_name(
      "host=127.0.0.2 hostaddr=127.0.0.1 port=" + std::to_string(server.cluster().port()) +
      " dbname=rekendo user=alice sslmode=verify-full sslrootcert='" + server.cluster().ca_cert() +
      "' passfile='" + server.pgpass() + "'");
  status = other_name.Open();
  ASSERT_FALSE(status);
  EXPECT_EQ(status.error().code, ErrorCode::kNetwork) << status.error().Describe();
  // Without TLS the server lets nobody in over TCP.
  ClassDatabase plain(base + " sslmode=disable");
  status = plain.Open();
  ASSERT_FALSE(status);
  EXPECT_EQ(status.error().code, ErrorCode::kAuthentication) << status.error().Describe();
}

}  // namespace
}  // namespace rekendo::classroom
