// The answer buffer and the answer line under the keypad.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "drill.h"
#include "fake_view.h"
#include "keypad_table.h"
#include "sjis.h"
#include "temp_files.h"

namespace rekendo {
namespace {

using testing::FakeView;
using testing::Sjis;

std::string KeyBytes(std::string_view object_name) {
  for (const KeyDef& key : kKeypad) {
    if (key.object_name == object_name) return std::string(key.sjis);
  }
  return {};
}

class KeypadBufferTest : public ::testing::Test {
 protected:
  void StartRound() {
    const std::string path = dir.Write("p.mon", Sjis("問\r\n１２．５\r\n"));
    drill.ChooseProblemFile([&] { return std::optional<std::string>(path); });
    drill.StartRound();
  }
  testing::TempDir dir;
  FakeView view;
  Drill drill{view};
};

TEST(KeypadTable, TwentySevenDistinctFullWidthCharacters) {
  std::set<std::string_view> typed;
  for (const KeyDef& key : kKeypad) {
    if (key.role != KeyRole::Character) continue;
    EXPECT_EQ(key.sjis.size(), 2u) << key.object_name;
    EXPECT_GE(static_cast<unsigned char>(key.sjis[0]), 0x81) << key.object_name;
    typed.insert(key.sjis);
  }
  EXPECT_EQ(typed.size(), 27u);
  EXPECT_EQ(FindKeyTyping(Sjis("－"))->object_name, "keyMinus");
  EXPECT_EQ(FindKeyTyping("1"), nullptr);
}

TEST_F(KeypadBufferTest, KeysAppendTheirBytesWhileAQuestionIsOpen) {
  StartRound();
  for (const char* key : {"key1", "key2", "keyPoint", "key5"}) {
    drill.AppendKey(KeyBytes(key));
  }
  EXPECT_EQ(drill.Snapshot().typed_answer, "\x82\x50\x82\x51\x81\x44\x82\x54");
  EXPECT_EQ(view.text(Label::AnswerLine), Sjis("１２．５"));
  drill.ClearAnswer();
  EXPECT_EQ(drill.Snapshot().typed_answer, "");
  EXPECT_EQ(view.text(Label::AnswerLine), "");
}

TEST_F(KeypadBufferTest, TypingIsDiscardedWhileNoRoundRuns) {
  drill.AppendKey(KeyBytes("key7"));
  EXPECT_EQ(drill.Snapshot().typed_answer, "");
  StartRound();
  for (int i = 0; i < kQuestionsPerRound; ++i) drill.NextQuestion();  // the round is over
  ASSERT_EQ(drill.Snapshot().stage, Stage::kReady);
  view.labels[static_cast<int>(Label::AnswerLine)] = "kept";
  drill.AppendKey(KeyBytes("key7"));
  drill.ClearAnswer();
  EXPECT_EQ(drill.Snapshot().typed_answer, "");
  EXPECT_EQ(view.text(Label::AnswerLine), "kept");
}

TEST_F(KeypadBufferTest, AClosedQuestionKeepsItsAnswerLine) {
  StartRound();
  drill.AppendKey(Sjis("１２．５"));
  drill.SubmitAnswer();
  ASSERT_TRUE(drill.Snapshot().closed);
  drill.AppendKey(KeyBytes("key9"));
  drill.ClearAnswer();
  EXPECT_EQ(view.text(Label::AnswerLine), Sjis("１２．５"));
  drill.AppendKey(KeyBytes("key9"));
  EXPECT_EQ(drill.Snapshot().typed_answer, Sjis("９"));  // grows, but only the next question shows it
  drill.NextQuestion();
  EXPECT_EQ(drill.Snapshot().typed_answer, "");
}

}  // namespace
}  // namespace rekendo
