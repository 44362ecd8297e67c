#include "scratch_cluster.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <pwd.h>
#include <sys/socket.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <algorithm>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <vector>

namespace rekendo::classroom::testing {

namespace {

namespace fs = std::filesystem;

constexpr const char* kOwner = "postgres";  // who runs the server when we are root

bool IsRoot() { return ::geteuid() == 0; }

int FreeTcpPort() {
  int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  if (fd < 0) return 0;
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  int port = 0;
  if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
      ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
    port = ntohs(address.sin_port);
  }
  ::close(fd);
  return port;
}

bool ChownToOwner(const std::string& path) {
  if (!IsRoot()) return true;
  const passwd* owner = ::getpwnam(kOwner);
  return owner && ::chown(path.c_str(), owner->pw_uid, owner->pw_gid) == 0;
}

bool RunProcess(const QString& program, const QStringList& arguments, std::string* output,
                std::string* error, const QProcessEnvironment& environment) {
  QProcess process;
  process.setProcessEnvironment(environment);
  process.setProcessChannelMode(QProcess::MergedChannels);
  process.start(program, arguments);
  if (!process.waitForStarted(10000)) {
    *error = "cannot start " + program.toStdString() + ": " + process.errorString().toStdString();
    return false;
  }
  process.closeWriteChannel();
  process.waitForFinished(120000);
  const std::string text = process.readAll().toStdString();
  if (output) *output = text;
  if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
    *error = program.toStdString() + " " + arguments.join(' ').toStdString() + " failed: " + text;
    return false;
  }
  return true;
}

void WriteFile(const std::string& path, const std::string& text, bool append = false) {
  std::ofstream out(path, append ? std::ios::app : std::ios::trunc);
  out << text;
}

}  // namespace

std::optional<std::string> ScratchCluster::FindBinDir() {
  if (const char* dir = std::getenv("PG_BIN_DIR"); dir && *dir) return std::string(dir);
  std::error_code ec;
  int best = -1;
  std::string best_dir;
  for (const auto& entry : fs::directory_iterator("/usr/lib/postgresql", ec)) {
    const std::string name = entry.path().filename().string();
    char* end = nullptr;
    const long version = std::strtol(name.c_str(), &end, 10);
    if (end == name.c_str() || *end != '\0') continue;
    const fs::path bin = entry.path() / "bin";
    if (fs::exists(bin / "initdb") && fs::exists(bin / "pg_ctl") && version > best) {
      best = static_cast<int>(version);
      best_dir = bin.string();
    }
  }
  if (best < 0) return std::nullopt;
  return best_dir;
}

ScratchCluster::ScratchCluster(ScratchClusterOptions options) : options_(options) {
  bin_dir_ = FindBinDir().value_or("");
  // Under root the folder must be reachable by the server's user: /tmp is, whatever TMPDIR
  // says.
  const char* tmp = std::getenv("TMPDIR");
  std::string base = (!IsRoot() && tmp && *tmp) ? tmp : "/tmp";
  std::string pattern = base + "/rekendo-pg-XXXXXX";
  if (::mkdtemp(pattern.data())) {
    folder_ = pattern;
    ::chmod(folder_.c_str(), 0700);
    ChownToOwner(folder_);
    data_dir_ = folder_ + "/data";
    socket_dir_ = folder_;
    StartWatcher();
  }
}

ScratchCluster::~ScratchCluster() {
  if (running_) {
    std::string ignored;
    Stop(true, &ignored);
  }
  if (!folder_.empty()) {
    std::error_code ec;
    fs::remove_all(folder_, ec);
  }
  if (watcher_pipe_ >= 0) ::close(watcher_pipe_);
  if (watcher_pid_ > 0) ::waitpid(watcher_pid_, nullptr, 0);
}

void ScratchCluster::StartWatcher() {
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC) != 0) return;
  // Everything the child needs is made before fork: after it only async-signal-safe calls.
  const std::string pg_ctl = bin_dir_ + "/pg_ctl";
  std::vector<std::string> stop = {pg_ctl, "stop", "-D", data_dir_, "-m", "immediate", "-s"};
  if (IsRoot()) stop.insert(stop.begin(), {"/usr/sbin/runuser", "-u", kOwner, "--"});
  std::vector<char*> stop_argv;
  for (auto& s : stop) stop_argv.push_back(s.data());
  stop_argv.push_back(nullptr);
  std::string rm = "/bin/rm", rf = "-rf", folder = folder_;
  char* rm_argv[] = {rm.data(), rf.data(), folder.data(), nullptr};
  const pid_t pid = ::fork();
  if (pid < 0) {
    ::close(fds[0]);
    ::close(fds[1]);
    return;
  }
  if (pid == 0) {
    const int null = ::open("/dev/null", O_RDWR);
    ::dup2(null, 0);
    ::dup2(null, 1);
    ::dup2(null, 2);
    for (int fd = 3; fd < 1024; ++fd) {
      if (fd != fds[0]) ::close(fd);
    }
    char byte;
    while (::read(fds[0], &byte, 1) > 0) {
    }
    const pid_t stopper = ::fork();
    if (stopper == 0) {
      ::execv(stop_argv[0], stop_argv.data());
      ::_exit(127);
    }
    if (stopper > 0) ::waitpid(stopper, nullptr, 0);
    ::execv(rm_argv[0], rm_argv);
    ::_exit(127);
  }
  ::close(fds[0]);
  watcher_pipe_ = fds[1];
  watcher_pid_ = pid;
}

bool ScratchCluster::RunAsOwner(const QString& program, const QStringList& arguments,
                                std::string* error) const {
  if (IsRoot()) {
    QStringList all = {QStringLiteral("-u"), QString::fromUtf8(kOwner), QStringLiteral("--"),
                       program};
    all += arguments;
    return RunProcess(QStringLiteral("/usr/sbin/runuser"), all, nullptr, error,
                      QProcessEnvironment::systemEnvironment());
  }
  return RunProcess(program, arguments, nullptr, error, QProcessEnvironment::systemEnvironment());
}

bool ScratchCluster::MakeCertificates(std::string* error) {
  const std::string d = folder_ + "/tls";
  fs::create_directories(d);
  WriteFile(d + "/server.ext", "subjectAltName=DNS:localhost,IP:127.0.0.1\n");
  const QString dir = QString::fromStdString(d);
  const QString openssl = QStringLiteral("openssl");
  const auto run = [&](const QStringList& arguments) {
    return RunProcess(openssl, arguments, nullptr, error, QProcessEnvironment::systemEnvironment());
  };
  const QStringList ec = {QStringLiteral("-newkey"), QStringLiteral("ec"),
                          QStringLiteral("-pkeyopt"),
                          QStringLiteral("ec_paramgen_curve:prime256v1"), QStringLiteral("-nodes")};
  if (!run(QStringList{"req", "-x509"} + ec +
           QStringList{"-keyout", dir + "/ca.key", "-out", dir + "/ca.crt", "-days", "2", "-subj",
                       "/CN=Rekendo test CA", "-addext", "basicConstraints=critical,CA:TRUE",
                       "-addext", "keyUsage=critical,keyCertSign,cRLSign"}) ||
      !run(QStringList{"req"} + ec +
           QStringList{"-keyout", dir + "/server.key", "-out", dir + "/server.csr", "-subj",
                       "/CN=localhost"}) ||
      !run({"x509", "-req", "-in", dir + "/server.csr", "-CA", dir + "/ca.crt", "-CAkey",
            dir + "/ca.key", "-CAcreateserial", "-out", dir + "/server.crt", "-days", "2",
            "-extfile", dir + "/server.ext"})) {
    return false;
  }
  ca_cert_ = d + "/ca.crt";
  ::chmod((d + "/server.key").c_str(), 0600);
  for (const char* name : {"", "/server.key", "/server.crt", "/ca.crt"}) ChownToOwner(d + name);
  ::chmod(d.c_str(), 0755);
  ::chmod(ca_cert_.c_str(), 0644);
  return true;
}

std::string ScratchCluster::Template(std::string* error) const {
  // One per user of the server binaries and per server version, made under a lock by the
  // first program that needs it and renamed into place whole; never started.
  const std::string key = std::to_string(::geteuid()) + "-" +
                          std::to_string(std::hash<std::string>{}(bin_dir_) % 1000000007);
  const std::string dir = "/tmp/rekendo-pg-template-" + key;
  const int lock = ::open((dir + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (lock < 0 || ::flock(lock, LOCK_EX) != 0) {
    *error = "cannot lock " + dir + ".lock";
    if (lock >= 0) ::close(lock);
    return {};
  }
  std::string result = dir;
  struct stat info {};
  const passwd* owner = IsRoot() ? ::getpwnam(kOwner) : nullptr;
  const uid_t owner_uid = owner ? owner->pw_uid : ::geteuid();
  const bool usable = ::lstat(dir.c_str(), &info) == 0 && S_ISDIR(info.st_mode) &&
                      info.st_uid == owner_uid && fs::exists(dir + "/PG_VERSION");
  if (!usable) {
    std::error_code ec;
    fs::remove_all(dir, ec);
    std::string building = dir + ".building-XXXXXX";
    if (!::mkdtemp(building.data())) {
      *error = "cannot make " + building;
      result.clear();
    } else {
      ::chmod(building.c_str(), 0700);
      ChownToOwner(building);
      const QString bin = QString::fromStdString(bin_dir_);
      if (!RunAsOwner(bin + "/initdb",
                      {"-D", QString::fromStdString(building + "/data"), "-U", "rekendo_admin",
                       "-A", "trust", "-E", "UTF8", "--locale=C", "--no-sync",
                       "--no-instructions"},
                      error) ||
          ::rename((building + "/data").c_str(), dir.c_str()) != 0) {
        if (error->empty()) *error = "cannot rename the template into place";
        result.clear();
      }
      fs::remove_all(building, ec);
    }
  }
  ::flock(lock, LOCK_UN);
  ::close(lock);
  return result;
}

bool ScratchCluster::Init(std::string* error) {
  if (folder_.empty()) {
    *error = "cannot make a temporary folder";
    return false;
  }
  if (bin_dir_.empty()) {
    *error = "no PostgreSQL server found under /usr/lib/postgresql (Debian package postgresql)";
    return false;
  }
  // initdb takes seconds; a copy of a cluster it made once takes a tenth of one.
  const std::string template_dir = Template(error);
  if (template_dir.empty()) return false;
  if (!RunAsOwner(QStringLiteral("/bin/cp"),
                  {"-a", QString::fromStdString(template_dir), QString::fromStdString(data_dir_)},
                  error)) {
    return false;
  }
  if (options_.tcp || options_.tls) port_ = FreeTcpPort();
  if (options_.tls && !MakeCertificates(error)) return false;
  std::string conf = "\n# rekendo scratch cluster\n";
  conf +=
      "listen_addresses = '" + std::string(options_.tcp || options_.tls ? "127.0.0.1" : "") + "'\n";
  conf += "port = " + std::to_string(port_) + "\n";
  conf += "unix_socket_directories = '" + socket_dir_ + "'\n";
  conf += "max_connections = " + std::to_string(options_.max_connections) + "\n";
  conf += std::string("fsync = ") + (options_.durable ? "on" : "off") + "\n";
  if (!options_.durable) conf += "full_page_writes = off\n";
  conf += "password_encryption = 'scram-sha-256'\n";
  if (options_.tls) {
    conf += "ssl = on\nssl_cert_file = '" + folder_ + "/tls/server.crt'\n";
    conf += "ssl_key_file = '" + folder_ + "/tls/server.key'\n";
  }
  WriteFile(data_dir_ + "/postgresql.conf", conf, true);
  std::string hba =
      "local all rekendo_admin trust\n"
      "local all all scram-sha-256\n";
  if (options_.tls) {
    hba += "hostssl all all 127.0.0.1/32 scram-sha-256\n";
  } else if (options_.tcp) {
    hba += "host all all 127.0.0.1/32 scram-sha-256\n";
  }
  WriteFile(data_dir_ + "/pg_hba.conf", hba);
  initialised_ = true;
  return true;
}

bool ScratchCluster::Start(std::string* error) {
  if (running_) return true;
  const bool first = !initialised_;
  if (first && !Init(error)) return false;
  const QString bin = QString::fromStdString(bin_dir_);
  // A free port asked of the kernel can be taken by another test before the server binds it:
  // then the first start tries again on another one (later starts keep theirs, which the
  // test's connection strings name).
  for (int attempt = 1;; ++attempt) {
    const std::string log_path = folder_ + "/server.log";
    std::error_code ignored;
    fs::remove(log_path, ignored);
    std::string failure;
    if (RunAsOwner(bin + "/pg_ctl",
                   {"start", "-D", QString::fromStdString(data_dir_), "-w", "-t", "60", "-s",
                    "-l", QString::fromStdString(log_path)},
                   &failure)) {
      break;
    }
    std::ifstream log(log_path);
    const std::string said(std::istreambuf_iterator<char>(log), {});
    const bool port_taken = said.find("could not bind") != std::string::npos ||
                            said.find("already in use") != std::string::npos;
    if (!(first && (options_.tcp || options_.tls) && port_taken && attempt < 3)) {
      *error = failure + said;
      return false;
    }
    port_ = FreeTcpPort();
    WriteFile(data_dir_ + "/postgresql.conf", "port = " + std::to_string(port_) + "\n", true);
  }
  running_ = true;
  if (first) {
    std::string ignored;
    if (!RunTool("createdb",
                 {"-h", QString::fromStdString(socket_dir_), "-p", QString::number(port_), "-U",
                  "rekendo_admin", "rekendo"},
                 error)) {
      return false;
    }
  }
  return true;
}

bool ScratchCluster::Stop(bool immediate, std::string* error) {
  if (!running_) return true;
  const QString bin = QString::fromStdString(bin_dir_);
  const bool ok = RunAsOwner(bin + "/pg_ctl",
                             {"stop", "-D", QString::fromStdString(data_dir_), "-w", "-s", "-m",
                              immediate ? "immediate" : "fast"},
                             error);
  if (ok) running_ = false;
  return ok;
}

std::string ScratchCluster::AdminConnInfo() const { return SocketConnInfo("rekendo_admin"); }

std::string ScratchCluster::SocketConnInfo(const std::string& user) const {
  return "host='" + socket_dir_ + "' port=" + std::to_string(port_) + " dbname=rekendo user='" +
         user + "'";
}

std::string ScratchCluster::TcpConnInfo(const std::string& user) const {
  return "host=localhost hostaddr=127.0.0.1 port=" + std::to_string(port_) +
         " dbname=rekendo user='" + user + "'";
}

std::optional<std::string> ScratchCluster::RunTool(const std::string& tool,
                                                   const QStringList& arguments, std::string* error,
                                                   const QProcessEnvironment& environment) const {
  std::string output;
  if (!RunProcess(QString::fromStdString(bin_dir_ + "/" + tool), arguments, &output, error,
                  environment)) {
    return std::nullopt;
  }
  return output;
}

std::optional<std::string> ScratchCluster::Psql(const std::string& user,
                                                const std::string& password, const std::string& sql,
                                                std::string* error) const {
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.remove(QStringLiteral("PGPASSFILE"));
  if (!password.empty())
    environment.insert(QStringLiteral("PGPASSWORD"), QString::fromStdString(password));
  return RunTool("psql",
                 {"-X", "-A", "-t", "-q", "-v", "ON_ERROR_STOP=1", "-h",
                  QString::fromStdString(socket_dir_), "-p", QString::number(port_), "-U",
                  QString::fromStdString(user.empty() ? "rekendo_admin" : user), "-d", "rekendo",
                  "-c", QString::fromStdString(sql)},
                 error, environment);
}

}  // namespace rekendo::classroom::testing
