// The class database's three budgets, on a scratch server of its own (fsync on, as a school
// server runs): one round uploaded, thirty learner programs sending a hundred rounds each at
// once, and a teacher's class table over thirty learners with a thousand rounds each.
// Prints one "name value" line per figure, which bench/run reads.
#include <sys/stat.h>

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QProcess>
#include <QSqlError>
#include <QSqlQuery>
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "class_admin.h"
#include "class_database.h"
#include "class_schema.h"
#include "sample_rounds.h"
#include "scratch_cluster.h"

namespace {

using namespace rekendo::classroom;

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

double Percentile(std::vector<double> values, double p) {
  std::sort(values.begin(), values.end());
  return values[std::min(values.size() - 1, static_cast<std::size_t>(p * values.size()))];
}

int Fail(const std::string& what) {
  std::fprintf(stderr, "class bench: %s\n", what.c_str());
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  testing::ScratchClusterOptions options;
  options.durable = true;
  testing::ScratchCluster cluster(options);
  std::string error;
  if (!cluster.Start(&error)) return Fail(error);
  const std::string pgpass = cluster.folder() + "/pgpass";
  std::ofstream(pgpass).close();
  ::chmod(pgpass.c_str(), 0600);
  ClassDatabase admin(cluster.AdminConnInfo());
  if (auto s = admin.Open(); !s) return Fail(s.error().Describe());
  if (auto v = InitSchema(admin.Connection()); !v) return Fail(v.error().Describe());
  for (const auto& [name, teacher] :
       {std::pair{"3A", "teacher_3a"}, std::pair{"3B", "teacher_3b"}}) {
    if (auto added = AddClass(admin, name, teacher); !added) return Fail(added.error().Describe());
  }
  const auto add_learner = [&](const std::string& role, const std::string& class_name) -> bool {
    auto added = AddLearner(admin, role, "", class_name, true);
    if (!added) return false;
    std::ofstream(pgpass, std::ios::app) << "*:*:*:" << role << ":" << added->password << "\n";
    return true;
  };
  const auto conninfo = [&](const std::string& role) {
    return cluster.SocketConnInfo(role) + " passfile='" + pgpass + "'";
  };
  if (!add_learner("solo", "3B")) return Fail("cannot add a learner");
  std::vector<std::string> learners;
  for (int i = 1; i <= 30; ++i) {
    learners.push_back("load" + std::to_string(i));
    if (!add_learner(learners.back(), "3A")) return Fail("cannot add a learner");
  }

  // 1. One round of ten questions, on a connection kept open as the worker keeps it.
  {
    ClassDatabase db(conninfo("solo"));
    if (auto s = db.Open(); !s) return Fail(s.error().Describe());
    std::vector<double> ms;
    for (int i = 0; i < 220; ++i) {
      const ClassRound round = testing::SampleRound("solo", i);
      QElapsedTimer clock;
      clock.start();
      if (auto s = db.Upload(round); !s) return Fail(s.error().Describe());
      if (i >= 20) ms.push_back(clock.nsecsElapsed() / 1e6);  // the first ones warm up
    }
    std::printf("upload_one_round_median_ms %.3f\n", Median(ms));
    std::printf("upload_one_round_p99_ms %.3f\n", Percentile(ms, 0.99));
    // The same round again: what a retry costs.
    std::vector<double> again;
    for (int i = 20; i < 120; ++i) {
      QElapsedTimer clock;
      clock.start();
      if (auto s = db.Upload(testing::SampleRound("solo", i)); !s)
        return Fail(s.error().Describe());
      again.push_back(clock.nsecsElapsed() / 1e6);
    }
    std::printf("upload_again_median_ms %.3f\n", Median(again));
  }

  // 2. Thirty learner programs, a hundred rounds each, all at once.
  {
    QElapsedTimer clock;
    clock.start();
    std::vector<std::unique_ptr<QProcess>> programs;
    for (const std::string& learner : learners) {
      auto program = std::make_unique<QProcess>();
      program->start(REKENDO_UPLOAD_PROBE_PATH,
                     {"--db", QString::fromStdString(conninfo(learner)), "--learner",
                      QString::fromStdString(learner), "--rounds", "100", "--timeout", "300"});
      programs.push_back(std::move(program));
    }
    for (auto& program : programs) {
      if (!program->waitForFinished(360000) || program->exitCode() != 0) {
        return Fail("an upload program failed: " + program->readAllStandardError().toStdString());
      }
    }
    std::printf("upload_30x100_seconds %.3f\n", clock.elapsed() / 1000.0);
    QSqlQuery count(admin.Connection());
    if (!count.exec(
            QStringLiteral("SELECT count(*) FROM rekendo.rounds WHERE learner LIKE 'load%'")) ||
        !count.next() || count.value(0).toInt() != 3000) {
      return Fail("not every round of the thirty arrived");
    }
  }

  // 3. The class table: each of the thirty brought to a thousand rounds, read by the teacher.
  {
    QSqlQuery fill(admin.Connection());
    if (!fill.exec(QStringLiteral(
            "INSERT INTO rekendo.rounds (id, learner, set_hash, file_name, pair_count, started_at, "
            "ended_at, score, judgement_index, ending) "
            "SELECT gen_random_uuid(), l.role_name, repeat('ab', 32), '暗算.mon', 120, "
            "  now() - make_interval(hours => n), now() - make_interval(hours => n) + interval "
            "'5 minutes', (n * 7) % 11 * 10, (n * 7) % 11, "
            "  CASE WHEN n % 10 = 0 THEN 'unfinished' ELSE 'finished' END "
            "FROM rekendo.learners l CROSS JOIN generate_series(1, 900) AS n "
            "WHERE l.role_name LIKE 'load%'")) ||
        !fill.exec(QStringLiteral("ANALYZE rekendo.rounds"))) {
      return Fail(fill.lastError().text().toStdString());
    }
    std::string ignored;
    cluster.Psql("", "", "ALTER ROLE teacher_3a PASSWORD 'bench'", &ignored);
    ClassDatabase teacher(cluster.SocketConnInfo("teacher_3a") + " password=bench");
    std::vector<double> ms;
    const std::int64_t week_ago = QDateTime::currentMSecsSinceEpoch() - 7LL * 86'400'000;
    for (int i = 0; i < 25; ++i) {
      QElapsedTimer clock;
      clock.start();
      auto rows = ClassReport(teacher, week_ago);
      if (!rows) return Fail(rows.error().Describe());
      if (rows->size() != 30)
        return Fail("the teacher sees " + std::to_string(rows->size()) + " learners");
      if (i >= 5) ms.push_back(clock.nsecsElapsed() / 1e6);
    }
    std::printf("class_view_median_ms %.3f\n", Median(ms));
  }
  return 0;
}
