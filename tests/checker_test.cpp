// The checker's findings, each on a small file of our own, and its agreement with the drill
// about how a file splits into pairs.
#include <gtest/gtest.h>

#include <string>

#include "analysis.h"
#include "checker_support.h"
#include "drill.h"
#include "fake_view.h"
#include "keypad_forms.h"
#include "keypad_table.h"
#include "sjis.h"
#include "temp_files.h"

namespace rekendo {
namespace {

using checker::FileKind;
using checker::FindingCode;
using checker::Report;
using testing::CountOf;
using testing::Dump;
using testing::MessageAt;
using testing::Sjis;
using testing::TempDir;

class CheckerTest : public ::testing::Test {
 protected:
  Report Problem(const std::string& utf8) { return Raw("p.mon", Sjis(utf8), FileKind::kProblem); }
  Report Trivia(const std::string& utf8) { return Raw("t.zat", Sjis(utf8), FileKind::kTrivia); }
  Report Raw(const std::string& name, const std::string& bytes, FileKind kind) {
    return testing::CheckBytes(dir, name, bytes, kind);
  }

  TempDir dir;
};

TEST_F(CheckerTest, WellMadeFilesAreClean) {
  const Report problems = Problem(
      "ｘ＋５＝１２\r\n７$７．０\r\n２／３＋１\n５／３\n√４\n２\n（ａ＋ｂ）＾２\n"
      "ａ＾２＋２ａｂ＋ｂ＾２$（ａ＋ｂ）（ａ＋ｂ）\n０．５－ｌｍｎｙｚｃ\n－ｃ");
  EXPECT_TRUE(problems.findings.empty()) << Dump(problems);
  EXPECT_EQ(problems.entries, 5);

  // Choice texts are only shown, so half-width characters in them are fine.
  const Report trivia = Trivia("円周率は？\r\n３．１４\r\n一番小さい素数は？\r\n2$1$3\r\n");
  EXPECT_TRUE(trivia.findings.empty()) << Dump(trivia);
  EXPECT_EQ(trivia.entries, 2);
  EXPECT_EQ(trivia.choice_entries, 1);
  EXPECT_EQ(checker::Summary(trivia), "雑学 2 組（選択式 1）、指摘 0 件");

  std::string judgement;
  for (int i = 0; i <= 10; ++i) judgement += std::to_string(i) + "問正解\r\n";
  // A lone Ctrl-Z at the end is the old end-of-file mark and hides nothing.
  const Report judged = Raw("j.han", Sjis(judgement) + "\x1A", FileKind::kJudgement);
  EXPECT_TRUE(judged.findings.empty()) << Dump(judged);
  EXPECT_EQ(checker::Summary(judged), "判定文 11 行、指摘 0 件");
}

TEST_F(CheckerTest, UntypableAnswerCharactersAreNamedWithTheirKeypadForm) {
  // "3" in both accepted answers of line 4 is one finding.
  const Report report = Problem("q\n12\nq\n-3$ー3\nq\n3*4×２\nq\nX$Ｘ\nq\n１ \n");
  EXPECT_EQ(CountOf(report, FindingCode::kUntypable), 2 + 3 + 4 + 2 + 1) << Dump(report);
  EXPECT_EQ(report.findings[0].message,
            "答え「12」の「1」はキーパッドで入力できません（「１」を使ってください）");
  for (const char* expected :
       {"「ー」はキーパッドで入力できません（「－」を使ってください）",
        "「-」はキーパッドで入力できません（「－」を使ってください）",
        "「*」はキーパッドで入力できません（キーパッドに代わりの文字はありません）",
        "「×」はキーパッドで入力できません（キーパッドに代わりの文字はありません）",
        "「Ｘ」はキーパッドで入力できません（「ｘ」を使ってください）",
        "半角スペースはキーパッドで入力できません"}) {
    EXPECT_NE(Dump(report).find(expected), std::string::npos) << expected;
  }

  // Typed trivia answers are checked like problem answers.
  EXPECT_EQ(CountOf(Trivia("q\n12\n"), FindingCode::kUntypable), 2);
}

TEST_F(CheckerTest, KeypadFormsAlwaysNameAKeyAndComeFromTheTable) {
  for (const KeyDef& key : kKeypad) {
    if (key.role == KeyRole::Character) {
      EXPECT_TRUE(checker::IsTypable(key.sjis)) << key.object_name;
    }
  }
  for (int byte = 0; byte < 0x80; ++byte) {
    const std::string character(1, static_cast<char>(byte));
    const std::string_view form = checker::KeypadFormFor(character);
    if (!form.empty()) {
      EXPECT_TRUE(checker::IsTypable(form)) << byte;
    }
    // --fix never changes case, so capitals are only suggested.
    if (byte >= 'A' && byte <= 'Z') {
      EXPECT_TRUE(checker::FixedFormFor(character).empty());
    }
  }
  for (const char* dash : {"ー", "‐", "―", "ｰ", "-"}) {
    EXPECT_EQ(checker::FixedFormFor(Sjis(dash)), Sjis("－")) << dash;
  }
  for (const char* none : {"*", "＊", "×", "÷", "=", "ｄ"}) {
    EXPECT_TRUE(checker::KeypadFormFor(Sjis(none)).empty()) << none;
  }
}

TEST_F(CheckerTest, EmptyAcceptedAnswersAreReported) {
  const Report report = Problem("q1\n\nq2\n１$\nq3\n$１\nq4\n１$$２\nq5\n１$２\n");
  for (const int line : {2, 4, 6, 8}) {
    EXPECT_FALSE(MessageAt(report, FindingCode::kEmptyAnswer, line).empty()) << line;
  }
  EXPECT_EQ(CountOf(report, FindingCode::kEmptyAnswer), 4);
  EXPECT_EQ(CountOf(Trivia("q\n\n"), FindingCode::kEmptyAnswer), 1);
}

TEST_F(CheckerTest, OddLinesAndTrailingBlankPairsAreToldApart) {
  const Report odd = Problem("q1\n１\nq2\n");
  EXPECT_NE(MessageAt(odd, FindingCode::kOddLineCount, 3).find("q2"), std::string::npos);
  EXPECT_EQ(odd.findings.size(), 1u) << Dump(odd);

  // One or two extra blank lines are one blank pair at the end; nothing else is said.
  for (const char* tail : {"\n", "\n\n", "\r\n\r\n"}) {
    const Report blank = Problem(std::string("q1\n１\n") + tail);
    EXPECT_FALSE(MessageAt(blank, FindingCode::kTrailingEmptyEntry, 3).empty()) << Dump(blank);
    EXPECT_EQ(blank.findings.size(), 1u) << Dump(blank);
  }
  // A real last question with a blank answer is an empty answer, not a blank pair.
  const Report last = Problem("q1\n１\nq2\n\n");
  EXPECT_EQ(CountOf(last, FindingCode::kTrailingEmptyEntry), 0);
  EXPECT_EQ(CountOf(last, FindingCode::kEmptyAnswer), 1);

  EXPECT_EQ(CountOf(Problem(""), FindingCode::kNoEntries), 1);
  EXPECT_TRUE(Trivia("").findings.empty());
}

TEST_F(CheckerTest, TablesOverflowAtTheDrillsLimits) {
  std::string problems;
  for (int i = 0; i < kMaxProblems; ++i) problems += "q\r\n１\r\n";
  EXPECT_TRUE(Problem(problems).findings.empty());
  const Report over = Problem(problems + "q\r\n１\r\n");
  EXPECT_FALSE(MessageAt(over, FindingCode::kTooManyEntries, 2 * kMaxProblems + 1).empty());
  EXPECT_EQ(over.entries, kMaxProblems);

  std::string trivia;
  for (int i = 0; i < kMaxTrivia + 1; ++i) trivia += "q\r\nA$B\r\n";
  const Report many = Trivia(trivia);
  EXPECT_FALSE(MessageAt(many, FindingCode::kTooManyEntries, 2 * kMaxTrivia + 1).empty());
  EXPECT_EQ(many.choice_entries, kMaxTrivia);
}

TEST_F(CheckerTest, ChoiceListsAreCountedAndBlankChoicesReported) {
  const Report report =
      Trivia("q\n1$2$3$4$5$6$7$8$9$10\nq\n1$2$3$4$5$6$7$8$9$10$11\nq\n$b\nq\na$$c\nq\na$\n");
  EXPECT_EQ(CountOf(report, FindingCode::kTooManyChoices), 1);
  EXPECT_FALSE(MessageAt(report, FindingCode::kTooManyChoices, 4).empty());
  EXPECT_NE(MessageAt(report, FindingCode::kEmptyChoice, 6).find("正解"), std::string::npos);
  EXPECT_NE(MessageAt(report, FindingCode::kEmptyChoice, 8).find("2 番目"), std::string::npos);
  EXPECT_FALSE(MessageAt(report, FindingCode::kEmptyChoice, 10).empty());
  EXPECT_EQ(report.findings.size(), 4u) << Dump(report);
}

TEST_F(CheckerTest, JudgementFilesNeedElevenLines) {
  const auto lines = [](int count) {
    std::string text;
    for (int i = 0; i < count; ++i) text += "msg\r\n";
    return text;
  };
  const Report fewer = Raw("j.han", lines(10), FileKind::kJudgement);
  EXPECT_NE(MessageAt(fewer, FindingCode::kJudgementLineCount, 10).find("10 行"),
            std::string::npos);
  const Report more = Raw("j.han", lines(11) + "\r\n", FileKind::kJudgement);
  EXPECT_FALSE(MessageAt(more, FindingCode::kJudgementLineCount, 12).empty());
  EXPECT_EQ(CountOf(Raw("j.han", "", FileKind::kJudgement), FindingCode::kJudgementLineCount), 1);
}

TEST_F(CheckerTest, CtrlZIsReportedWhereverTheDrillWouldTripOverIt) {
  const std::string good = Sjis("q\r\n１\r\n");
  // Where a pair begins it ends the file: what follows is lost.
  const Report hidden = Raw("z.mon", good + "\x1A" + Sjis("q\r\n２\r\n"), FileKind::kProblem);
  EXPECT_FALSE(MessageAt(hidden, FindingCode::kCtrlZEndsFile, 3).empty());
  EXPECT_EQ(hidden.entries, 1);
  EXPECT_EQ(hidden.findings.size(), 1u) << Dump(hidden);
  EXPECT_TRUE(Raw("z.mon", good + "\x1A", FileKind::kProblem).findings.empty());

  // Elsewhere it is text: an untypable answer character, or a stray character in a question.
  const Report text = Raw("z.mon", "q\x1A\r\n\x1A" + Sjis("１\r\n"), FileKind::kProblem);
  EXPECT_FALSE(MessageAt(text, FindingCode::kCtrlZInText, 1).empty());
  EXPECT_NE(MessageAt(text, FindingCode::kUntypable, 2).find("Ctrl-Z"), std::string::npos);
  const Report judged = Raw("j.han",
                            "a\x1A"
                            "b\r\n",
                            FileKind::kJudgement);
  EXPECT_FALSE(MessageAt(judged, FindingCode::kCtrlZInText, 1).empty());
}

TEST_F(CheckerTest, Utf8FilesAreRecognisedAndReadAsTheyWouldBeConverted) {
  for (const std::string bom : {"", "\xEF\xBB\xBF"}) {
    const Report report = Raw("u.mon", bom + "問題\n１２\n問題\n−3\n𠮷\n１\n", FileKind::kProblem);
    EXPECT_NE(MessageAt(report, FindingCode::kUtf8, 1).find(bom.empty() ? "UTF-8 で" : "BOM"),
              std::string::npos);
    // "−" is the keypad's minus once converted; only the "3" is left to report.
    EXPECT_NE(MessageAt(report, FindingCode::kUntypable, 4).find("「３」"), std::string::npos);
    EXPECT_FALSE(MessageAt(report, FindingCode::kMissingInCp932, 5).empty());
    EXPECT_EQ(report.findings.size(), 3u) << Dump(report);
  }
  // Plain ASCII reads the same either way, and Shift-JIS Japanese is not valid UTF-8.
  EXPECT_EQ(CountOf(Raw("a.zat", "q\n1$2\n", FileKind::kTrivia), FindingCode::kUtf8), 0);
  EXPECT_EQ(CountOf(Problem("ｘ＋１＝２ のとき\nｘ＝１\n"), FindingCode::kUtf8), 0);
}

TEST_F(CheckerTest, BytesThatAreNotShiftJisAreReportedOncePerLine) {
  const Report report =
      Raw("b.mon", "q\x85\x40 and \xFD\r\n\x82\r\nq\r\n\x82\x4F\x81", FileKind::kProblem);
  EXPECT_NE(MessageAt(report, FindingCode::kNotCp932, 1).find("0x85 0x40 0xFD"), std::string::npos);
  EXPECT_FALSE(MessageAt(report, FindingCode::kNotCp932, 2).empty());
  EXPECT_FALSE(MessageAt(report, FindingCode::kNotCp932, 4).empty());
  EXPECT_EQ(report.findings.size(), 3u) << Dump(report);
}

TEST_F(CheckerTest, CrWithoutLfIsReportedOnlyWhereItJoinsLines) {
  const Report joined = Raw("c.mon", Sjis("q\r１\r\n"), FileKind::kProblem);
  EXPECT_FALSE(MessageAt(joined, FindingCode::kLoneCr, 1).empty());
  EXPECT_EQ(CountOf(Raw("c.mon", Sjis("q\r\r\n１\r"), FileKind::kProblem), FindingCode::kLoneCr),
            0);
}

// The checker's pair count must be the drill's, whatever the line ends and Ctrl-Z bytes.
TEST_F(CheckerTest, PairsAreCountedExactlyAsTheDrillLoadsThem) {
  testing::FakeView view;
  Drill drill(view, [] { return 0u; });
  for (const std::string& bytes :
       {std::string("a\r\nb\rc\nd"), std::string("\r\r\r"), std::string("a\n\x1A\nb\n"),
        std::string("a\nb\n\x1A"), std::string("a\nb\nc\n\n\n"), std::string("\n")}) {
    const std::string path = dir.Write("x.mon", bytes);
    drill.ChooseProblemFile([&] { return std::optional<std::string>(path); });
    EXPECT_EQ(Raw("x.mon", bytes, FileKind::kProblem).entries, drill.Bank().problem_count) << bytes;
  }
}

}  // namespace
}  // namespace rekendo
