#include "line_reader.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
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

// Runs `use` on a reader of `bytes` from each kind of source: a path, a descriptor it borrows
// and memory. The same rules must hold for all three.
void ForEachSource(const std::string& bytes, const std::function<void(LineReader&)>& use) {
  TempDir dir;
  const std::string path = dir.Write("file", bytes);
  {
    SCOPED_TRACE("path");
    LineReader reader(path);
    use(reader);
    reader.Close();
  }
  {
    SCOPED_TRACE("descriptor");
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    {
      LineReader reader = LineReader::OverDescriptor(fd);
      use(reader);
      reader.Close();
    }
    EXPECT_EQ(::close(fd), 0) << "the reader must leave a borrowed descriptor open";
  }
  {
    SCOPED_TRACE("memory");
    LineReader reader = LineReader::OverBytes(bytes);
    use(reader);
  }
}

std::vector<std::string> ReadAll(const std::string& bytes, int lines) {
  std::vector<std::string> out;
  ForEachSource(bytes, [&](LineReader& reader) {
    std::vector<std::string> read;
    for (int i = 0; i < lines; ++i) read.push_back(reader.ReadLine());
    if (!out.empty()) {
      EXPECT_EQ(read, out);
    }
    out = read;
  });
  return out;
}

TEST(LineReaderLines, LineEndsAreLfOrCrLfAndLoneCrIsDropped) {
  const std::vector<std::string> expected = {"one", "two", "three", "", "four"};
  EXPECT_EQ(ReadAll("one\ntwo\nthree\n\nfour\n", 5), expected);
  EXPECT_EQ(ReadAll("one\r\ntwo\r\nthree\r\n\r\nfour\r\n", 5), expected);
  EXPECT_EQ(ReadAll("one\ntwo\r\nthree\n\r\nfour", 5), expected);
  EXPECT_EQ(ReadAll("o\rne\r\r\ntwo\rthree\r", 2),
            (std::vector<std::string>{"one", "twothree"}));
}

// Raw lines keep the CRs the rules drop and say what ended them, so the bytes come back whole.
TEST(LineReaderLines, RawLinesGiveBackTheExactBytes) {
  const std::string bytes = "o\rne\r\r\ntwo\n\x1A\rthree\r";
  ForEachSource(bytes, [&](LineReader& reader) {
    std::string again;
    std::string line;
    std::vector<LineEnd> ends;
    for (LineEnd end = LineEnd::kLf; end != LineEnd::kEndOfFile;) {
      end = reader.ReadRawLine(line);
      ends.push_back(end);
      again += line + (end == LineEnd::kCrLf ? "\r\n" : end == LineEnd::kLf ? "\n" : "");
    }
    EXPECT_EQ(again, bytes);
    EXPECT_EQ(ends, (std::vector<LineEnd>{LineEnd::kCrLf, LineEnd::kLf, LineEnd::kEndOfFile}));
  });
}

TEST(LineReaderLines, BytesAreTakenAsTheyAre) {
  // Shift-JIS, a NUL, a UTF-8 byte-order mark, a lead byte cut by the line end.
  const std::string line1 = Sjis("２ｘ＋３＝１１") + std::string("\0x", 2);
  const std::string line2 =
      "\xEF\xBB\xBF"
      "abc\x82";
  ForEachSource(line1 + "\r\n" + line2 + "\n", [&](LineReader& file) {
    EXPECT_EQ(file.ReadLine(), line1);
    EXPECT_EQ(file.ReadLine(), line2);
  });
}

TEST(LineReaderLines, ReadingPastTheEndYieldsEmptyLines) {
  ForEachSource("last line without terminator", [](LineReader& file) {
    EXPECT_FALSE(file.AtEnd());
    EXPECT_EQ(file.ReadLine(), "last line without terminator");
    EXPECT_TRUE(file.AtEnd());
    EXPECT_EQ(file.ReadLine(), "");
    EXPECT_EQ(file.ReadLine(), "");
    EXPECT_TRUE(file.AtEnd());
  });
}

TEST(LineReaderLines, CtrlZEndsTheFileOnlyWhereALineBegins) {
  ForEachSource("a\x1A"
                "b\n\x1A"
                "after\n",
                [](LineReader& file) {
                  EXPECT_FALSE(file.AtEnd());
                  EXPECT_EQ(file.ReadLine(),
                            "a\x1A"
                            "b");
                  EXPECT_TRUE(file.AtEnd());
                  // The end test does not consume the byte: a plain read still sees it as text.
                  EXPECT_EQ(file.ReadLine(),
                            "\x1A"
                            "after");
                });
}

TEST(LineReaderLines, LinesLongerThanTheBufferAreReadWhole) {
  std::string huge(3 * 1024 * 1024 + 7, 'x');
  for (std::size_t i = 0; i < huge.size(); i += 4099) huge[i] = '\r';
  std::string expected;
  for (const char c : huge) {
    if (c != '\r') expected += c;
  }
  ForEachSource(huge + "\nz", [&](LineReader& file) {
    EXPECT_EQ(file.ReadLine(), expected);
    EXPECT_EQ(file.ReadLine(), "z");
  });

  // A CR LF, or a lone CR, split across the reader's 256 KiB buffers still reads cleanly.
  for (const std::size_t first_line : {256u * 1024 - 1, 256u * 1024 - 2, 256u * 1024}) {
    const std::string line(first_line, 'y');
    ForEachSource(line + "\r\n" + "a\rb\r\nlast\r", [&](LineReader& split) {
      EXPECT_EQ(split.ReadLine(), line) << first_line;
      EXPECT_EQ(split.ReadLine(), "ab") << first_line;
      EXPECT_EQ(split.ReadLine(), "last") << first_line;
      EXPECT_TRUE(split.AtEnd());
    });
  }
}

void ExpectOpenFails(const std::string& path, int code, std::string_view message_utf8) {
  try {
    LineReader file(path);
    ADD_FAILURE() << "opened " << path;
  } catch (const IoError& error) {
    EXPECT_EQ(error.code(), code) << path;
    EXPECT_EQ(error.message(), Sjis(message_utf8)) << path;
  }
}

TEST(LineReaderErrors, OpenFailuresCarryCodeAndMessage) {
  TempDir dir;
  dir.Write("plain", "x\n");
  ExpectOpenFails(dir.Path("missing.mon"), 2, "ファイルが見つかりません");
  ExpectOpenFails(dir.Path("no-such-folder/file.mon"), 3, "不正なファイル名です");
  ExpectOpenFails(dir.Path("plain/file.mon"), 3, "不正なファイル名です");
  ExpectOpenFails("", 3, "不正なファイル名です");
  ExpectOpenFails(dir.Path(std::string(300, 'n')), 3, "不正なファイル名です");
  ExpectOpenFails("missing-in-the-current-folder.han", 2, "ファイルが見つかりません");
}

TEST(LineReaderErrors, FoldersFifosAndDevicesAreRefusedWithoutBlocking) {
  TempDir dir;
  const std::string fifo = dir.Path("fifo");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  ExpectOpenFails(fifo, 5, "ファイルへのアクセスが拒否されました");
  ExpectOpenFails(dir.path().string(), 5, "ファイルへのアクセスが拒否されました");
  ExpectOpenFails("/dev/null", 5, "ファイルへのアクセスが拒否されました");
}

// Root reads every file, so as root the test runs itself again as nobody.
TEST(LineReaderErrors, UnreadableFileIsAccessDenied) {
  if (::geteuid() == 0) {
    char self[PATH_MAX] = {};
    ASSERT_GT(::readlink("/proc/self/exe", self, sizeof self - 1), 0);
    const std::string command =
        "setpriv --reuid=nobody --regid=nogroup --clear-groups '" + std::string(self) +
        "' --gtest_filter=LineReaderErrors.UnreadableFileIsAccessDenied 2>&1";
    FILE* pipe = ::popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string output;
    char buffer[4096];
    for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
      output.append(buffer, got);
    }
    const int status = ::pclose(pipe);
    if (output.find("setpriv") != std::string::npos && status != 0 &&
        output.find("[==========]") == std::string::npos) {
      GTEST_SKIP() << "cannot run as nobody here: " << output;
    }
    EXPECT_EQ(status, 0) << output;
    EXPECT_NE(output.find("[  PASSED  ] 1 test"), std::string::npos) << output;
    EXPECT_EQ(output.find("SKIPPED"), std::string::npos) << output;
    return;
  }
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
  // An errno without a cause of its own keeps its number in the text and error_number(),
  // never in the code: EIO is 5, which is also "access denied".
  EXPECT_EQ(IoError::FromErrno(EIO).code(), io_code::kOther);
  EXPECT_EQ(IoError::FromErrno(EIO).error_number(), EIO);
  EXPECT_EQ(IoError::FromErrno(EIO).message(), Sjis("I/O エラー (5)"));
  EXPECT_EQ(IoError::FromErrno(EACCES).code(), io_code::kAccessDenied);
  EXPECT_EQ(IoError::FromErrno(EACCES).error_number(), EACCES);
  EXPECT_EQ(IoError::FromCode(32).code(), io_code::kOther);
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
