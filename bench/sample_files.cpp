#include "sample_files.h"

#include "sjis_texts.h"

namespace rekendo::bench {
namespace {

constexpr std::string_view kX = "\x82\x98";                                 // ｘ
constexpr std::string_view kPlus = "\x81\x7b";                              // ＋
constexpr std::string_view kMinus = "\x81\x7c";                             // －
constexpr std::string_view kEquals = "\x81\x81";                            // ＝
constexpr std::string_view kWhen = " \x82\xcc\x82\xc6\x82\xab\x81\x41";     // " のとき、"
constexpr std::string_view kValueOf = " \x82\xcc\x92\x6c\x82\xcd\x81\x48";  // " の値は？"
constexpr std::string_view kWhichIs = "\x90\xb3\x82\xb5\x82\xa2\x82\xcc\x82\xcd";  // 正しいのは
constexpr std::string_view kCompute = "\x82\xf0\x8c\x76\x8e\x5a\x82\xb9\x82\xe6";  // を計算せよ
constexpr std::string_view kPi = "\x89\x7e\x8e\xfc\x97\xa6";                       // 円周率
constexpr std::string_view kAbout = "\x96\xf1";                                    // 約

std::string ProblemLine(int i) {
  std::string line(kX);
  line += kPlus;
  line += FullWidthNumber(i % 17 + 2);
  line += kEquals;
  line += FullWidthNumber(i % 23 + 5);
  line += kWhen;
  line += kX;
  line += kValueOf;
  return line;
}

std::string AnswerLine(int i) { return FullWidthNumber(i % 23 + 5 - (i % 17 + 2)); }

void AppendLine(std::string& out, std::string_view line) {
  out += line;
  out += sjis::kLineBreak;
}

}  // namespace

std::string FullWidthNumber(long n) {
  std::string text;
  if (n < 0) text += kMinus;
  const std::string digits = std::to_string(n < 0 ? -n : n);
  for (const char digit : digits) text += sjis::kDigits[digit - '0'];
  return text;
}

std::string ProblemFileBytes(int pairs) {
  std::string out;
  for (int i = 0; i < pairs; ++i) {
    AppendLine(out, ProblemLine(i));
    AppendLine(out, AnswerLine(i));
  }
  return out;
}

std::string TriviaFileBytes(int pairs) {
  std::string out;
  for (int i = 0; i < pairs; ++i) {
    std::string question(kPi);
    question += kAbout;
    question += FullWidthNumber(i);
    question += kCompute;
    question += kWhichIs;
    if (i % 3 == 0) {
      AppendLine(out, question);
      std::string choices = FullWidthNumber(314);
      for (int wrong = 1; wrong <= 3; ++wrong) {
        choices += '$';
        choices += FullWidthNumber(314 + wrong * 7);
      }
      AppendLine(out, choices);
    } else {
      AppendLine(out, question);
      AppendLine(out, FullWidthNumber(i * 3 + 1));
    }
  }
  return out;
}

std::string JudgementFileBytes() {
  std::string out;
  for (int level = 0; level < 11; ++level) {
    std::string message = FullWidthNumber(level);
    message += kWhichIs;
    message += kCompute;
    AppendLine(out, message);
  }
  return out;
}

std::string TypicalLinesBytes(std::size_t bytes) {
  std::string out;
  out.reserve(bytes + 256);
  for (int i = 0; out.size() < bytes; ++i) {
    AppendLine(out, ProblemLine(i));
    AppendLine(out, AnswerLine(i));
  }
  return out;
}

std::string HugeLinesBytes(std::size_t bytes, int lines) {
  const std::size_t line_size = bytes / static_cast<std::size_t>(lines);
  const std::string unit = ProblemLine(7);
  std::string out;
  out.reserve(bytes + unit.size());
  for (int line = 0; line < lines; ++line) {
    const std::size_t end = out.size() + line_size - sjis::kLineBreak.size();
    while (out.size() + unit.size() <= end) out += unit;
    out.append(end - out.size(), 'a');
    out += sjis::kLineBreak;
  }
  return out;
}

std::string AcceptedAnswers(std::size_t bytes, std::string_view last) {
  const std::string piece = FullWidthNumber(12345);
  std::string out;
  out.reserve(bytes + piece.size() + last.size());
  while (out.size() + piece.size() + 1 + last.size() <= bytes) {
    out += piece;
    out += '$';
  }
  out += last;
  return out;
}

}  // namespace rekendo::bench
