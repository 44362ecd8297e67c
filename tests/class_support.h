// The class tests' server: one scratch PostgreSQL cluster per test program (each test runs
// in a program of its own under ctest), started at the first test that asks for it and
// stopped when the program ends, a failed test or not. It listens on a Unix socket and, for
// the TLS test, on 127.0.0.1 over TLS only. The schema is made with rekendo-class's own
// init; classes 3A (teacher_3a: alice, bob) and 3B (teacher_3b: carol). Every login role has
// a password, found by libpq in the .pgpass file written beside the cluster.
#pragma once

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QThread>
#include <QVariant>
#include <chrono>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "class_admin.h"
#include "class_database.h"
#include "class_schema.h"
#include "scratch_cluster.h"

namespace rekendo::classroom::testing {

// Runs the event loop until `done` or `timeout`; whether it was done.
inline bool WaitFor(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
  QElapsedTimer clock;
  clock.start();
  while (!done()) {
    if (clock.elapsed() > timeout.count()) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    QThread::msleep(5);
  }
  return true;
}

class ClassServer {
 public:
  static ClassServer& Get() {
    if (!Instance()) Instance() = new ClassServer;
    return *Instance();
  }
  // From the environment's TearDown: the server stops before the program ends.
  static void Shutdown() {
    delete Instance();
    Instance() = nullptr;
  }

  ScratchCluster& cluster() { return *cluster_; }
  bool ok() const { return error_.empty(); }
  const std::string& error() const { return error_; }

  // A connection string that logs in as `role` with the password from .pgpass.
  std::string ConnInfo(const std::string& role) const {
    return cluster_->SocketConnInfo(role) + " passfile='" + pgpass_ + "'";
  }
  std::string AdminConnInfo() const { return cluster_->AdminConnInfo(); }
  const std::string& Password(const std::string& role) const { return passwords_.at(role); }
  const std::string& pgpass() const { return pgpass_; }

  // Makes a learner of `class_name` with a password, adds it to .pgpass.
  bool AddLearner(const std::string& role, const std::string& class_name, std::string* error) {
    ClassDatabase admin(AdminConnInfo());
    Result<LearnerAdded> added = rekendo::classroom::AddLearner(admin, role, "", class_name, true);
    if (!added) {
      *error = added.error().Describe();
      return false;
    }
    passwords_[role] = added->password;
    std::ofstream(pgpass_, std::ios::app) << "*:*:*:" << role << ":" << added->password << "\n";
    return true;
  }

  // A Qt connection of the test's own, as `role` with its password: how a learner who opens
  // a database tool sees the server, without rekendo's code in between.
  QSqlDatabase RawConnection(const std::string& role, const std::string& name) {
    const QString connection = QString::fromStdString(name);
    if (QSqlDatabase::contains(connection)) QSqlDatabase::removeDatabase(connection);
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), connection);
    db.setHostName(QString::fromStdString(cluster_->socket_dir()));
    db.setPort(cluster_->port());
    db.setDatabaseName(QStringLiteral("rekendo"));
    db.setUserName(QString::fromStdString(role));
    db.setPassword(QString::fromStdString(passwords_.at(role)));
    db.open();
    return db;
  }

  // Every round and question gone: each test starts from the learners and classes alone.
  void Clear() {
    std::string error;
    if (!cluster_->Psql("", "", "TRUNCATE rekendo.questions, rekendo.rounds", &error)) {
      ADD_FAILURE() << error;
    }
  }

  // The first column of the first row of `sql` run as the admin (superuser: no policy).
  QVariant AdminValue(const std::string& sql) {
    ClassDatabase admin(AdminConnInfo());
    if (!admin.Open()) return {};
    QSqlQuery query(admin.Connection());
    if (!query.exec(QString::fromStdString(sql)) || !query.next()) {
      ADD_FAILURE() << sql << ": " << query.lastError().text().toStdString();
      return {};
    }
    return query.value(0);
  }

 private:
  static ClassServer*& Instance() {
    static ClassServer* server = nullptr;
    return server;
  }
  ClassServer() {
    ScratchClusterOptions options;
    options.tls = true;
    cluster_ = std::make_unique<ScratchCluster>(options);
    if (!cluster_->Start(&error_)) return;
    pgpass_ = cluster_->folder() + "/pgpass";
    std::ofstream(pgpass_).close();
    ::chmod(pgpass_.c_str(), 0600);
    ClassDatabase admin(AdminConnInfo());
    if (Status s = admin.Open(); !s) {
      error_ = s.error().Describe();
      return;
    }
    if (Result<int> v = InitSchema(admin.Connection()); !v) {
      error_ = v.error().Describe();
      return;
    }
    for (const auto& [name, teacher] :
         {std::pair{"3A", "teacher_3a"}, std::pair{"3B", "teacher_3b"}}) {
      if (auto added = AddClass(admin, name, teacher); !added) {
        error_ = added.error().Describe();
        return;
      }
      // Teachers log in with a password too, for the tests.
      const std::string password = std::string("pw-") + teacher;
      std::string ignored;
      if (!cluster_->Psql("", "",
                          std::string("ALTER ROLE ") + teacher + " PASSWORD '" + password + "'",
                          &error_)) {
        return;
      }
      passwords_[teacher] = password;
      std::ofstream(pgpass_, std::ios::app) << "*:*:*:" << teacher << ":" << password << "\n";
    }
    for (const auto& [role, cls] :
         {std::pair{"alice", "3A"}, std::pair{"bob", "3A"}, std::pair{"carol", "3B"}}) {
      if (!AddLearner(role, cls, &error_)) return;
    }
  }

  std::unique_ptr<ScratchCluster> cluster_;
  std::string error_;
  std::string pgpass_;
  std::map<std::string, std::string> passwords_;
};

// Skips nothing: a test that needs the server fails loudly when it could not be started.
// and starts it with no rounds.
#define REKENDO_NEED_SERVER()                                         \
  ASSERT_TRUE(::rekendo::classroom::testing::ClassServer::Get().ok()) \
      << ::rekendo::classroom::testing::ClassServer::Get().error();   \
  ::rekendo::classroom::testing::ClassServer::Get().Clear()

}  // namespace rekendo::classroom::testing
