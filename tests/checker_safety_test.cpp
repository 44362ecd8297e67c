// --fix under faults: whatever goes wrong, the teacher's original bytes stay, nothing is left
// behind, and the exit status and message say what happened.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <set>
#include <string>
#include <thread>

#include "checker_support.h"
#include "fixer.h"
#include "sjis.h"
#include "temp_files.h"

namespace rekendo {
namespace {

using checker::CheckError;
using checker::FileKind;
using checker::FixResult;
using checker::FixSeams;
using testing::Quote;
using testing::ReadAll;
using testing::Sjis;
using testing::TempDir;
using testing::Tool;

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif
#else
constexpr bool kSanitized = false;
#endif

std::set<std::string> Names(const std::filesystem::path& folder) {
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    names.insert(entry.path().filename().string());
  }
  return names;
}

class SafetyTest : public ::testing::Test {
 protected:
  std::string Error(const std::variant<FixResult, CheckError>& result) {
    if (const auto* error = std::get_if<CheckError>(&result)) return error->message;
    ADD_FAILURE() << "the fix was expected to fail";
    return {};
  }
  // The original is as it was, and nothing else is in its folder.
  void ExpectUntouched(const std::string& bytes = "") {
    EXPECT_EQ(ReadAll(path), bytes.empty() ? original : bytes);
    EXPECT_EQ(Names(dir.path()), std::set<std::string>{"p.mon"});
  }

  TempDir dir;
  const std::string original = Sjis("問１\r\n1２\r\n");
  const std::string fixed = Sjis("問１\r\n１２\r\n");
  const std::string path = dir.Write("p.mon", original);
};

TEST_F(SafetyTest, BackupsAreNeverOverwrittenNorFollowed) {
  dir.Write("p.mon.bak", "an older backup");
  const std::string elsewhere = dir.Path("elsewhere");
  ASSERT_EQ(::symlink(elsewhere.c_str(), (path + ".bak.1").c_str()), 0);
  auto result = checker::FixFile(path, path, FileKind::kProblem, true);
  ASSERT_TRUE(std::holds_alternative<FixResult>(result));
  EXPECT_EQ(std::get<FixResult>(result).backup, path + ".bak.2");
  EXPECT_EQ(ReadAll(path + ".bak"), "an older backup");
  EXPECT_EQ(ReadAll(path + ".bak.2"), original);
  EXPECT_FALSE(std::filesystem::exists(elsewhere));
  EXPECT_EQ(ReadAll(path), fixed);

  // Named twice, a file is fixed once: no second backup of the corrected file.
  const std::string twice = dir.Write("twice.mon", original);
  const auto run = Tool("--fix --in-place " + Quote(twice) + " " + Quote(twice));
  EXPECT_EQ(run.status, 0) << run.output;
  EXPECT_NE(run.output.find("1 度だけ"), std::string::npos) << run.output;
  EXPECT_EQ(ReadAll(twice + ".bak"), original);
  EXPECT_FALSE(std::filesystem::exists(twice + ".bak.1"));
}

TEST_F(SafetyTest, ASymlinkInTheFilesPlaceIsFixedThroughToItsTarget) {
  const std::string link = dir.Path("link.mon");
  ASSERT_EQ(::symlink(path.c_str(), link.c_str()), 0);
  ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
  const auto run = Tool("--fix --in-place " + Quote(link));
  EXPECT_EQ(run.status, 0) << run.output;
  EXPECT_NE(run.output.find("シンボリックリンク"), std::string::npos) << run.output;
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_EQ(ReadAll(path), fixed);
  EXPECT_EQ(ReadAll(path + ".bak"), original);
  struct stat info {};
  ASSERT_EQ(::stat(path.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0640u) << "permissions are kept";
}

TEST_F(SafetyTest, AFailedWriteLeavesTheOriginalAndNothingElse) {
  for (const bool backup : {false, true}) {
    FixSeams seams;
    (backup ? seams.backup_fault : seams.output_fault).after_bytes = 3;
    const std::string message =
        Error(checker::FixFile(path, path, FileKind::kProblem, true, seams));
    EXPECT_NE(message.find("ディスクがいっぱいです"), std::string::npos) << message;
    EXPECT_NE(message.find("元のファイルはそのままです"), std::string::npos) << message;
    ExpectUntouched();
  }
  // -o writes through a temporary file too: a failure leaves no half-written OUT.
  FixSeams seams;
  seams.output_fault.after_bytes = 3;
  Error(checker::FixFile(path, dir.Path("out.mon"), FileKind::kProblem, false, seams));
  ExpectUntouched();
}

TEST_F(SafetyTest, AFileThatChangesBeforeItIsReplacedIsLeftAlone) {
  FixSeams seams;
  seams.before_replace = [&] { std::filesystem::rename(path, path + ".moved"); };
  EXPECT_NE(Error(checker::FixFile(path, path, FileKind::kProblem, true, seams)).find("変わりました"),
            std::string::npos);
  EXPECT_EQ(ReadAll(path + ".moved"), original);
  std::filesystem::rename(path + ".moved", path);
  ExpectUntouched();

  const std::string edited = Sjis("問１\r\n１２\r\n問２\r\n３\r\n");
  seams.before_replace = [&] { dir.Write("p.mon", edited); };
  Error(checker::FixFile(path, path, FileKind::kProblem, true, seams));
  ExpectUntouched(edited);
}

TEST_F(SafetyTest, KilledMidFixTheOriginalStays) {
  std::string big;
  while (big.size() < 48 * 1024 * 1024) big += "q\r\n1234567890\r\n";
  dir.Write("p.mon", big);
  const std::string tool = REKENDO_CHECK_PATH;
  const char* argv[] = {tool.c_str(), "--fix", "--in-place", path.c_str(), nullptr};
  pid_t child = 0;
  ASSERT_EQ(::posix_spawn(&child, tool.c_str(), nullptr, nullptr, const_cast<char**>(argv),
                          environ),
            0);
  // Kill it once the backup has some bytes: reading, copying and writing are under way.
  bool caught = false;
  for (int i = 0; i < 20000 && !caught; ++i) {
    std::error_code ignored;
    caught = std::filesystem::file_size(path + ".bak", ignored) > 0 && !ignored;
    if (!caught) std::this_thread::sleep_for(std::chrono::microseconds(500));
  }
  ::kill(child, SIGKILL);
  int status = 0;
  ::waitpid(child, &status, 0);
  if (!WIFSIGNALED(status)) GTEST_SKIP() << "the fix ended before it could be killed";
  EXPECT_TRUE(caught);
  EXPECT_EQ(ReadAll(path), big) << "killed mid-fix, the original must be whole";
}

TEST_F(SafetyTest, TooFewFileDescriptorsFailCleanly) {
  if (kSanitized) GTEST_SKIP() << "the sanitizer runtime needs descriptors of its own";
  // Descriptors the test itself holds are closed first: four means 0, 1, 2 and one more.
  const std::string few = "exec 3>&- 4>&- 5>&- 6>&- 7>&- 8>&- 9>&-; ulimit -n 4";
  const auto checked = Tool(Quote(path), few);
  EXPECT_EQ(checked.status, 1) << checked.output;
  EXPECT_NE(checked.output.find("問題 1 組"), std::string::npos) << checked.output;
  for (const std::string& target : {std::string("--in-place"), "-o " + Quote(dir.Path("o.mon"))}) {
    const auto run = Tool("--fix " + target + " " + Quote(path), few);
    EXPECT_EQ(run.status, 2) << run.output;
    EXPECT_NE(run.output.find("オープンしたファイルが多すぎます"), std::string::npos) << run.output;
    EXPECT_EQ(run.output.find("直しました"), std::string::npos) << run.output;
    ExpectUntouched();
  }
}

TEST_F(SafetyTest, TooLittleMemoryFailsCleanlyAndLongFilesStream) {
  if (kSanitized) GTEST_SKIP() << "the sanitizer runtime reserves more address space than the limit";
  // 96 MiB in one line, under a limit of 64 MiB: no line can be held.
  {
    std::FILE* file = std::fopen(path.c_str(), "ab");
    ASSERT_NE(file, nullptr);
    ASSERT_EQ(::ftruncate(::fileno(file), 96 << 20), 0);
    std::fclose(file);
  }
  const auto run = Tool("--fix --in-place " + Quote(path), "ulimit -v 65536");
  EXPECT_EQ(run.status, 2) << run.output;
  EXPECT_NE(run.output.find("メモリーが足りません"), std::string::npos) << run.output;
  EXPECT_EQ(std::filesystem::file_size(path), 96u << 20);
  EXPECT_EQ(ReadAll(path).substr(0, original.size()), original);
  EXPECT_EQ(Names(dir.path()), std::set<std::string>{"p.mon"});

  // Far more bytes than the limit, in short lines, stream through.
  std::string lines;
  while (lines.size() < 80u << 20) lines += "q\r\n1\r\n";
  const std::string many = dir.Write("many.mon", lines);
  const auto streamed = Tool(Quote(many), "ulimit -v 65536");
  EXPECT_EQ(streamed.status, 1) << streamed.output.substr(0, 2000);
  EXPECT_NE(streamed.output.find("問題 1000 組"), std::string::npos) << streamed.output.substr(0, 2000);
}

// A small tmpfs is a full disk on demand; it needs root and a kernel that allows mounting.
class SmallDisk {
 public:
  explicit SmallDisk(const std::string& folder) : folder_(folder) {
    std::filesystem::create_directory(folder);
    mounted_ = ::mount("tmpfs", folder.c_str(), "tmpfs", 0, "size=64k") == 0;
    if (!mounted_) why_ = std::string("mount -t tmpfs -o size=64k: ") + std::strerror(errno);
  }
  ~SmallDisk() {
    if (mounted_) ::umount2(folder_.c_str(), MNT_DETACH);
  }
  bool mounted() const { return mounted_; }
  const std::string& why() const { return why_; }

 private:
  std::string folder_;
  bool mounted_ = false;
  std::string why_;
};

TEST_F(SafetyTest, AFullDiskFailsCleanly) {
  const SmallDisk disk(dir.Path("small"));
  if (!disk.mounted()) GTEST_SKIP() << "no full-disk test here: " << disk.why();
  std::string lines;
  while (lines.size() < 40 * 1024) lines += "q\r\n1\r\n";  // the fix doubles every answer
  const std::string small = dir.Write("small/p.mon", lines);
  const auto run = Tool("--fix --in-place " + Quote(small));
  EXPECT_EQ(run.status, 2) << run.output;
  EXPECT_NE(run.output.find("ディスクがいっぱいです"), std::string::npos) << run.output;
  EXPECT_EQ(run.output.find("直しました"), std::string::npos) << run.output;
  EXPECT_EQ(ReadAll(small), lines);
  EXPECT_EQ(Names(dir.path() / "small"), std::set<std::string>{"p.mon"});
}

}  // namespace
}  // namespace rekendo
