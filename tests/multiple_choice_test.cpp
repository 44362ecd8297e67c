#include "multiple_choice.h"

#include <gtest/gtest.h>

#include <string>

#include "sjis.h"

namespace rekendo {
namespace {

using testing::Sjis;

struct Converted {
  std::string question;
  std::string answer;
  std::uint32_t state_after;
};

Converted Convert(std::string_view question_utf8, std::string_view answer_utf8,
                  std::uint32_t state) {
  RandomSource random;
  random.Reseed(state);
  Converted out{Sjis(question_utf8), Sjis(answer_utf8), 0};
  MakeMultipleChoice(out.question, out.answer, random);
  out.state_after = random.state();
  return out;
}

std::uint32_t StateAfterDraws(std::uint32_t state, int draws) {
  RandomSource random;
  random.Reseed(state);
  for (int i = 0; i < draws; ++i) random.RandomBelow(1);
  return random.state();
}

TEST(MultipleChoice, ShufflesNumbersAndLabelsTheRightChoice) {
  // From state 4 the eleven exchanges leave だいこん, りんご, にんじん: the right one is line １.
  const Converted fruit = Convert("くだものはどれ？", "りんご$にんじん$だいこん", 4);
  EXPECT_EQ(fruit.question, Sjis("くだものはどれ？\r\n０：だいこん\r\n１：りんご\r\n２：にんじん"));
  EXPECT_EQ(fruit.answer, Sjis("１"));

  const Converted other = Convert("くだものはどれ？", "りんご$にんじん$だいこん", 100);
  EXPECT_EQ(other.question, Sjis("くだものはどれ？\r\n０：にんじん\r\n１：りんご\r\n２：だいこん"));
  EXPECT_EQ(other.answer, Sjis("１"));
}

TEST(MultipleChoice, AlwaysTakesTwentyTwoDraws) {
  for (const char* answer : {"a$b", "$", "0$1$2$3$4$5$6$7$8$9", "0$1$2$3$4$5$6$7$8$9$10$11"}) {
    EXPECT_EQ(Convert("q", answer, 77).state_after, StateAfterDraws(77, 22)) << answer;
  }
}

TEST(MultipleChoice, EmptyChoicesAndEmptyQuestion) {
  const Converted lone_dollar = Convert("", "$", 9);
  EXPECT_EQ(lone_dollar.question, Sjis("\r\n０：\r\n１："));
  EXPECT_TRUE(lone_dollar.answer == Sjis("０") || lone_dollar.answer == Sjis("１"));

  // A leading "$" makes the right choice empty: its line is the label and colon alone.
  for (std::uint32_t state = 0; state < 20; ++state) {
    const Converted empty_right = Convert("問", "$誤$誤り", state);
    const std::string line = empty_right.answer + Sjis("：");
    const auto at = empty_right.question.find(line);
    ASSERT_NE(at, std::string::npos);
    const auto end = at + line.size();
    EXPECT_TRUE(end == empty_right.question.size() ||
                empty_right.question.compare(end, 2, "\r\n") == 0);
  }
}

TEST(MultipleChoice, TenChoicesAndTheFirstTenOfMore) {
  const Converted ten = Convert("q", "a$b$c$d$e$f$g$h$i$j", 5);
  const Converted eleven = Convert("q", "a$b$c$d$e$f$g$h$i$j$k$l", 5);
  // Dropping what follows the tenth choice leaves the same ten and the same draws.
  EXPECT_EQ(eleven.question, ten.question);
  EXPECT_EQ(eleven.answer, ten.answer);
  for (const char* label : {"０：", "９："}) {
    EXPECT_NE(ten.question.find(Sjis(label)), std::string::npos);
  }
  EXPECT_EQ(ten.question.find('k'), std::string::npos);
}

TEST(MultipleChoice, AnswerAlwaysPointsAtTheFirstAlternative) {
  for (std::uint32_t state = 0; state < 200; ++state) {
    const Converted c = Convert("q", "R$w1$w2$w3$w4", state * 7919);
    EXPECT_NE(c.question.find("\r\n" + c.answer + Sjis("：") + "R"), std::string::npos) << state;
  }
}

}  // namespace
}  // namespace rekendo
