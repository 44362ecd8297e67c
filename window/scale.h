// How much the window is shrunk to fit a small screen. The tables give every place and size
// for a 1024 x 768 window; where the screen's free area cannot hold that, everything is
// mapped by one factor. At factor 1 every mapping is the identity, pixel for pixel.
#pragma once

#include <QRect>
#include <QSize>

#include "fonts.h"

namespace rekendo {

struct Scale {
  double factor = 1.0;

  // The factor that fits the 1024 x 768 window into `available`; never above 1.
  static Scale ToFit(const QSize& available);
  // The factor that makes the window as large as `available` lets it, above 1 or below.
  static Scale ToFill(const QSize& available);

  // A position: rounded, so that controls that touch or overlap by a pixel in the table
  // still do.
  int Position(int table_position) const;
  // A rectangle by its edges, for the same reason.
  QRect Rect(const QRect& table_rect) const;
  // A thickness or font height: rounded, never below `least`.
  int Length(int table_length, int least = 1) const;
  FontSpec Font(FontSpec table_font) const;
  QSize WindowSize() const;
};

}  // namespace rekendo
