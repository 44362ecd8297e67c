#include "text_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "io_error.h"
#include "sjis.h"
#include "temp_files.h"

namespace rekendo {
namespace {

using testing::Sjis;
using testing::TempDir;

std::vector<std::string> ReadAll(const std::string& path, int lines) {
  TextFile file(path);
  std::vector<std::string> out;
  for (int i = 0; i < lines; ++i) out.push_back(file.ReadLine());
  file.Close();
  return out;
}

TEST(TextFileLines, LineEndsAreLfOrCrLfAndLoneCrIsDropped) {
  TempDir dir;
  const std::vector<std::string> expected = {"one", "two", "three", "", "four"};
  EXPECT_EQ(ReadAll(dir.Write("lf", "one\ntwo\nthree\n\nfour\n"), 5), expected);
  EXPECT_EQ(ReadAll(dir.Write("crlf", "one\r\ntwo\r\nthree\r\n\r\nfour\r\n"), 5), expected);
  EXPECT_EQ(ReadAll(dir.Write("mixed", "one\ntwo\r\nthree\n\r\nfour"), 5), expected);
  EXPECT_EQ(ReadAll(dir.Write("lone-cr", "o\rne\r\r\ntwo\rthree\r"), 2),
            (std::vector<std::string>{"one", "twothree"}));
}

TEST(TextFileLines, BytesAreTakenAsTheyAre) {
  TempDir dir;
  // Shift-JIS, a NUL, a UTF-8 byte-order mark, a lead byte cut by the line end.
  const std::string line1 = Sjis("２ｘ＋３＝１１") + std::string("\0x", 2);
  const std::string line2 =
      "\xEF\xBB\xBF"
      "abc\x82";
  TextFile file(dir.Write("bytes", line1 + "\r\n" + line2 + "\n"));
  EXPECT_EQ(file.ReadLine(), line1);
  EXPECT_EQ(file.ReadLine(), line2);
}

TEST(TextFileLines, ReadingPastTheEndYieldsEmptyLines) {
  TempDir dir;
  TextFile file(dir.Write("short", "last line without terminator"));
  EXPECT_FALSE(file.AtEnd());
  EXPECT_EQ(file.ReadLine(), "last line without terminator");
  EXPECT_TRUE(file.AtEnd());
  EXPECT_EQ(file.ReadLine(), "");
  EXPECT_EQ(file.ReadLine(), "");
  EXPECT_TRUE(file.AtEnd());
}

TEST(TextFileLines, CtrlZEndsTheFileOnlyWhereALineBegins) {
  TempDir dir;
  TextFile file(dir.Write("ctrlz",
                          "a\x1A"
                          "b\n\x1A"
                          "after\n"));
  EXPECT_FALSE(file.AtEnd());
  EXPECT_EQ(file.ReadLine(),
            "a\x1A"
            "b");
  EXPECT_TRUE(file.AtEnd());
  // The end test does not consume the byte: a plain read still sees it as text.
  EXPECT_EQ(file.ReadLine(),
            "\x1A"
            "after");
}

TEST(TextFileLines, LinesLongerThanTheBufferAreReadWhole) {
  TempDir dir;
  std::string huge(3 * 1024 * 1024 + 7, 'x');
  for (std::size_t i = 0; i < huge.size(); i += 4099) huge[i] = '\r';
  std::string expected;
  for (const char c : huge) {
    if (c != '\r') expected += c;
  }
  TextFile file(dir.Write("huge", huge + "\nz"));
  EXPECT_EQ(file.ReadLine(), expected);
  EXPECT_EQ(file.ReadLine(), "z");

  // A CR LF, or a lone CR, split across the reader's 256 KiB buffers still reads cleanly.
  for (const std::size_t first_line : {256u * 1024 - 1, 256u * 1024 - 2, 256u * 1024}) {
    const std::string line(first_line, 'y');
    TextFile split(dir.Write("split", line + "\r\n" + "a\rb\r\nlast\r"));
    EXPECT_EQ(split.ReadLine(), line) << first_line;
    EXPECT_EQ(split.ReadLine(), "ab") << first_line;
    EXPECT_EQ(split.ReadLine(), "last") << first_line;
    EXPECT_TRUE(split.AtEnd());
  }
}

void ExpectOpenFails(const std::string& path, int code, std::string_view message_utf8) {
  try {
    TextFile file(path);
    ADD_FAILURE() << "opened " << path;
  } catch (const IoError& error) {
    EXPECT_EQ(error.code(), code) << path;
    EXPECT_EQ(error.message(), Sjis(message_utf8)) << path;
  }
}

TEST(TextFileErrors, OpenFailuresCarryCodeAndMessage) {
  TempDir dir;
  dir.Write("plain", "x\n");
  ExpectOpenFails(dir.Path("missing.mon"), 2, "ファイルが見つかりません");
  ExpectOpenFails(dir.Path("no-such-folder/file.mon"), 3, "不正なファイル名です");
  ExpectOpenFails(dir.Path("plain/file.mon"), 3, "不正なファイル名です");
  ExpectOpenFails("", 3, "不正なファイル名です");
  ExpectOpenFails(dir.Path(std::string(300, 'n')), 3, "不正なファイル名です");
  ExpectOpenFails("missing-in-the-current-folder.han", 2, "ファイルが見つかりません");
}

TEST(TextFileErrors, FoldersFifosAndDevicesAreRefusedWithoutBlocking) {
  TempDir dir;
  const std::string fifo = dir.Path("fifo");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  ExpectOpenFails(fifo, 5, "ファイルへのアクセスが拒否されました");
  ExpectOpenFails(dir.path().string(), 5, "ファイルへのアクセスが拒否されました");
  ExpectOpenFails("/dev/null", 5, "ファイルへのアクセスが拒否されました");
}

TEST(TextFileErrors, UnreadableFileIsAccessDenied) {
  if (::geteuid() == 0) GTEST_SKIP() << "root reads every file";
  TempDir dir;
  const std::string path = dir.Write("locked", "x\n");
  ASSERT_EQ(::chmod(path.c_str(), 0), 0);
  ExpectOpenFails(path, 5, "ファイルへのアクセスが拒否されました");
}

TEST(IoErrorMessages, EveryCodeHasItsText) {
  EXPECT_EQ(IoError::FromCode(4).message(), Sjis("オープンしたファイルが多すぎます"));
  EXPECT_EQ(IoError::FromCode(100).message(), Sjis("ファイルの末尾以降を読み込みました"));
  EXPECT_EQ(IoError::FromCode(101).message(), Sjis("ディスクがいっぱいです"));
  EXPECT_EQ(IoError::FromCode(106).message(), Sjis("入力値が数値ではありません"));
  EXPECT_EQ(IoError::FromCode(32).message(), Sjis("I/O エラー (32)"));
  EXPECT_EQ(IoError::FromErrno(EMFILE).code(), 4);
  EXPECT_EQ(IoError::FromErrno(ENOSPC).code(), 101);
  // An errno without a cause of its own keeps its number, even where it collides with ours.
  EXPECT_EQ(IoError::FromErrno(EIO).code(), EIO);
  EXPECT_EQ(IoError::FromErrno(EIO).message(), Sjis("I/O エラー (5)"));
}

std::string MessageOf(const std::function<void()>& fail) {
  try {
    fail();
  } catch (...) {
    return MessageOfCurrentException();
  }
  return "nothing thrown";
}

TEST(IoErrorMessages, AnyEscapingFailureHasAMessage) {
  EXPECT_EQ(MessageOf([] { throw IoError::FromCode(2); }), Sjis("ファイルが見つかりません"));
  EXPECT_EQ(MessageOf([] { throw std::runtime_error("bad"); }), "bad");
  EXPECT_EQ(MessageOf([] { throw 42; }), "unknown failure");
}

}  // namespace
}  // namespace rekendo
