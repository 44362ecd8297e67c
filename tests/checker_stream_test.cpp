// What --fix must never do silently: change the meaning of a file saved in another
// encoding or with other line ends. And huge files: short reports, memory by the line.
#include <gtest/gtest.h>

#include <string>

#include "analysis.h"
#include "checker_support.h"
#include "drill.h"
#include "fixer.h"
#include "sjis.h"
#include "temp_files.h"
#include "utf8.h"

namespace rekendo {
namespace {

using checker::FileKind;
using checker::FindingCode;
using testing::CountOf;
using testing::Dump;
using testing::MessageAt;
using testing::Sjis;

std::string Utf16(const std::u16string& text, bool big_endian, bool bom) {
  std::string bytes;
  if (bom) bytes = big_endian ? "\xFE\xFF" : "\xFF\xFE";
  for (const char16_t unit : text) {
    const char high = static_cast<char>(unit >> 8);
    const char low = static_cast<char>(unit & 0xFF);
    bytes += big_endian ? std::string{high, low} : std::string{low, high};
  }
  return bytes;
}

TEST(CheckerEncodings, CrOnlyLinesAreNamedAndFixSplitsThem) {
  const std::string bytes = Sjis("問１\r1\r問２\r\r");
  const checker::Report report = checker::CheckBytes(bytes, FileKind::kProblem);
  EXPECT_FALSE(MessageAt(report, FindingCode::kCrOnly, 1).empty()) << Dump(report);
  EXPECT_EQ(CountOf(report, FindingCode::kLoneCr), 0) << Dump(report);
  EXPECT_EQ(report.entries, 2);
  const checker::FixResult fixed = checker::FixBytes(bytes, FileKind::kProblem);
  EXPECT_TRUE(fixed.split_at_cr);
  EXPECT_EQ(fixed.bytes, Sjis("問１\r\n１\r\n問２\r\n\r\n"));
  // A CR inside a file that has LFs stays what the drill makes of it: a joined line.
  EXPECT_EQ(CountOf(checker::CheckBytes("q\ra\r\n1\r\n", FileKind::kProblem), FindingCode::kCrOnly),
            0);
}

TEST(CheckerEncodings, Utf16IsNamedAndConverted) {
  for (const bool big_endian : {false, true}) {
    for (const bool bom : {false, true}) {
      const std::string bytes = Utf16(u"問１\r\n−3\r\n", big_endian, bom);
      const checker::Report report = checker::CheckBytes(bytes, FileKind::kProblem);
      const std::string message = MessageAt(report, FindingCode::kUtf16, 1);
      EXPECT_NE(message.find(big_endian ? "ビッグ" : "リトル"), std::string::npos) << message;
      EXPECT_NE(message.find(bom ? "BOM" : "NUL"), std::string::npos) << message;
      EXPECT_EQ(CountOf(report, FindingCode::kNotCp932), 0) << Dump(report);
      EXPECT_EQ(checker::FixBytes(bytes, FileKind::kProblem).bytes, Sjis("問１\r\n－３\r\n"));
    }
  }
}

TEST(CheckerEncodings, Utf8NeedsABomOrTextImplausibleAsShiftJis) {
  using text::Utf8Rule;
  // Shift-JIS text that is also UTF-8 ("縺ｱ" is UTF-8 "ぱ", "邵ｱ" the kanji "縱") stays
  // Shift-JIS; two kana in UTF-8 ("あい" reads "縺ゅ＞" in Shift-JIS) are UTF-8.
  const std::string ambiguous = Sjis("縺ｱ");
  for (const std::string& both : {ambiguous, Sjis("邵ｱ"), std::string("\xE7\xB8\xB1")}) {
    EXPECT_EQ(text::DetectUtf8(both), Utf8Rule::kNone) << both;
  }
  EXPECT_EQ(text::DetectUtf8("あい"), Utf8Rule::kKana);
  EXPECT_EQ(text::DetectUtf8("問題\n"), Utf8Rule::kNotCp932);
  EXPECT_EQ(text::DetectUtf8("\xEF\xBB\xBFq"), Utf8Rule::kBom);

  const std::string problems = "q\r\n" + ambiguous + "\r\n";
  EXPECT_EQ(CountOf(checker::CheckBytes(problems, FileKind::kProblem), FindingCode::kUtf8), 0);
  EXPECT_EQ(checker::FixBytes(problems, FileKind::kProblem).bytes, problems);
  // The report names the rule and the line it looked at.
  const checker::Report utf8 = checker::CheckBytes("q\nこんにちは\n", FileKind::kProblem);
  EXPECT_NE(MessageAt(utf8, FindingCode::kUtf8, 2).find("かな"), std::string::npos) << Dump(utf8);
}

TEST(CheckerLimits, HugeFilesGiveShortReports) {
  std::string bytes;
  for (int i = 0; i < 3 * kMaxProblems; ++i) bytes += "q\r\n1\r\n";
  bytes += "q\r\n" + std::string(100000, '7') + "\r\n";
  const checker::Report report = checker::CheckBytes(bytes, FileKind::kProblem);
  // Only the pairs the drill loads are checked; the rest is one finding.
  EXPECT_EQ(report.total_findings, kMaxProblems + 1) << Dump(report);
  EXPECT_EQ(CountOf(report, FindingCode::kUntypable), checker::kFindingsPerKind);
  EXPECT_EQ(CountOf(report, FindingCode::kMoreOfTheSame), 1);
  EXPECT_EQ(CountOf(report, FindingCode::kTooManyEntries), 1);
  EXPECT_LT(report.findings.size(), 30u);

  // A long answer is quoted by its start only.
  const checker::Report one =
      checker::CheckBytes("q\r\n" + std::string(100000, '7') + "\r\n", FileKind::kProblem);
  ASSERT_EQ(one.findings.size(), 1u);
  EXPECT_LT(one.findings[0].message.size(), 300u);
}

TEST(CheckerLimits, BlankPairsAtTheEndOfABigFileAreDropped) {
  // More blank lines than the writer buffers: the fix takes back bytes already on the disk.
  testing::TempDir dir;
  std::string pairs;
  for (int i = 0; i < 20000; ++i) pairs += Sjis("問\r\n１\r\n");
  const std::string path = dir.Write("b.mon", pairs + std::string(100000, '\n') + "\x1A");
  const auto result = checker::FixFile(path, dir.Path("out.mon"), FileKind::kProblem, false);
  ASSERT_TRUE(std::holds_alternative<checker::FixResult>(result));
  EXPECT_EQ(std::get<checker::FixResult>(result).dropped_blank_pairs, 50000);
  EXPECT_EQ(testing::ReadAll(dir.Path("out.mon")), pairs);
}

}  // namespace
}  // namespace rekendo
