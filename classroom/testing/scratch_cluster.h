// A throw-away PostgreSQL server for the class tests and benchmarks: initdb into a fresh
// temporary folder, a Unix socket there (and 127.0.0.1 on a free port when TCP or TLS is
// asked for), pg_ctl to start and stop it. Run as root, the server runs as the unprivileged
// `postgres` user (runuser). The superuser rekendo_admin enters over the socket without a
// password; every other role needs its SCRAM password. The server is stopped and the folder
// removed by the destructor, and also when the process dies any other way: a small watcher
// process does it when our end of a pipe closes. initdb runs once per machine and user: its
// cluster is kept in /tmp/rekendo-pg-template-* and copied for each new server.
#pragma once

#include <QProcessEnvironment>
#include <QStringList>
#include <optional>
#include <string>

namespace rekendo::classroom::testing {

struct ScratchClusterOptions {
  bool tcp = false;      // also listen on 127.0.0.1
  bool tls = false;      // TCP only over TLS, with a CA and a server certificate for "localhost"
  bool durable = false;  // fsync on, as a real server (benchmarks); off for tests
  int max_connections = 100;
};

class ScratchCluster {
 public:
  // The newest /usr/lib/postgresql/<version>/bin holding initdb and pg_ctl (or $PG_BIN_DIR).
  static std::optional<std::string> FindBinDir();

  explicit ScratchCluster(ScratchClusterOptions options = {});
  ~ScratchCluster();
  ScratchCluster(const ScratchCluster&) = delete;
  ScratchCluster& operator=(const ScratchCluster&) = delete;

  // Makes the cluster on the first call and the database "rekendo", then starts the server.
  // False with `error` set when anything failed.
  bool Start(std::string* error);
  // pg_ctl stop: -m fast, or -m immediate (as a crash: no shutdown checkpoint).
  bool Stop(bool immediate, std::string* error);
  bool running() const { return running_; }

  const std::string& folder() const { return folder_; }
  const std::string& socket_dir() const { return socket_dir_; }
  int port() const { return port_; }
  // libpq connection strings to the database "rekendo".
  std::string AdminConnInfo() const;
  std::string SocketConnInfo(const std::string& user) const;
  std::string TcpConnInfo(const std::string& user) const;  // host=localhost
  const std::string& ca_cert() const { return ca_cert_; }

  // Runs a program of the server's bin folder (psql, createdb …) as the caller; its output,
  // or nullopt with `error` set.
  std::optional<std::string> RunTool(
      const std::string& tool, const QStringList& arguments, std::string* error,
      const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment()) const;
  // psql -c SQL as `user` with `password` (empty: the admin, over the socket); the rows
  // as psql -At prints them.
  std::optional<std::string> Psql(const std::string& user, const std::string& password,
                                  const std::string& sql, std::string* error) const;

 private:
  bool Init(std::string* error);
  // The folder of a pristine cluster made by initdb, copied for each new one; empty on
  // failure.
  std::string Template(std::string* error) const;
  bool MakeCertificates(std::string* error);
  // Runs `program` as the cluster's owner (postgres when we are root).
  bool RunAsOwner(const QString& program, const QStringList& arguments, std::string* error) const;
  void StartWatcher();

  ScratchClusterOptions options_;
  std::string bin_dir_;
  std::string folder_;
  std::string data_dir_;
  std::string socket_dir_;
  std::string ca_cert_;
  int port_ = 5432;
  bool initialised_ = false;
  bool running_ = false;
  int watcher_pipe_ = -1;
  int watcher_pid_ = -1;
};

}  // namespace rekendo::classroom::testing
