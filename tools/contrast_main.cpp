// rekendo-contrast: the contrast ratio (WCAG 2.x relative luminance) of every text colour
// against its background, read from the window's tables and the Fusion palette the program
// uses, as a Markdown table. Texts of our own (the band, the status line, the dialogs) must
// reach 4.5:1; the exit status is 1 when one does not.
#include <QApplication>
#include <QPalette>
#include <QStyle>
#include <QStyleFactory>
#include <cmath>
#include <cstdio>

#include "keypad_layout.h"
#include "layout_table.h"

namespace {

double Channel(int value) {
  const double c = value / 255.0;
  return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double Luminance(const QColor& colour) {
  return 0.2126 * Channel(colour.red()) + 0.7152 * Channel(colour.green()) +
         0.0722 * Channel(colour.blue());
}

double Ratio(const QColor& a, const QColor& b) {
  const double la = Luminance(a);
  const double lb = Luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

struct Counter {
  int short_of_ours = 0;
  void Row(const char* what, const QColor& text, const QColor& back, bool ours) {
    const double ratio = Ratio(text, back);
    const bool short_ = ratio < 4.5;
    std::printf("| %s | %s | %s | %.2f:1 | %s |\n", what, qPrintable(text.name()),
                qPrintable(back.name()), ratio,
                ours ? (short_ ? "ours: SHORT of 4.5" : "ours: meets 4.5") : "given");
    if (ours && short_) ++short_of_ours;
  }
};

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
  const QPalette fusion = QApplication::style()->standardPalette();
  const QColor button = fusion.color(QPalette::Button);
  const QColor button_text = fusion.color(QPalette::ButtonText);
  const QColor window_text = fusion.color(QPalette::WindowText);
  using namespace rekendo;

  Counter count;
  std::puts("| text | colour | background | ratio | |\n|---|---|---|---|---|");
  for (const PanelDef& def : kPanels) {
    if (def.kind != PanelKind::Label) continue;
    count.Row(def.object_name.data(), def.text_colour.value_or(window_text),
              def.background.value_or(colour::kWindow), false);
  }
  for (const CommandButtonDef& def : kCommandButtons) {
    count.Row(def.object_name.data(), def.text_colour.value_or(button_text), button, false);
  }
  count.Row("keys (black captions)", button_text, button, false);
  count.Row("取消 (red caption)", colour::kRed, button, false);
  for (const BandRowDef& def : kBandRows) {
    if (def.kind == BandKind::StatusLine) {
      count.Row(def.object_name.data(), window_text, colour::kWindow, true);
    } else {
      count.Row(def.object_name.data(), button_text, button, true);
    }
  }
  count.Row("dialogs and 成績 (window text)", window_text, fusion.color(QPalette::Window), true);
  count.Row("dialogs and 成績 (fields)", fusion.color(QPalette::Text),
            fusion.color(QPalette::Base), true);
  count.Row("focus frame (not text)", colour::kFocus, colour::kWindow, false);
  return count.short_of_ours == 0 ? 0 : 1;
}
