#include "keypad_layout.h"

namespace rekendo {

namespace {

// Columns are 48 pixels apart and rows 64, so neighbouring 49 x 65 keys overlap by a pixel.
// clang-format off
constexpr auto kLookRows = std::to_array<KeyLook>({
    // name            caption height left  top  w   h   tab accessible
    {"key0",      "0",    32, 608, 616, 49, 65,  0, "０"},
    {"key1",      "1",    32, 608, 552, 49, 65,  1, "１"},
    {"key2",      "2",    32, 656, 552, 49, 65,  2, "２"},
    {"key3",      "3",    32, 704, 552, 49, 65,  3, "３"},
    {"key4",      "4",    32, 608, 488, 49, 65,  4, "４"},
    {"key5",      "5",    32, 656, 488, 49, 65,  5, "５"},
    {"key6",      "6",    32, 704, 488, 49, 65,  6, "６"},
    {"key7",      "7",    32, 608, 424, 49, 65,  7, "７"},
    {"key8",      "8",    32, 656, 424, 49, 65,  8, "８"},
    {"key9",      "9",    32, 704, 424, 49, 65,  9, "９"},
    {"keyX",      "x",    32, 608, 296, 49, 65, 10, "ｘ"},
    {"keyY",      "y",    32, 656, 296, 49, 65, 11, "ｙ"},
    {"keyZ",      "z",    32, 704, 296, 49, 65, 12, "ｚ"},
    {"keyL",      "l",    32, 752, 360, 49, 65, 13, "ｌ"},
    {"keyM",      "m",    32, 800, 360, 49, 65, 14, "ｍ"},
    {"keyN",      "n",    32, 848, 360, 49, 65, 15, "ｎ"},
    {"keyA",      "a",    32, 608, 360, 49, 65, 16, "ａ"},
    {"keyB",      "b",    32, 656, 360, 49, 65, 17, "ｂ"},
    {"keyC",      "c",    32, 704, 360, 49, 65, 18, "ｃ"},
    {"keyPlus",   "＋",   29, 752, 424, 49, 65, 19, "＋"},
    {"keyMinus",  "－",   29, 752, 488, 49, 65, 20, "－"},
    {"keyCloseParen", "）", 32, 848, 424, 49, 65, 21, "）"},
    {"keyOpenParen", "（",  32, 800, 424, 49, 65, 22, "（"},
    {"keyRoot",   "√",    32, 848, 488, 49, 65, 23, "√"},
    {"keySlash",  "／",   24, 752, 552, 49, 65, 24, "／"},
    {"keyPoint",  "．",   32, 656, 616, 49, 65, 25, "．"},
    {"clearKey",  "取消", 24, 704, 616, 97, 65, 26, "答えを消す", true},
    {"submitKey", "決定", 24, 800, 552, 97, 129, 27, "答えを決定する"},
    {"keyPower",  "＾",   32, 800, 488, 49, 65, 28, "＾"},
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
