// rekendo-schedule run end to end: the documented example, and exit status 2 at a bad line.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <string>

#include "temp_files.h"

namespace rekendo {
namespace {

struct ScheduleRun {
  int status;
  std::string out;
};

// Runs rekendo-schedule with `arguments` and `input` on standard input.
ScheduleRun Schedule(const std::string& arguments, const std::string& input, bool with_stderr = false) {
  testing::TempDir dir;
  const std::string in = dir.Write("events.csv", input);
  const std::string command = std::string("'") + REKENDO_SCHEDULE_PATH + "' " + arguments +
                              " <'" + in + "'" + (with_stderr ? " 2>&1" : " 2>/dev/null");
  FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) return {-1, {}};
  std::string out;
  char buffer[4096];
  for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, got);
  const int status = ::pclose(pipe);
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, out};
}

// The example of the README and the manual page; the figures are those of schedule_test.cpp.
TEST(ScheduleCliTest, PrintsTheStateAfterEachEvent) {
  const ScheduleRun run = Schedule("",
                           "A,2026-12-01T08:30:00Z,3\r\n"
                           "B,2026-12-01T09:00:00Z,1\n"
                           "\n"
                           "A,2026-12-03T08:30:00Z,3\n"
                           "A,2026-12-14T08:30:00Z,1\n");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out,
            "A,2026-12-01T08:30:00Z,3,2.306500,2.118104,2\n"
            "B,2026-12-01T09:00:00Z,1,0.212000,6.413300,1\n"
            "A,2026-12-03T08:30:00Z,3,10.964332,2.111214,11\n"
            "A,2026-12-14T08:30:00Z,1,1.538337,7.392238,2\n");
  EXPECT_EQ(Schedule("--retention 0.8", "A,2026-12-01T08:30:00Z,3\n").out,
            "A,2026-12-01T08:30:00Z,3,2.306500,2.118104,8\n");
}

TEST(ScheduleCliTest, StopsAtTheFirstBadLineWithStatusTwo) {
  const ScheduleRun bad = Schedule("", "A,2026-12-01T08:30:00Z,3\nA,2026-12-02T08:30:00Z,5\nB,2026-12-01T08:30:00Z,3\n",
                           true);
  EXPECT_EQ(bad.status, 2);
  EXPECT_EQ(bad.out,
            "A,2026-12-01T08:30:00Z,3,2.306500,2.118104,2\n"
            "rekendo-schedule: 標準入力:2: GRADE は 1、2、3、4 のどれかです: 5\n");
  const ScheduleRun backwards =
      Schedule("", "A,2026-12-02T08:30:00Z,3\nA,2026-12-01T08:30:00Z,3\n", true);
  EXPECT_EQ(backwards.status, 2);
  EXPECT_NE(backwards.out.find("標準入力:2: "), std::string::npos) << backwards.out;
  for (const char* line : {"A,2026-02-30T08:30:00Z,3", "A,2026-12-01 08:30:00,3", ",2026-12-01T08:30:00Z,3",
                           "A,2026-12-01T08:30:00Z", "A,2026-12-01T08:30:00Z,3,x"}) {
    EXPECT_EQ(Schedule("", std::string(line) + "\n").status, 2) << line;
  }
  EXPECT_EQ(Schedule("--retention 0.99", "").status, 2);
  EXPECT_EQ(Schedule("--version", "").out, "rekendo-schedule " REKENDO_VERSION "\n");
}

}  // namespace
}  // namespace rekendo
