// Files nobody should pick, and what the drill does with each: a defined outcome, never a
// crash, a hang or an index outside its tables.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <string>

#include "cp932.h"
#include "drill.h"
#include "fake_view.h"
#include "io_error.h"
#include "sjis.h"
#include "temp_files.h"
#include "line_reader.h"

namespace rekendo {
namespace {

using testing::FakeView;
using testing::Sjis;
using testing::TempDir;

class HostileInputTest : public ::testing::Test {
 protected:
  // Runs 問題選択 with a dialog that returns `path`; the error's code, or 0 when it loaded.
  int Pick(const std::string& path) {
    return PickFrom([&] { return path; });
  }
  int PickFrom(const std::function<std::string()>& dialog) {
    try {
      drill.ChooseProblemFile([&] { return std::optional<std::string>(dialog()); });
    } catch (const IoError& error) {
      last_message = error.message();
      return error.code();
    }
    return 0;
  }
  void LoadProblems(std::string_view bytes) { ASSERT_EQ(Pick(dir.Write("p.mon", bytes)), 0); }

  TempDir dir;
  FakeView view;
  Drill drill{view, [] { return 5u; }};
  std::string last_message;
};

TEST_F(HostileInputTest, NonFilesAndVanishedFilesAreRefusedAndLeaveTheRoundAlone) {
  const std::string fifo = dir.Path("fifo");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const std::string access_denied = Sjis("ファイルへのアクセスが拒否されました");

  // Before any file: the round stays unchosen.
  EXPECT_EQ(Pick(fifo), 5);
  EXPECT_EQ(drill.Snapshot().stage, Stage::kNoFile);

  LoadProblems("q\n1\nq2\n2\n");
  drill.StartRound();
  drill.Tick();
  drill.Tick();
  drill.AppendKey("\x82\x50");
  for (const std::string& path :
       {dir.path().string(), fifo, std::string("/dev/null"), std::string("/dev/zero")}) {
    EXPECT_EQ(Pick(path), 5) << path;
    EXPECT_EQ(last_message, access_denied) << path;
  }
  // Deleted after the dialog showed it, before the drill opens it.
  EXPECT_EQ(PickFrom([&] {
              const std::string path = dir.Write("gone.mon", "q\n1\n");
              std::filesystem::remove(path);
              return path;
            }),
            2);
  EXPECT_EQ(last_message, Sjis("ファイルが見つかりません"));

  EXPECT_EQ(drill.Snapshot().stage, Stage::kRunning);
  EXPECT_EQ(drill.Snapshot().question_number, 1);
  EXPECT_EQ(drill.Snapshot().elapsed, 2);
  EXPECT_EQ(drill.Snapshot().typed_answer, "\x82\x50");
  EXPECT_EQ(drill.Snapshot().score, 0);
  EXPECT_TRUE(view.timer_enabled);
  EXPECT_EQ(view.bar_height, 30);
}

TEST_F(HostileInputTest, HundredMegabyteLineWithoutTerminatorLoadsWhole) {
  constexpr std::size_t kSize = 100u << 20;
  const std::string path = dir.Path("huge.mon");
  {
    std::ofstream out(path, std::ios::binary);
    const std::string chunk(1 << 20, '\x82');  // lead bytes with no trail, a megabyte at a time
    for (std::size_t written = 0; written < kSize; written += chunk.size()) out << chunk;
  }
  ASSERT_EQ(Pick(path), 0);
  EXPECT_EQ(drill.Bank().problem_count, 1);
  EXPECT_EQ(drill.Bank().problem_text[1].size(), kSize);
  EXPECT_EQ(drill.Bank().problem_text[1].find_first_not_of('\x82'), std::string::npos);
  EXPECT_EQ(drill.Bank().problem_answer[1], "");
}

TEST_F(HostileInputTest, InvalidShiftJisIsStoredAsBytesShownAsReplacementAndComparedExactly) {
  // A byte CP932 lacks, a NUL, and a lead byte cut by the line end.
  const std::string text = std::string("\x82\x50\xA0q\0", 5) + "\x82";
  const std::string answer = std::string("\x82\x50\0\xFF", 4) + "\x82";
  LoadProblems(text + "\r\n" + answer + "\r\n");
  EXPECT_EQ(drill.Bank().problem_text[1], text);
  EXPECT_EQ(drill.Bank().problem_answer[1], answer);

  drill.StartRound();
  EXPECT_EQ(text::Cp932ToUtf16(drill.PanelText()), std::u16string(u"\uFF11\uFFFDq\0\uFFFD", 5));

  // What the screen shows is not what was stored: typing the shown characters is wrong, and
  // so is every near miss.
  const std::string shown = "\x82\x50" + text::Cp932ToUtf8(std::string("\0\xFF\x82", 3));
  for (const std::string& near_miss :
       {shown, std::string("\x82\x50\xFF\x82"), std::string("\x82\x50\0\xFF", 4), answer + '\0'}) {
    drill.AppendKey(near_miss);
    drill.SubmitAnswer();
    EXPECT_FALSE(drill.Snapshot().closed) << near_miss.size();
  }
  EXPECT_EQ(drill.Snapshot().score, 0);
  // The exact bytes, typed in pieces, are right.
  drill.AppendKey("\x82\x50");
  drill.AppendKey(std::string("\0", 1));
  drill.AppendKey("\xFF\x82");
  drill.SubmitAnswer();
  EXPECT_EQ(drill.Snapshot().score, 10);
  EXPECT_EQ(drill.PanelText(), text + Sjis("\r\n\r\n答えは\r\n\r\n") + answer);
}

// A problem file saved as UTF-8 (here with its byte order mark) is read as the text it
// holds: it shows as written and its answers are judged as written.
TEST_F(HostileInputTest, Utf8FileWithByteOrderMarkIsReadAsItsText) {
  const std::string bom = "\xEF\xBB\xBF";
  LoadProblems(bom + "三たす四は？\r\n７\r\n");
  EXPECT_EQ(drill.Bank().problem_count, 1);
  EXPECT_TRUE(drill.LastLoad().read_as_utf8);
  EXPECT_EQ(text::Cp932ToUtf16(drill.Bank().problem_text[1]), u"三たす四は？");

  drill.StartRound();
  EXPECT_EQ(text::Cp932ToUtf16(drill.PanelText()), u"三たす四は？");
  drill.AppendKey("\x82\x56");  // the keypad's ７
  drill.SubmitAnswer();
  EXPECT_EQ(drill.Snapshot().score, 10);
}

TEST_F(HostileInputTest, TriviaWithManyChoicesKeepsTheFirstTenHowEverOddTheyAre) {
  // Twelve choices, the right one holding a NUL, empty and Ctrl-Z choices among the rest.
  std::string answer("right\0", 6);
  for (const char* wrong : {"", "\x1A", "w3", "w4", "w5", "w6", "w7", "", "w9", "drop1", "drop2"}) {
    answer += '$';
    answer += wrong;
  }
  drill.LoadDataFiles(dir.Write("j.han", ""), dir.Write("t.zat", "q\r\n" + answer + "\r\n"));
  ASSERT_EQ(drill.Bank().trivia_count, 1);
  const std::string& question = drill.Bank().trivia_text[1];
  EXPECT_EQ(question.find("drop"), std::string::npos);
  std::size_t lines = 0;
  for (auto at = question.find("\r\n"); at != std::string::npos;
       at = question.find("\r\n", at + 1)) {
    ++lines;
  }
  EXPECT_EQ(lines, 10u);
  const std::string right_line =
      "\r\n" + drill.Bank().trivia_answer[1] + Sjis("：") + std::string("right\0", 6);
  EXPECT_NE(question.find(right_line), std::string::npos);
}

TEST_F(HostileInputTest, CtrlZInTheTriviaFileEndsItOnlyWhereAPairBegins) {
  const std::string z(1, kCtrlZ);
  drill.LoadDataFiles(dir.Write("j.han", ""),
                      dir.Write("t.zat", "q" + z + "1\r\n" + z + "a\r\nq2\r\n" + z + "b$c\r\n" + z +
                                             "q3\r\nz\r\n"));
  EXPECT_EQ(drill.Bank().trivia_count, 2);
  EXPECT_EQ(drill.Bank().trivia_text[1], "q" + z + "1");
  EXPECT_EQ(drill.Bank().trivia_answer[1], z + "a");
  EXPECT_NE(drill.Bank().trivia_text[2].find(Sjis("：") + z + "b"), std::string::npos);

  drill.LoadDataFiles(dir.Write("j.han", ""), dir.Write("z.zat", z + "q\r\na\r\n"));
  EXPECT_EQ(drill.Bank().trivia_count, 0);
}

TEST_F(HostileInputTest, EmptyBanksNeverStartARoundOrDrawAnEntry) {
  // Trivia loaded once, then its file goes missing: the old entries stay in the table but
  // are never drawn.
  drill.LoadDataFiles(dir.Write("j.han", ""), dir.Write("t.zat", "stale\r\nx\r\n"));
  EXPECT_THROW(drill.LoadDataFiles(dir.Write("j.han", ""), dir.Path("gone.zat")), IoError);
  ASSERT_EQ(drill.Bank().trivia_count, 0);
  LoadProblems("q\r\n1\r\n");
  for (std::uint32_t seed = 0; seed < 100; ++seed) {
    drill.SetRandomState(seed);
    drill.StartRound();
    for (int q = 1; q <= 10; ++q) {
      EXPECT_EQ(drill.PanelText(), "q");
      drill.NextQuestion();
    }
  }

  // A cancelled dialog, and a file that begins with an end mark, leave nothing to ask.
  drill.StartRound();
  const std::function<void()> ways_to_empty[] = {
      [&] { drill.ChooseProblemFile([] { return std::nullopt; }); },
      [&] { LoadProblems(std::string(1, kCtrlZ) + "q\r\n1\r\n"); },
  };
  for (const auto& empty_the_bank : ways_to_empty) {
    empty_the_bank();
    ASSERT_EQ(drill.Bank().problem_count, 0);
    drill.StartRound();
    drill.NextQuestion();
    EXPECT_EQ(drill.Snapshot().stage, Stage::kReady);
    EXPECT_EQ(drill.Snapshot().question_number, 0);
    EXPECT_EQ(drill.PanelText(), "");
    EXPECT_FALSE(view.timer_enabled);
  }
}

}  // namespace
}  // namespace rekendo
