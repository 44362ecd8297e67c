// rekendo-check run end to end: output lines and exit codes.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <string>

#include "checker_support.h"
#include "sjis.h"
#include "temp_files.h"

namespace rekendo {
namespace {

using testing::Quote;
using testing::ReadAll;
using testing::Sjis;
using testing::TempDir;
using testing::Tool;
using testing::ToolRun;

class CliTest : public ::testing::Test {
 protected:
  TempDir dir;
  const std::string clean = dir.Write("clean.mon", Sjis("問１\r\n１２\r\n"));
  const std::string faulty = dir.Write("faulty.mon", Sjis("問１\r\n1２\r\n"));
};

TEST_F(CliTest, CleanFileExitsZeroWithItsSummary) {
  const ToolRun run = Tool(Quote(clean));
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.output, clean + ": 問題 1 組（選択式 0）、指摘 0 件\n");
}

TEST_F(CliTest, FindingsArePrintedWithFileAndLineAndExitOne) {
  const ToolRun run = Tool(Quote(faulty));
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.output, faulty +
                            ":2: 答え「1２」の「1」はキーパッドで入力できません（「１」を使ってく"
                            "ださい）\n" +
                            faulty + ": 問題 1 組（選択式 0）、指摘 1 件\n");
  // --kind overrides the extension: read as a judgement file it has too few lines instead.
  const ToolRun judged = Tool("--kind judgement " + Quote(faulty));
  EXPECT_EQ(judged.status, 1);
  EXPECT_NE(judged.output.find(faulty + ":2: 判定文が 2 行しかありません"), std::string::npos);
}

TEST_F(CliTest, UsageAndReadingErrorsExitTwo) {
  EXPECT_EQ(Tool("").status, 2);
  EXPECT_EQ(Tool("--frobnicate " + Quote(clean)).status, 2);
  EXPECT_EQ(Tool("--kind quiz " + Quote(clean)).status, 2);
  EXPECT_EQ(Tool(Quote(dir.Write("notes.doc", "x"))).status, 2);
  EXPECT_EQ(Tool("--fix " + Quote(faulty)).status, 2);
  EXPECT_EQ(Tool("-o x.mon " + Quote(faulty)).status, 2);
  // An error outweighs findings in another file.
  const ToolRun missing = Tool(Quote(faulty) + " " + Quote(dir.Path("missing.mon")));
  EXPECT_EQ(missing.status, 2);
  EXPECT_NE(missing.output.find("ファイルが見つかりません"), std::string::npos);
  EXPECT_EQ(Tool("--help").status, 0);
}

TEST_F(CliTest, FixWritesACleanCopyAndNeverTheOriginal) {
  const std::string before = ReadAll(faulty);
  const std::string out = dir.Path("fixed.mon");
  const ToolRun run = Tool("--fix -o " + Quote(out) + " " + Quote(faulty));
  EXPECT_EQ(run.status, 0) << run.output;
  EXPECT_EQ(ReadAll(out), Sjis("問１\r\n１２\r\n"));
  EXPECT_EQ(ReadAll(faulty), before);
  EXPECT_NE(run.output.find(out + ": 問題 1 組（選択式 0）、指摘 0 件"), std::string::npos);

  // Writing over the original needs --in-place.
  EXPECT_EQ(Tool("--fix -o " + Quote(faulty) + " " + Quote(faulty)).status, 2);
  EXPECT_EQ(ReadAll(faulty), before);

  // What --fix cannot repair leaves the exit code at 1.
  const std::string starred = dir.Write("starred.mon", "q\r\n3*4\r\n");
  EXPECT_EQ(Tool("--fix --in-place " + Quote(starred)).status, 1);
  EXPECT_EQ(ReadAll(starred + ".bak"), "q\r\n3*4\r\n");
}

}  // namespace
}  // namespace rekendo
