#include "keypad_table.h"

namespace rekendo {

namespace {
constexpr KeyRole C = KeyRole::Character;
}  // namespace

// Columns are 48 pixels apart and rows 64, so neighbouring 49 x 65 keys overlap by a pixel.
// clang-format off
namespace {
// Sized by its rows, so that a missing or extra row fails to compile instead of leaving a
// default key.
constexpr auto kKeypadRows = std::to_array<KeyDef>({
    // name            caption height left  top  w   h   tab role              bytes        accessible
    {"key0",      "0",    32, 608, 616, 49, 65,  0, C, "\x82\x4F", "０"},
    {"key1",      "1",    32, 608, 552, 49, 65,  1, C, "\x82\x50", "１"},
    {"key2",      "2",    32, 656, 552, 49, 65,  2, C, "\x82\x51", "２"},
    {"key3",      "3",    32, 704, 552, 49, 65,  3, C, "\x82\x52", "３"},
    {"key4",      "4",    32, 608, 488, 49, 65,  4, C, "\x82\x53", "４"},
    {"key5",      "5",    32, 656, 488, 49, 65,  5, C, "\x82\x54", "５"},
    {"key6",      "6",    32, 704, 488, 49, 65,  6, C, "\x82\x55", "６"},
    {"key7",      "7",    32, 608, 424, 49, 65,  7, C, "\x82\x56", "７"},
    {"key8",      "8",    32, 656, 424, 49, 65,  8, C, "\x82\x57", "８"},
    {"key9",      "9",    32, 704, 424, 49, 65,  9, C, "\x82\x58", "９"},
    {"keyX",      "x",    32, 608, 296, 49, 65, 10, C, "\x82\x98", "ｘ"},
    {"keyY",      "y",    32, 656, 296, 49, 65, 11, C, "\x82\x99", "ｙ"},
    {"keyZ",      "z",    32, 704, 296, 49, 65, 12, C, "\x82\x9A", "ｚ"},
    {"keyL",      "l",    32, 752, 360, 49, 65, 13, C, "\x82\x8C", "ｌ"},
    {"keyM",      "m",    32, 800, 360, 49, 65, 14, C, "\x82\x8D", "ｍ"},
    {"keyN",      "n",    32, 848, 360, 49, 65, 15, C, "\x82\x8E", "ｎ"},
    {"keyA",      "a",    32, 608, 360, 49, 65, 16, C, "\x82\x81", "ａ"},
    {"keyB",      "b",    32, 656, 360, 49, 65, 17, C, "\x82\x82", "ｂ"},
    {"keyC",      "c",    32, 704, 360, 49, 65, 18, C, "\x82\x83", "ｃ"},
    {"keyPlus",   "＋",   29, 752, 424, 49, 65, 19, C, "\x81\x7B", "＋"},
    {"keyMinus",  "－",   29, 752, 488, 49, 65, 20, C, "\x81\x7C", "－"},
    {"keyCloseParen", "）",   32, 848, 424, 49, 65, 21, C, "\x81\x6A", "）"},
    {"keyOpenParen", "（",   32, 800, 424, 49, 65, 22, C, "\x81\x69", "（"},
    {"keyRoot",   "√",    32, 848, 488, 49, 65, 23, C, "\x81\xE3", "√"},
    {"keySlash",  "／",   24, 752, 552, 49, 65, 24, C, "\x81\x5E", "／"},
    {"keyPoint",    "．",   32, 656, 616, 49, 65, 25, C, "\x81\x44", "．"},
    {"clearKey",   "取消", 24, 704, 616, 97, 65, 26, KeyRole::Clear, {}, "答えを消す", true},
    {"submitKey", "決定", 24, 800, 552, 97, 129, 27, KeyRole::Submit, {}, "答えを決定する"},
    {"keyPower",  "＾",   32, 800, 488, 49, 65, 28, C, "\x81\x4F", "＾"},
});
// clang-format on
static_assert(kKeypadRows.size() == kKeyCount);
}  // namespace

const std::array<KeyDef, kKeyCount> kKeypad = kKeypadRows;

const KeyDef* FindKeyTyping(std::string_view two_bytes) {
  for (const KeyDef& key : kKeypad) {
    if (key.role == KeyRole::Character && key.sjis == two_bytes) return &key;
  }
  return nullptr;
}

}  // namespace rekendo
