// rekendo-sheet end to end, read back with poppler: the text of every problem and answer in
// order, the embedded face, page counts, a long problem inside its column, seeds, refusals.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include <QFont>
#include <QFontMetricsF>
#include <algorithm>

#include "cp932.h"
#include "math_breaks.h"
#include "sheet_content.h"
#include "sheet_painter.h"
#include "sheet_pdf.h"
#include "temp_files.h"
#include "worksheet_support.h"

namespace rekendo {
namespace {

using testing::Pair;
using testing::PageTexts;
using testing::Quoted;
using testing::RunCommand;

// rekendo-sheet with `arguments`; with the key after the sheet in the same PDF unless they
// say where it goes, so that one file holds the whole layout the tests read back.
testing::Run Sheet(const std::string& arguments) {
  const std::string key = arguments.find("--key") == std::string::npos ? " --key end" : "";
  return RunCommand(Quoted(REKENDO_SHEET_PATH) + " " + arguments + key, true);
}

// Finds each of `wanted` in `text`, each after the one before.
void ExpectInOrder(const std::string& text, const std::vector<std::string>& wanted,
                   const std::string& what) {
  std::string::size_type at = 0;
  for (const std::string& piece : wanted) {
    const auto found = text.find(piece, at);
    ASSERT_NE(found, std::string::npos) << what << ": 「" << piece << "」 not found in order in\n" << text;
    at = found + piece.size();
  }
}

std::string Join(const std::vector<std::string>& pages, std::size_t first, std::size_t end) {
  std::string text;
  for (std::size_t i = first; i < end && i < pages.size(); ++i) text += pages[i];
  return text;
}

TEST(WorksheetTest, PrintsEveryProblemThenEveryAnswerInOrderInEmbeddedIpaGothic) {
  testing::TempDir dir;
  std::vector<Pair> pairs = testing::Sums(40);
  pairs[3] = {"３／４＝", "０．７５$３／４"};
  pairs[7] = {"ｘ＾２＝４、ｘ＝？", "２$－２"};
  const std::string file = dir.Write("四則.mon", testing::ProblemFile(pairs));
  const std::string pdf = dir.Path("四則.pdf");
  ASSERT_EQ(Sheet(Quoted(file) + " -o " + Quoted(pdf) + " --seed 1").status, 0);
  // Every answer with two forms, for the key that lists them all.
  std::vector<Pair> two_forms = pairs;
  for (Pair& pair : two_forms) {
    if (pair.answers.find('$') == std::string::npos) pair.answers += "$" + pair.answers + "．０";
  }
  const std::string all = dir.Path("all.pdf");
  ASSERT_EQ(Sheet(Quoted(dir.Write("two.mon", testing::ProblemFile(two_forms))) + " -o " +
                  Quoted(all) + " --all-answers --paper b5")
                .status,
            0);

  std::vector<std::string> problems = {"四則"};  // the title first
  std::vector<std::string> firsts;
  std::vector<std::string> every;
  for (std::size_t i = 0; i < pairs.size(); ++i) {
    const std::string number = "(" + std::to_string(i + 1) + ")";
    problems.insert(problems.end(), {number, pairs[i].problem});
    firsts.insert(firsts.end(), {number, pairs[i].answers.substr(0, pairs[i].answers.find('$'))});
    every.insert(every.end(),
                 {number, std::regex_replace(two_forms[i].answers, std::regex("\\$"), " または ")});
  }
  const std::vector<std::string> pages = PageTexts(pdf, "-layout");
  ASSERT_EQ(pages.size(), 2u);  // 40 short problems on one page, the key on the next
  ExpectInOrder(pages[0], problems, "problems");
  ExpectInOrder(pages[0], {"なまえ", "日付", "得点", "シード 1"}, "boxes");
  ExpectInOrder(pages[1], firsts, "key");
  EXPECT_EQ(pages[1].find("または"), std::string::npos);
  // Plain text (poppler's own reading order) holds each of them too.
  const std::vector<std::string> plain = PageTexts(pdf);
  ASSERT_EQ(plain.size(), 2u);
  for (const Pair& pair : pairs) {
    EXPECT_NE(plain[0].find(pair.problem), std::string::npos) << pair.problem;
    EXPECT_NE(plain[1].find(pair.answers.substr(0, pair.answers.find('$'))), std::string::npos);
  }

  const std::vector<std::string> all_pages = PageTexts(all, "-layout");
  ExpectInOrder(Join(all_pages, 1, all_pages.size()), every, "all answers");
  EXPECT_NE(RunCommand("pdfinfo " + Quoted(all)).out.find("516 x 729 pts"), std::string::npos);

  const std::string fonts = RunCommand("pdffonts " + Quoted(pdf)).out;
  EXPECT_TRUE(std::regex_search(fonts, std::regex("IPAGothic +CID TrueType +Identity-H +yes")))
      << fonts;
}

TEST(WorksheetTest, PageCountsFollowTheNumberOfProblems) {
  testing::TempDir dir;
  // Sums up to "９９９＋７＝" take two columns (A4): 19 rows on the first page below the boxes,
  // 20 on the next ones; the key takes four columns of 42 rows.
  struct Case {
    int problems;
    int pages;
  };
  for (const Case& c : {Case{10, 2}, Case{100, 3 + 1}, Case{1000, 26 + 6}}) {
    const std::string file = dir.Write("sums.mon", testing::ProblemFile(testing::Sums(c.problems)));
    const std::string pdf = dir.Path("sums-" + std::to_string(c.problems) + ".pdf");
    const testing::Run run = Sheet(Quoted(file) + " -o " + Quoted(pdf));
    ASSERT_EQ(run.status, 0) << run.out;
    EXPECT_EQ(testing::PdfPages(pdf), c.pages) << c.problems << " problems: " << run.out;
    const std::vector<std::string> pages = PageTexts(pdf, "-layout");
    const std::string last = "(" + std::to_string(c.problems) + ")";
    EXPECT_NE(pages.back().find(last), std::string::npos) << "the key ends with the last answer";
  }
}

// No page holds a single problem or answer (169 sums left the last answer alone on the key's
// last page, 168 to a page).
TEST(WorksheetTest, NoPageHoldsALoneProblem) {
  testing::TempDir dir;
  for (const int count : {39, 79, 169}) {
    const std::string file = dir.Write("sums.mon", testing::ProblemFile(testing::Sums(count)));
    const std::string pdf = dir.Path("sums.pdf");
    ASSERT_EQ(Sheet(Quoted(file) + " -o " + Quoted(pdf) + " --force").status, 0);
    const std::vector<std::string> pages = PageTexts(pdf, "-layout");
    const std::regex label("\\([0-9]+\\)");
    for (std::size_t page = 0; page < pages.size(); ++page) {
      const std::ptrdiff_t numbered = std::distance(
          std::sregex_iterator(pages[page].begin(), pages[page].end(), label),
          std::sregex_iterator());
      EXPECT_GE(numbered, 2) << count << " problems, page " << page + 1 << ":\n" << pages[page];
    }
  }
}

// pdftotext -bbox: the boxes of the words of the page.
struct Box {
  double x_min, y_min, x_max, y_max;
  std::string word;
};
std::vector<Box> WordBoxes(const std::string& pdf, int page) {
  const std::string html =
      RunCommand("pdftotext -bbox -f " + std::to_string(page) + " -l " + std::to_string(page) + " " +
                 Quoted(pdf) + " -")
          .out;
  std::vector<Box> boxes;
  const std::regex word(
      "<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\" xMax=\"([0-9.]+)\" yMax=\"([0-9.]+)\">([^<]*)</word>");
  for (auto it = std::sregex_iterator(html.begin(), html.end(), word); it != std::sregex_iterator(); ++it) {
    boxes.push_back({std::stod((*it)[1]), std::stod((*it)[2]), std::stod((*it)[3]),
                     std::stod((*it)[4]), (*it)[5]});
  }
  return boxes;
}

TEST(WorksheetTest, ALongProblemWrapsInsideItsColumn) {
  testing::TempDir dir;
  std::vector<Pair> pairs = testing::Sums(8);
  std::string long_problem = "長い問題";
  while (long_problem.size() < 200 * 3) long_problem += "あいうえおかきくけこ１２３４５６７８９０";
  pairs.insert(pairs.begin() + 3, {long_problem, "１"});  // (4)
  const std::string file = dir.Write("long.mon", testing::ProblemFile(pairs));
  for (const std::string paper : {"a4", "b5", "a4-landscape"}) {
    const std::string pdf = dir.Path(paper + ".pdf");
    ASSERT_EQ(Sheet(Quoted(file) + " -o " + Quoted(pdf) + " --paper " + paper).status, 0);
    const std::vector<Box> boxes = WordBoxes(pdf, 1);
    const std::string info = RunCommand("pdfinfo " + Quoted(pdf)).out;
    std::smatch size;
    ASSERT_TRUE(std::regex_search(info, size, std::regex("Page size: +([0-9.]+) x ([0-9.]+)")));
    const double width = std::stod(size[1]);
    const double height = std::stod(size[2]);
    const auto paper_kind = paper == "a4"   ? worksheet::Paper::kA4
                            : paper == "b5" ? worksheet::Paper::kB5
                                            : worksheet::Paper::kA4Landscape;
    // The columns the sheet chose for these problems; (4) is in the fourth cell of the rows.
    worksheet::SheetRequest request;
    request.problem_file = file;
    const auto sheet = worksheet::BuildSheet(request);
    ASSERT_TRUE(sheet);
    const int columns =
        worksheet::ProblemColumns(std::get<worksheet::ProblemSheet>(sheet->content), paper_kind);
    EXPECT_GE(columns, 2) << paper << ": one long problem does not make the sheet one column";
    const auto [left, right] = worksheet::ColumnSpan(paper_kind, columns, 3 % columns);
    int long_words = 0;
    for (const Box& box : boxes) {
      EXPECT_GE(box.x_min, 0);
      EXPECT_LE(box.x_max, width);
      EXPECT_GE(box.y_min, 0);
      EXPECT_LE(box.y_max, height);
      if (!std::regex_search(box.word, std::regex("あ|い|う|お|き|く|け|こ|長"))) continue;
      ++long_words;
      EXPECT_GE(box.x_min, left - 0.5) << paper << ": " << box.word;
      EXPECT_LE(box.x_max, right + 0.5) << paper << ": " << box.word;
    }
    EXPECT_GE(long_words, 6) << paper << ": the problem wraps over many lines";
  }
}

TEST(WorksheetTest, TheSameSeedMakesTheSameSheet) {
  testing::TempDir dir;
  const std::string file = dir.Write("sums.mon", testing::ProblemFile(testing::Sums(200)));
  const auto text_of = [&](const std::string& arguments) {
    const std::string pdf = dir.Path("seed.pdf");
    std::filesystem::remove(pdf);
    EXPECT_EQ(Sheet(arguments + " -o " + Quoted(pdf)).status, 0) << arguments;
    return RunCommand("pdftotext -layout " + Quoted(pdf) + " -").out;
  };
  const std::string chosen = Quoted(file) + " --count 12";
  EXPECT_EQ(text_of(chosen + " --seed 42"), text_of(chosen + " --seed 42"));
  EXPECT_NE(text_of(chosen + " --seed 42"), text_of(chosen + " --seed 43"));
  EXPECT_EQ(text_of("--topic factor --level 2 --count 30 --seed 5"),
            text_of("--topic factor --level 2 --count 30 --seed 5"));
  EXPECT_EQ(text_of("--grid sub --level 2 --seed 5"), text_of("--grid sub --level 2 --seed 5"));
}

TEST(WorksheetTest, GridKeyHoldsEveryResult) {
  testing::TempDir dir;
  for (const auto& [name, operation] :
       {std::pair{"add", worksheet::GridOperation::kAdd}, {"sub", worksheet::GridOperation::kSub},
        {"mul", worksheet::GridOperation::kMul}}) {
    for (int level = 1; level <= 3; ++level) {
      const std::string pdf = dir.Path(std::string(name) + std::to_string(level) + ".pdf");
      ASSERT_EQ(Sheet(std::string("--grid ") + name + " --level " + std::to_string(level) +
                      " --seed 77 -o " + Quoted(pdf))
                    .status,
                0);
      const worksheet::GridSheet grid = worksheet::MakeGrid(operation, level, 77);
      const std::vector<std::string> pages = PageTexts(pdf, "-layout");
      ASSERT_EQ(pages.size(), 2u);
      ExpectInOrder(pages[0], {"百ます計算", "かかった時間"}, name);
      // The key's lines, spaces collapsed: each row is one of them, "down r0 r1 … r9".
      std::string lines = "|";
      std::istringstream in(pages[1]);
      for (std::string line; std::getline(in, line);) {
        line = std::regex_replace(std::regex_replace(line, std::regex(" +"), " "),
                                  std::regex("^ | $"), "");
        if (!line.empty()) lines += line + "|";
      }
      for (int row = 0; row < worksheet::kGridSize; ++row) {
        std::string wanted = std::to_string(grid.down[static_cast<std::size_t>(row)]);
        for (int column = 0; column < worksheet::kGridSize; ++column) {
          EXPECT_GE(grid.Cell(row, column), 0) << name << level;
          wanted += " " + std::to_string(grid.Cell(row, column));
        }
        EXPECT_NE(lines.find("|" + wanted + "|"), std::string::npos)
            << name << level << ": " << wanted << "\n" << lines;
      }
    }
  }
}

TEST(WorksheetTest, RefusalsExitTwoAndLeaveNoPdf) {
  testing::TempDir dir;
  const std::string out = dir.Path("out.pdf");
  const std::string empty = dir.Write("empty.mon", "");
  const std::string blank = dir.Write("blank.mon", "\r\n\r\n  \r\n\r\n");
  std::filesystem::create_directory(dir.Path("folder.mon"));
  struct Case {
    std::string arguments;
    std::string message;
  };
  for (const Case& c : std::vector<Case>{
           {Quoted(dir.Path("none.mon")), "ファイルが見つかりません"},  // the drill's own words
           {Quoted(dir.Path("folder.mon")), "ファイルへのアクセスが拒否されました"},
           {Quoted(empty), "問題がありません"},
           {Quoted(blank), "印刷できる問題がありません"},
           {Quoted(empty) + " --count 0", "--count"},
           {"--topic nosuch", "nosuch"},
           {"--topic mul --level 1 --count 65", "64"},
           {"--grid div", "--grid"},
           {"--grid add --count 5", "--count"},
       }) {
    const testing::Run run = Sheet(c.arguments + " -o " + Quoted(out));
    EXPECT_EQ(run.status, 2) << c.arguments;
    EXPECT_TRUE(run.out.starts_with("rekendo-sheet: ")) << run.out;
    EXPECT_NE(run.out.find(c.message), std::string::npos) << c.arguments << ": " << run.out;
    EXPECT_FALSE(std::filesystem::exists(out)) << c.arguments;
  }
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                          std::filesystem::directory_iterator()),
            3) << "no temporary file is left behind";
}

TEST(WorksheetTest, AnExistingFileIsReplacedOnlyWithForce) {
  testing::TempDir dir;
  const std::string file = dir.Write("sums.mon", testing::ProblemFile(testing::Sums(5)));
  const std::string out = dir.Write("out.pdf", "the teacher's own PDF");
  const testing::Run refused = Sheet(Quoted(file) + " -o " + Quoted(out));
  EXPECT_EQ(refused.status, 2);
  EXPECT_NE(refused.out.find("--force"), std::string::npos) << refused.out;
  EXPECT_EQ(testing::ReadFile(out), "the teacher's own PDF");
  // The problem file itself is never the output, not even with --force.
  EXPECT_EQ(Sheet(Quoted(file) + " -o " + Quoted(file) + " --force").status, 2);
  EXPECT_EQ(testing::ReadFile(file), testing::ProblemFile(testing::Sums(5)));
  // The library refuses too, when another program made the file meanwhile.
  worksheet::SheetRequest request;
  request.problem_file = file;
  EXPECT_FALSE(worksheet::MakeSheetPdf(request, out, worksheet::Existing::kKeep));
  EXPECT_EQ(testing::ReadFile(out), "the teacher's own PDF");

  EXPECT_EQ(Sheet(Quoted(file) + " -o " + Quoted(out) + " --force").status, 0);
  EXPECT_TRUE(testing::ReadFile(out).starts_with("%PDF-"));
  EXPECT_EQ(Sheet("--version").out, std::string("rekendo-sheet ") + REKENDO_VERSION + "\n");
}

}  // namespace
}  // namespace rekendo

namespace rekendo {
namespace {

// Lines break before an operator, after a space or inside Japanese prose; never inside a
// number, a term or a bracketed group (the breaks a teacher saw: 「０．４」/「５」,
// 「（ｘ＋３ｙ）（ｘ－３」/「ｙ）」, 「４ｂ＾」/「２」, 「１２３」/「４５６７８９」, a line opening with 「／１０」).
TEST(MathBreaksTest, NumbersTermsAndGroupsStayWhole) {
  const auto breaks = [](const char16_t* text) {
    std::string marked;
    const QString q = QString::fromUtf16(text);
    const std::vector<qsizetype> at = worksheet::MathBreaks(q);
    for (qsizetype i = 0; i < q.size(); ++i) {
      if (std::find(at.begin(), at.end(), i) != at.end()) marked += "|";
      marked += QString(q[i]).toStdString();
    }
    return marked;
  };
  EXPECT_EQ(breaks(u"０．４５"), "０．４５");
  EXPECT_EQ(breaks(u"（ｘ＋３ｙ）（ｘ－３ｙ）"), "（ｘ＋３ｙ）（ｘ－３ｙ）");
  EXPECT_EQ(breaks(u"４ｂ＾２"), "４ｂ＾２");
  EXPECT_EQ(breaks(u"１２３４５６７８９"), "１２３４５６７８９");
  EXPECT_EQ(breaks(u"２／１１－３／４"), "２／１１|－３／４");
  EXPECT_EQ(breaks(u"６ｘ＾２＋２９ｘｙ＋２８ｙ＾２"), "６ｘ＾２|＋２９ｘｙ|＋２８ｙ＾２");
  EXPECT_EQ(breaks(u"－５（ｘ－３）＝－１５"), "－５（ｘ－３）|＝－１５");  // a leading sign stays
  EXPECT_EQ(breaks(u"りんご１２個。"), "り|ん|ご|１２|個。");
}

TEST(MathBreaksTest, WrappedLinesKeepWithinTheWidthAndLoseNothing) {
  const QFont font = QFont(QStringLiteral("IPAGothic"), 12);
  const QFontMetricsF metrics(font);
  const QString text = QStringLiteral("（ｘ＋３ｙ）（ｘ－３ｙ）＋６ｘ＾２＋２９ｘｙ＋２８ｙ＾２－０．４５＝１２３４５６７８９");
  // From the narrowest line the widest group fits on.
  const double group = metrics.horizontalAdvance(QStringLiteral("（ｘ＋３ｙ）（ｘ－３ｙ）＋"));
  for (const double width : {group, group + 30, 400.0}) {
    const QString wrapped = worksheet::WrapMath(text, metrics, width);
    QString joined = wrapped;
    joined.remove(QChar(0x2028));
    EXPECT_EQ(joined, text);
    for (const QString& line : wrapped.split(QChar(0x2028))) {
      // Only a piece wider than the line on its own may pass it, and none here is.
      EXPECT_LE(metrics.horizontalAdvance(line), width) << line.toStdString();
      EXPECT_FALSE(line.startsWith(QStringLiteral("ｙ"))) << line.toStdString();
    }
  }
}

// The sample 展開と因数分解 set as a teacher prints it: every answer of its key whole on one
// line of the PDF's text.
TEST(WorksheetTest, EveryAnswerOfTheSampleSetIsWholeOnALine) {
  testing::TempDir dir;
  const std::string pdf = dir.Path("sheet.pdf");
  const std::string set = std::string(REKENDO_SOURCE_DIR) + "/data/展開と因数分解.mon";
  ASSERT_EQ(Sheet(Quoted(set) + " -o " + Quoted(pdf)).status, 0);
  const std::string text = RunCommand("pdftotext -raw " + Quoted(pdf) + " -").out;
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  const std::string utf8 = text::Cp932ToUtf8(testing::ReadFile(set));
  std::istringstream pairs(utf8);
  int answers = 0;
  for (std::string problem, answer; std::getline(pairs, problem) && std::getline(pairs, answer);) {
    if (!answer.empty() && answer.back() == '\r') answer.pop_back();
    answer = answer.substr(0, answer.find('$'));
    if (answer.empty()) continue;
    ++answers;
    const bool whole = std::any_of(lines.begin(), lines.end(), [&](const std::string& line) {
      return line.find(answer) != std::string::npos;
    });
    EXPECT_TRUE(whole) << "「" << answer << "」 is broken across lines";
  }
  EXPECT_GT(answers, 10);
}

}  // namespace
}  // namespace rekendo

namespace rekendo {
namespace {

// By default the key is a PDF of its own beside the sheet, so that a duplex printer never
// prints it on the back; each file's footer counts its own pages; --key none leaves it out.
TEST(WorksheetTest, TheKeyIsAFileOfItsOwnUnlessToldOtherwise) {
  testing::TempDir dir;
  const std::string file = dir.Write("sums.mon", testing::ProblemFile(testing::Sums(20)));
  const std::string pdf = dir.Path("sums.pdf");
  const std::string key = dir.Path("sums-解答.pdf");
  const testing::Run run = Sheet(Quoted(file) + " -o " + Quoted(pdf) + " --key separate");
  ASSERT_EQ(run.status, 0) << run.out;
  EXPECT_NE(run.out.find("sums-解答.pdf"), std::string::npos) << run.out;
  ASSERT_EQ(testing::PdfPages(pdf), 1);
  ASSERT_EQ(testing::PdfPages(key), 1);
  const std::vector<std::string> sheet = PageTexts(pdf, "-layout");
  EXPECT_NE(sheet[0].find("1 / 1"), std::string::npos) << "the footer counts the sheet's pages";
  EXPECT_EQ(sheet[0].find("解答"), std::string::npos) << sheet[0];
  EXPECT_NE(PageTexts(key, "-layout")[0].find("解答"), std::string::npos);
  // Both exist now: neither is replaced without --force.
  EXPECT_EQ(Sheet(Quoted(file) + " -o " + Quoted(dir.Path("other.pdf")) + " --key separate").status, 0);
  std::filesystem::remove(pdf);
  EXPECT_EQ(Sheet(Quoted(file) + " -o " + Quoted(pdf) + " --key separate").status, 2)
      << "the key beside it is kept";
  EXPECT_FALSE(std::filesystem::exists(pdf));

  const std::string alone = dir.Path("alone.pdf");
  ASSERT_EQ(Sheet(Quoted(file) + " -o " + Quoted(alone) + " --key none").status, 0);
  EXPECT_EQ(testing::PdfPages(alone), 1);
  EXPECT_FALSE(std::filesystem::exists(dir.Path("alone-解答.pdf")));
  // The default is a key of its own.
  const std::string plain = dir.Path("plain.pdf");
  ASSERT_EQ(RunCommand(Quoted(REKENDO_SHEET_PATH) + " " + Quoted(file) + " -o " + Quoted(plain)).status, 0);
  EXPECT_TRUE(std::filesystem::exists(dir.Path("plain-解答.pdf")));
  EXPECT_EQ(testing::PdfPages(plain), 1);
}

}  // namespace
}  // namespace rekendo

namespace rekendo {
namespace {

// A file that is no Shift-JIS problem file printed garbage and exited 0; a problem without an
// answer gave a blank key entry. Now: UTF-8 prints as its text says, UTF-16 and binary data
// are refused (exit 2, no PDF), and a missing answer is named by its line.
TEST(WorksheetTest, FilesThatAreNoProblemFilesAreRefusedAndUtf8IsRead) {
  testing::TempDir dir;
  const auto refused = [&](const std::string& name, const std::string& bytes,
                           const std::string& said) {
    const std::string pdf = dir.Path(name + ".pdf");
    const testing::Run run = Sheet(Quoted(dir.Write(name, bytes)) + " -o " + Quoted(pdf));
    EXPECT_EQ(run.status, 2) << name << ": " << run.out;
    EXPECT_NE(run.out.find(said), std::string::npos) << name << ": " << run.out;
    EXPECT_FALSE(std::filesystem::exists(pdf)) << name;
  };
  refused("utf16.mon", std::string("\xFF\xFE" "1\0+\0" "1\0\r\0\n\0" "2\0\r\0\n\0", 16), "UTF-16");
  refused("picture.mon", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR\0\0\0\x10", 20), "問題ファイルではありません");
  refused("short.mon", testing::Sjis("１＋１\r\n２\r\n２＋２\r\n"), "4 行目");

  const std::string pdf = dir.Path("utf8.pdf");
  ASSERT_EQ(Sheet(Quoted(dir.Write("utf8.mon", "ひき算のもんだい\r\n５\r\nたし算のもんだい\r\n７\r\n")) +
                  " -o " + Quoted(pdf)).status, 0);
  const std::string text = RunCommand("pdftotext -raw " + Quoted(pdf) + " -").out;
  EXPECT_NE(text.find("ひき算のもんだい"), std::string::npos) << text;
  EXPECT_NE(text.find("たし算のもんだい"), std::string::npos) << text;
}

}  // namespace
}  // namespace rekendo
