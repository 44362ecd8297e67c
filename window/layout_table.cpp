#include "layout_table.h"

namespace rekendo {

namespace {
constexpr auto kVCentreLeft = Qt::AlignLeft | Qt::AlignVCenter;
constexpr FontSpec Gothic(int px, bool bold = false) { return {Face::Gothic, px, bold, false}; }
}  // namespace

// clang-format off
const std::array<PanelDef, kPanelCount> kPanels = {{
  {"Lblkaitoran", PanelKind::Label, {608, 176, 385, 33}, Label::Kaitoran, colour::kSkyBlue,
   Gothic(27), {}, kVCentreLeft},
  {"Lblhyoji", PanelKind::Label, {608, 232, 105, 33}, Label::Hyoji, colour::kMoneyGreen,
   Gothic(32, true), colour::kRed, kVCentreLeft},
  {"Bvlkaitoran", PanelKind::SunkenBox, {608, 176, 385, 33}},
  {"Bvlhyoji", PanelKind::SunkenBox, {608, 232, 105, 33}},
  {"Lblmondai", PanelKind::Label, {32, 48, 489, 633}, Label::Mondai, colour::kCream,
   Gothic(32), {}, Qt::AlignLeft | Qt::AlignTop, true},
  {"Bvlmondai", PanelKind::SunkenBox, {32, 48, 489, 633}},
  {"Lblmnnumber", PanelKind::Label, {48, 8, 113, 33}, Label::Mnnumber, colour::kYellow,
   Gothic(32)},
  {"Lblsyomei", PanelKind::Label, {608, 0, 383, 21}, std::nullopt, colour::kWindow,
   {Face::Serif, 21, true, true}, colour::kBlue},
  {"Bvlmnnumber", PanelKind::EtchedFrame, {48, 8, 113, 33}},
  {"Lbltokuten", PanelKind::Label, {608, 120, 105, 33}, Label::Tokuten, colour::kBlue,
   Gothic(32), colour::kRed, Qt::AlignRight | Qt::AlignVCenter},
  {"Bvltokuten", PanelKind::SunkenBox, {608, 120, 105, 33}},
  {"Shptimer", PanelKind::Bar, {552, BarFrame::kTop + BarFrame::kHeight, 25, 0}},
  {"Bvltimer", PanelKind::SunkenBox, {552, BarFrame::kTop, 25, BarFrame::kHeight}},
  {"Lbltimer", PanelKind::Label, {528, 648, 73, 33}, Label::Timer, colour::kWindow,
   Gothic(32), {}, Qt::AlignHCenter | Qt::AlignBottom},
}};

const std::array<CommandButtonDef, kCommandButtonCount> kCommandButtons = {{
  {"BitBtnsentaku", "問題選択", "", {608, 48, 145, 49}, Gothic(29), colour::kFuchsia, 29},
  {"BitBtnkaisi", "Let's Charenge!", "Let's\nCharenge!", {752, 48, 145, 49}, Gothic(21, true),
   colour::kPurple, 30},
  {"BitBtnnext", "Next Question", "Next\nQuestion", {752, 296, 145, 65}, Gothic(27),
   colour::kMaroon, 31},
  {"BitBtnsyuryo", "おわる", "", {896, 48, 113, 49}, Gothic(27), std::nullopt, 32},
}};
// clang-format on

}  // namespace rekendo
