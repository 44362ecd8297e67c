// A learner's program that only uploads: made-up rounds in a MemoryPendingRounds, sent by a
// ClassUploader on its thread, until none wait. The load test and the benchmark start
// thirty of these at once; the exactly-once test kills one right after a commit.
//
//   rekendo-class-upload-probe --db CONNINFO --learner NAME --rounds N [--questions Q]
//       [--first I] [--fast-retry] [--die-after-sent K] [--timeout S]
//
// Prints "sent N" and exits 0 when every round was taken; 1 when rounds were given up or
// the time ran out; killed by SIGKILL from inside MarkSent with --die-after-sent: after the
// server committed the K-th round and before the queue heard of it.
#include <signal.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "lsan_suppressions.h"
#include "memory_pending_rounds.h"
#include "sample_rounds.h"
#include "upload_worker.h"

namespace {

using rekendo::classroom::MemoryPendingRounds;

class DyingQueue : public MemoryPendingRounds {
 public:
  explicit DyingQueue(int die_after) : die_after_(die_after) {}
  rekendo::Status MarkSent(const std::string& round_id) override {
    if (die_after_ > 0 && ++marks_ >= die_after_) ::kill(::getpid(), SIGKILL);
    return MemoryPendingRounds::MarkSent(round_id);
  }

 private:
  int die_after_;
  int marks_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  std::string db, learner;
  int rounds = 1, questions = 10, first = 0, die_after = 0, timeout_s = 120;
  bool fast_retry = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const auto next = [&]() -> std::string {
      if (i + 1 >= argc) {
        std::fprintf(stderr, "%s needs a value\n", arg.c_str());
        std::exit(2);
      }
      return argv[++i];
    };
    if (arg == "--db")
      db = next();
    else if (arg == "--learner")
      learner = next();
    else if (arg == "--rounds")
      rounds = std::stoi(next());
    else if (arg == "--questions")
      questions = std::stoi(next());
    else if (arg == "--first")
      first = std::stoi(next());
    else if (arg == "--die-after-sent")
      die_after = std::stoi(next());
    else if (arg == "--timeout")
      timeout_s = std::stoi(next());
    else if (arg == "--fast-retry")
      fast_retry = true;
    else {
      std::fprintf(stderr, "unknown argument %s\n", arg.c_str());
      return 2;
    }
  }
  auto queue = std::make_shared<DyingQueue>(die_after);
  for (int n = first; n < first + rounds; ++n) {
    queue->Add(rekendo::classroom::testing::SampleRound(learner, n, questions));
  }
  rekendo::classroom::UploadOptions options;
  if (fast_retry) {
    options.first_retry = std::chrono::milliseconds(100);
    options.max_retry = std::chrono::milliseconds(1000);
  }
  rekendo::classroom::ClassUploader uploader(db, queue, options);
  QElapsedTimer clock;
  clock.start();
  QTimer poll;
  int status = 1;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    const int waiting = *queue->WaitingCount();
    if (waiting == 0 || clock.elapsed() > timeout_s * 1000LL) {
      status = (waiting == 0 && queue->GivenUp().empty()) ? 0 : 1;
      app.quit();
    }
  });
  poll.start(10);
  uploader.Start();
  app.exec();
  std::printf("sent %d in %lld ms\n", queue->SentCount(), static_cast<long long>(clock.elapsed()));
  if (status != 0) {
    const auto failure = queue->LastFailure();
    std::fprintf(stderr, "not all sent: %s\n", failure ? failure->Describe().c_str() : "time out");
  }
  return status;
}
