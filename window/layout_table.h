// Where every label, frame and command button of the main window sits and how it looks.
// The keypad's keys are in keypad_layout.h.
#pragma once

#include <QColor>
#include <QRect>
#include <Qt>
#include <array>
#include <optional>
#include <string_view>

#include "drill_view.h"
#include "fonts.h"

namespace rekendo {

namespace colour {
inline const QColor kWindow{0xFF, 0x80, 0xFF};
inline const QColor kYellow{0xFF, 0xFC, 0x6A};
inline const QColor kSkyBlue{0xA6, 0xCA, 0xF0};
inline const QColor kMoneyGreen{0xC0, 0xDC, 0xC0};
inline const QColor kCream{0xFF, 0xFB, 0xF0};
inline const QColor kRed{0xFF, 0x00, 0x00};
inline const QColor kBlue{0x00, 0x00, 0xFF};
inline const QColor kFuchsia{0xFF, 0x00, 0xFF};
inline const QColor kPurple{0x80, 0x00, 0x80};
inline const QColor kMaroon{0x80, 0x00, 0x00};
// The focus frame: dark against the light button face and the pink window alike.
inline const QColor kFocus{0x00, 0x00, 0x80};
}  // namespace colour

// The focus frame's thickness on a key or command button.
inline constexpr int kFocusFrameWidth = 3;

// Labels, frames and the countdown bar, drawn in this order, each over the ones before.
enum class PanelKind { Label, SunkenBox, EtchedFrame, Bar };

struct PanelDef {
  std::string_view object_name;
  PanelKind kind;
  QRect geometry;
  // Labels only:
  std::optional<Label> shows = std::nullopt;  // which drill label it is; none for the credit line
  std::optional<QColor> background = std::nullopt;
  FontSpec font = {};
  std::optional<QColor> text_colour = std::nullopt;  // none: the window-text colour
  Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignTop;
  bool word_wrap = false;
};

inline constexpr int kPanelCount = 14;
extern const std::array<PanelDef, kPanelCount> kPanels;

// What a command button does when pressed. The print, record, generator and settings buttons of
// the band below do what the program sets for them (MainWindow::SetBandAction).
enum class Command {
  kChooseFile, kStart, kNext, kQuit,
  kPrint, kRecord, kGenerate, kSettings, kPractice, kLearners,
};

struct CommandButtonDef {
  Command command;
  std::string_view object_name;
  std::string_view caption;            // UTF-8, as the window opens
  std::string_view activated_caption;  // after the first activation; empty: unchanged
  QRect geometry;
  FontSpec font = {};
  std::optional<QColor> text_colour;
  int tab_order;
};

inline constexpr int kCommandButtonCount = 4;
extern const std::array<CommandButtonDef, kCommandButtonCount> kCommandButtons;

// The band under the round's controls (below y = 681): the status line, then command
// buttons, in tab order after every control above.
enum class BandKind { StatusLine, CommandButton };

struct BandRowDef {
  BandKind kind;
  std::string_view object_name;
  QRect geometry;
  FontSpec font = {};
  // Command buttons only:
  std::optional<Command> command = std::nullopt;
  std::string_view caption = {};  // UTF-8
};

inline constexpr int kBandTop = 681;
inline constexpr int kBandRowCount = 7;
extern const std::array<BandRowDef, kBandRowCount> kBandRows;

inline constexpr int kWindowWidth = 1024;
inline constexpr int kWindowHeight = 768;
inline constexpr std::string_view kWindowCaption = "Rekendo Ver.0.02";
inline constexpr std::string_view kCredit = "Rekendo \xE2\x80\x94 practice makes perfect";

}  // namespace rekendo
