#include "frame_widgets.h"

#include <QPainter>

#include "layout_table.h"

namespace rekendo {

BevelFrame::BevelFrame(Style style, QWidget* parent) : QWidget(parent), style_(style) {
  setAttribute(Qt::WA_TransparentForMouseEvents);
}

void BevelFrame::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QColor shadow = palette().color(QPalette::Dark);
  const QColor highlight = palette().color(QPalette::Light);
  const int right = width() - 1;
  const int bottom = height() - 1;
  if (style_ == Style::SunkenBox) {
    // Top and left in shadow, then right and bottom in highlight, which owns the corners
    // they share.
    painter.setPen(shadow);
    painter.drawLine(0, bottom - 1, 0, 0);
    painter.drawLine(0, 0, right - 1, 0);
    painter.setPen(highlight);
    painter.drawLine(right, 0, right, bottom);
    painter.drawLine(right, bottom, 0, bottom);
  } else {
    painter.setPen(shadow);
    painter.drawRect(0, 0, right - 1, bottom - 1);
    painter.setPen(highlight);
    painter.drawRect(1, 1, right - 1, bottom - 1);
  }
}

CountdownBar::CountdownBar(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_TransparentForMouseEvents);
}

void CountdownBar::Place(int top, int height) {
  setGeometry(x(), top, width(), height > 0 ? height : 0);
  setVisible(height > 0);
}

void CountdownBar::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), colour::kRed);
  painter.setPen(Qt::black);
  painter.drawRect(0, 0, width() - 1, height() - 1);
}

}  // namespace rekendo
