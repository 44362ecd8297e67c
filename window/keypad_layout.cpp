#include "keypad_layout.h"

namespace rekendo {

namespace {

// The accessible name says in words what the key types, as a screen reader reads it out.
// Columns are 48 pixels apart and rows 64, so neighbouring 49 x 65 keys overlap by a pixel.
// clang-format off
constexpr auto kLookRows = std::to_array<KeyLook>({
    // name            caption height left  top  w   h   tab accessible
    {"key0",      "0",    32, 608, 616, 49, 65,  0, "ゼロ"},
    {"key1",      "1",    32, 608, 552, 49, 65,  1, "イチ"},
    {"key2",      "2",    32, 656, 552, 49, 65,  2, "ニ"},
    {"key3",      "3",    32, 704, 552, 49, 65,  3, "サン"},
    {"key4",      "4",    32, 608, 488, 49, 65,  4, "ヨン"},
    {"key5",      "5",    32, 656, 488, 49, 65,  5, "ゴ"},
    {"key6",      "6",    32, 704, 488, 49, 65,  6, "ロク"},
    {"key7",      "7",    32, 608, 424, 49, 65,  7, "ナナ"},
    {"key8",      "8",    32, 656, 424, 49, 65,  8, "ハチ"},
    {"key9",      "9",    32, 704, 424, 49, 65,  9, "キュウ"},
    {"keyX",      "x",    32, 608, 296, 49, 65, 10, "エックス"},
    {"keyY",      "y",    32, 656, 296, 49, 65, 11, "ワイ"},
    {"keyZ",      "z",    32, 704, 296, 49, 65, 12, "ゼット"},
    {"keyL",      "l",    32, 752, 360, 49, 65, 13, "エル"},
    {"keyM",      "m",    32, 800, 360, 49, 65, 14, "エム"},
    {"keyN",      "n",    32, 848, 360, 49, 65, 15, "エヌ"},
    {"keyA",      "a",    32, 608, 360, 49, 65, 16, "エー"},
    {"keyB",      "b",    32, 656, 360, 49, 65, 17, "ビー"},
    {"keyC",      "c",    32, 704, 360, 49, 65, 18, "シー"},
    {"keyPlus",   "＋",   29, 752, 424, 49, 65, 19, "プラス"},
    {"keyMinus",  "－",   29, 752, 488, 49, 65, 20, "マイナス"},
    {"keyCloseParen", "）", 32, 848, 424, 49, 65, 21, "かっこ閉じる"},
    {"keyOpenParen", "（",  32, 800, 424, 49, 65, 22, "かっこ開く"},
    {"keyRoot",   "√",    32, 848, 488, 49, 65, 23, "ルート"},
    {"keySlash",  "／",   24, 752, 552, 49, 65, 24, "分数の線 (スラッシュ)"},
    {"keyPoint",  "．",   32, 656, 616, 49, 65, 25, "小数点"},
    {"clearKey",  "取消", 24, 704, 616, 97, 65, 26, "取消", true},
    {"submitKey", "決定", 24, 800, 552, 97, 129, 27, "決定"},
    {"keyPower",  "＾",   32, 800, 488, 49, 65, 28, "累乗"},
});
// clang-format on
static_assert(kLookRows.size() == kKeyCount);

constexpr bool SameKeysInSameOrder() {
  for (int i = 0; i < kKeyCount; ++i) {
    if (kLookRows[i].object_name != kKeypad[i].object_name) return false;
  }
  return true;
}
static_assert(SameKeysInSameOrder(), "the layout must list the engine's keys in its order");

}  // namespace

const std::array<KeyLook, kKeyCount> kKeypadLook = kLookRows;

const KeyLook& LookOf(const KeyDef& key) {
  return kKeypadLook[static_cast<std::size_t>(&key - kKeypad.data())];
}

}  // namespace rekendo
