#include "cp932.h"

#include <gtest/gtest.h>

#include "keypad_table.h"
#include "sjis.h"

namespace rekendo {
namespace {

TEST(Cp932Display, KeypadCharactersShowAsTheirFullWidthForms) {
  // CP932, unlike plain Shift_JIS, maps 81 7C to the full-width minus the key shows.
  EXPECT_EQ(text::Cp932ToUtf16("\x81\x7C"), u"\uFF0D");
  EXPECT_EQ(text::Cp932ToUtf16("\x81\xE3"), u"\u221A");
  EXPECT_EQ(text::Cp932ToUtf8(testing::Sjis("問題1 または ２")), "問題1 または ２");
}

TEST(Cp932Display, InvalidAndTruncatedBytesBecomeReplacementCharacters) {
  EXPECT_EQ(text::Cp932ToUtf16("a\x82"), u"a\uFFFD");  // lead byte cut by the end
  EXPECT_EQ(text::Cp932ToUtf16("\xA0"
                         "b"),
            u"\uFFFD"
            "b");  // not a CP932 byte
  EXPECT_EQ(text::Cp932ToUtf16("\x82\x20"
                         "c"),
            u"\uFFFD c");  // lead byte without its trail
  EXPECT_EQ(text::Cp932ToUtf16(std::string_view("x\0y", 3)), std::u16string(u"x\0y", 3));
  EXPECT_EQ(text::Cp932ToUtf8("\xFF"), "\xEF\xBF\xBD");
  EXPECT_EQ(text::Cp932ToUtf16(""), u"");
}

TEST(Cp932Display, LongTextConvertsWhole) {
  std::string long_text;
  for (int i = 0; i < 100000; ++i) long_text += "\x82\x4F";
  EXPECT_EQ(text::Cp932ToUtf16(long_text), std::u16string(100000, u'\uFF10'));
}

}  // namespace
}  // namespace rekendo
