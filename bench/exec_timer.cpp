// rekendo-exec-timer PROGRAM [ARGS...]: runs the program once and prints
//   <ms from exec to "ready"> <ms from exec to exit> <peak RSS KiB at ready>
//   <private RSS KiB at ready> <file-backed RSS KiB at ready> <peak RSS KiB of the whole run>
// The program says when it is ready on its standard output (see ready_signal.h); the clock
// is the same on both sides of the exec.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "ready_signal.h"

extern char** environ;

namespace {

// Closes a descriptor when it goes.
class Fd {
 public:
  explicit Fd(int fd = -1) : fd_(fd) {}
  ~Fd() { Reset(); }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }
  void Reset() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
  }

 private:
  int fd_;
};

constexpr int kTimeLimitMs = 60'000;

// Everything the program writes until it closes its output (it ends), or nothing more once
// `time_limit_ms` has passed; `finished` tells which.
std::string ReadAll(int fd, int time_limit_ms, bool& finished) {
  std::string out;
  char buffer[4096];
  const std::int64_t deadline =
      rekendo::bench::MonotonicNanoseconds() + std::int64_t{time_limit_ms} * 1'000'000;
  for (;;) {
    const std::int64_t left = deadline - rekendo::bench::MonotonicNanoseconds();
    pollfd wait{fd, POLLIN, 0};
    const int ready = left > 0 ? ::poll(&wait, 1, static_cast<int>(left / 1'000'000) + 1) : 0;
    if (ready == 0) {
      finished = false;
      return out;
    }
    if (ready < 0) {
      if (errno == EINTR) continue;
      finished = false;
      return out;
    }
    const ssize_t got = ::read(fd, buffer, sizeof buffer);
    if (got > 0) {
      out.append(buffer, static_cast<std::size_t>(got));
    } else if (got == 0 || errno != EINTR) {
      finished = true;
      return out;
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fputs("usage: rekendo-exec-timer PROGRAM [ARGS...]\n", stderr);
    return 2;
  }
  int ends[2];
  if (::pipe2(ends, O_CLOEXEC) != 0) {
    std::perror("rekendo-exec-timer: pipe");
    return 1;
  }
  Fd read_end(ends[0]);
  Fd write_end(ends[1]);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, write_end.get(), STDOUT_FILENO);

  const std::int64_t started = rekendo::bench::MonotonicNanoseconds();
  pid_t child = 0;
  const int spawned = ::posix_spawnp(&child, argv[1], &actions, nullptr, argv + 1, environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) {
    std::fprintf(stderr, "rekendo-exec-timer: cannot start %s: %s\n", argv[1],
                 std::strerror(spawned));
    return 1;
  }
  write_end.Reset();
  bool finished = false;
  const std::string output = ReadAll(read_end.get(), kTimeLimitMs, finished);
  if (!finished) {
    // A probe that never gets ready must not hold up bench/run.
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    std::fprintf(stderr, "rekendo-exec-timer: %s did not end within %d s\n", argv[1],
                 kTimeLimitMs / 1000);
    return 1;
  }

  int status = 0;
  rusage usage{};
  while (::wait4(child, &status, 0, &usage) < 0 && errno == EINTR) {
  }
  const std::int64_t ended = rekendo::bench::MonotonicNanoseconds();
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    std::fprintf(stderr, "rekendo-exec-timer: %s failed (status %d)\n", argv[1], status);
    return 1;
  }

  long long ready = 0;
  long ready_rss = 0;
  long anon = 0;
  long file = 0;
  const auto at = output.find("ready ");
  if (at == std::string::npos || std::sscanf(output.c_str() + at, "ready %lld %ld %ld %ld", &ready,
                                             &ready_rss, &anon, &file) != 4) {
    std::fprintf(stderr, "rekendo-exec-timer: %s never said it was ready\n", argv[1]);
    return 1;
  }
  std::printf("%.3f %.3f %ld %ld %ld %ld\n", static_cast<double>(ready - started) / 1e6,
              static_cast<double>(ended - started) / 1e6, ready_rss, anon, file, usage.ru_maxrss);
  return 0;
}
