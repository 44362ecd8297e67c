#include "scale.h"

#include <algorithm>
#include <cmath>

#include "layout_table.h"

namespace rekendo {

Scale Scale::ToFill(const QSize& available) {
  if (available.isEmpty()) return {};
  const double across = static_cast<double>(available.width()) / kWindowWidth;
  const double down = static_cast<double>(available.height()) / kWindowHeight;
  return {std::min(across, down)};
}

Scale Scale::ToFit(const QSize& available) { return {std::min(1.0, ToFill(available).factor)}; }

int Scale::Position(int table_position) const {
  return static_cast<int>(std::lround(table_position * factor));
}

QRect Scale::Rect(const QRect& table_rect) const {
  const int left = Position(table_rect.x());
  const int top = Position(table_rect.y());
  return {left, top, Position(table_rect.x() + table_rect.width()) - left,
          Position(table_rect.y() + table_rect.height()) - top};
}

int Scale::Length(int table_length, int least) const {
  return std::max(least, Position(table_length));
}

FontSpec Scale::Font(FontSpec table_font) const {
  table_font.pixel_height = Length(table_font.pixel_height);
  return table_font;
}

QSize Scale::WindowSize() const { return {Position(kWindowWidth), Position(kWindowHeight)}; }

}  // namespace rekendo
