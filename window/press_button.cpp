#include "press_button.h"

#include <QKeyEvent>
#include <QPainter>

#include "layout_table.h"

namespace rekendo {

PressButton::PressButton(const QString& caption, QWidget* parent) : QPushButton(caption, parent) {
  setFocusPolicy(Qt::StrongFocus);
}

void PressButton::keyPressEvent(QKeyEvent* event) {
  if (!event->isAutoRepeat() && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
    click();
    return;
  }
  QPushButton::keyPressEvent(event);
}

void PressButton::paintEvent(QPaintEvent* event) {
  QPushButton::paintEvent(event);
  if (!hasFocus()) return;
  QPainter painter(this);
  // One pixel in from the edge, which the neighbouring key may cover.
  const QRect inside = rect().adjusted(1, 1, -1, -1);
  const int w = focus_frame_width_;
  painter.fillRect(QRect(inside.left(), inside.top(), inside.width(), w), colour::kFocus);
  painter.fillRect(QRect(inside.left(), inside.bottom() - w + 1, inside.width(), w),
                   colour::kFocus);
  painter.fillRect(QRect(inside.left(), inside.top(), w, inside.height()), colour::kFocus);
  painter.fillRect(QRect(inside.right() - w + 1, inside.top(), w, inside.height()), colour::kFocus);
}

}  // namespace rekendo
