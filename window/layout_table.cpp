#include "layout_table.h"

namespace rekendo {

namespace {
constexpr auto kVCentreLeft = Qt::AlignLeft | Qt::AlignVCenter;
constexpr FontSpec Gothic(int px, bool bold = false) { return {Face::Gothic, px, bold, false}; }
}  // namespace

// clang-format off
// Sized by its rows: a missing or extra row fails to compile instead of leaving a default.
namespace {
const auto kPanelsRows = std::to_array<PanelDef>({
  {"answerLine", PanelKind::Label, {608, 176, 385, 33}, Label::AnswerLine, colour::kSkyBlue,
   Gothic(27), {}, kVCentreLeft},
  {"verdict", PanelKind::Label, {608, 232, 105, 33}, Label::Verdict, colour::kMoneyGreen,
   Gothic(32, true), colour::kRed, kVCentreLeft},
  {"answerLineFrame", PanelKind::SunkenBox, {608, 176, 385, 33}},
  {"verdictFrame", PanelKind::SunkenBox, {608, 232, 105, 33}},
  {"problemPanel", PanelKind::Label, {32, 48, 489, 633}, Label::ProblemPanel, colour::kCream,
   Gothic(32), {}, Qt::AlignLeft | Qt::AlignTop, true},
  {"problemPanelFrame", PanelKind::SunkenBox, {32, 48, 489, 633}},
  {"questionNumber", PanelKind::Label, {48, 8, 113, 33}, Label::QuestionNumber, colour::kYellow,
   Gothic(32)},
  {"credit", PanelKind::Label, {608, 0, 383, 21}, std::nullopt, colour::kWindow,
   {Face::Serif, 21, true, true}, colour::kBlue},
  {"questionNumberFrame", PanelKind::EtchedFrame, {48, 8, 113, 33}},
  {"score", PanelKind::Label, {608, 120, 105, 33}, Label::Score, colour::kBlue,
   Gothic(32), colour::kRed, Qt::AlignRight | Qt::AlignVCenter},
  {"scoreFrame", PanelKind::SunkenBox, {608, 120, 105, 33}},
  {"countdownBar", PanelKind::Bar, {552, BarFrame::kTop + BarFrame::kHeight, 25, 0}},
  {"countdownFrame", PanelKind::SunkenBox, {552, BarFrame::kTop, 25, BarFrame::kHeight}},
  {"secondsLeft", PanelKind::Label, {528, 648, 73, 33}, Label::SecondsLeft, colour::kWindow,
   Gothic(32), {}, Qt::AlignHCenter | Qt::AlignBottom},
});
static_assert(std::tuple_size_v<decltype(kPanelsRows)> == kPanelCount);
}  // namespace
const std::array<PanelDef, kPanelCount> kPanels = kPanelsRows;

// Sized by its rows: a missing or extra row fails to compile instead of leaving a default.
namespace {
const auto kCommandButtonsRows = std::to_array<CommandButtonDef>({
  {Command::kChooseFile, "chooseFileButton", "問題選択", "", {608, 48, 145, 49}, Gothic(29), colour::kFuchsia, 29},
  {Command::kStart, "startButton", "Let's Charenge!", "Let's\nCharenge!", {752, 48, 145, 49}, Gothic(21, true),
   colour::kPurple, 30},
  {Command::kNext, "nextButton", "Next Question", "Next\nQuestion", {752, 296, 145, 65}, Gothic(27),
   colour::kMaroon, 31},
  {Command::kQuit, "quitButton", "おわる", "", {896, 48, 113, 49}, Gothic(27), std::nullopt, 32},
});
static_assert(std::tuple_size_v<decltype(kCommandButtonsRows)> == kCommandButtonCount);
}  // namespace
const std::array<CommandButtonDef, kCommandButtonCount> kCommandButtons = kCommandButtonsRows;

// The status line leaves room for two lines of its text; the buttons end where おわる does.
// Buttons added later sit left of the first ones yet follow them in tab order.
// Sized by its rows: a missing or extra row fails to compile instead of leaving a default.
namespace {
const auto kBandRowsRows = std::to_array<BandRowDef>({
  {BandKind::StatusLine, "statusLine", {32, 686, 523, 44}, Gothic(16)},
  {BandKind::CommandButton, "printButton", {740, 688, 50, 41}, Gothic(16), Command::kPrint, "印刷"},
  {BandKind::CommandButton, "recordButton", {797, 688, 50, 41}, Gothic(16), Command::kRecord, "成績"},
  {BandKind::CommandButton, "generateButton", {854, 688, 98, 41}, Gothic(16), Command::kGenerate,
   "問題を作る"},
  {BandKind::CommandButton, "settingsButton", {959, 688, 50, 41}, Gothic(16), Command::kSettings, "設定"},
  {BandKind::CommandButton, "practiceButton", {562, 688, 98, 41}, Gothic(16), Command::kPractice,
   "今日の練習"},
  {BandKind::CommandButton, "learnersButton", {667, 688, 66, 41}, Gothic(16), Command::kLearners,
   "学習者"},
});
static_assert(std::tuple_size_v<decltype(kBandRowsRows)> == kBandRowCount);
}  // namespace
const std::array<BandRowDef, kBandRowCount> kBandRows = kBandRowsRows;
// clang-format on

}  // namespace rekendo
