// rekendo-schedule run end to end: the documented example, and exit status 2 at a bad line.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

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

namespace rekendo {
namespace {

std::vector<std::vector<std::string>> CsvLines(const std::string& text) {
  std::vector<std::vector<std::string>> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    std::vector<std::string> fields;
    std::istringstream cells(line);
    for (std::string cell; std::getline(cells, cell, ',');) fields.push_back(cell);
    lines.push_back(fields);
  }
  return lines;
}

std::string ReadWhole(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

// 300 random histories, four in ten reviews on the day of the one before (Hard among them),
// as the FSRS authors' TypeScript package computes them (tests/fsrs_reference says how they
// were made): stability and difficulty to 1e-4, intervals exactly.
TEST(ScheduleCliTest, AgreesWithTheReferenceImplementation) {
  const std::string folder = REKENDO_SOURCE_DIR "/tests/fsrs_reference/";
  const ScheduleRun run = Schedule("", ReadWhole(folder + "histories.csv"));
  ASSERT_EQ(run.status, 0);
  const auto ours = CsvLines(run.out);
  const auto expected = CsvLines(ReadWhole(folder + "expected.csv"));
  ASSERT_GT(expected.size(), 4000u);
  ASSERT_EQ(ours.size(), expected.size());
  int differing = 0;
  for (std::size_t i = 0; i < ours.size() && differing < 5; ++i) {
    ASSERT_EQ(ours[i].size(), 6u) << "line " << i + 1;
    const bool same = ours[i][0] == expected[i][0] && ours[i][1] == expected[i][1] &&
                      std::fabs(std::stod(ours[i][3]) - std::stod(expected[i][3])) <= 1e-4 &&
                      std::fabs(std::stod(ours[i][4]) - std::stod(expected[i][4])) <= 1e-4 &&
                      ours[i][5] == expected[i][5];
    if (!same) {
      ++differing;
      ADD_FAILURE() << "line " << i + 1 << ": ours " << ours[i][3] << ',' << ours[i][4] << ','
                    << ours[i][5] << ", reference " << expected[i][3] << ',' << expected[i][4]
                    << ',' << expected[i][5] << " (" << expected[i][0] << ' ' << expected[i][1]
                    << " grade " << expected[i][2] << ')';
    }
  }
}

}  // namespace
}  // namespace rekendo
