// Companion windows on a small screen (a 1024 x 600 netbook, a 1366 x 768 laptop with its
// panel): never larger than the screen's free area, frame included, and never with a minimum
// size that a window manager would have to push off the screen. What does not fit scrolls.
#pragma once

#include <QSize>

class QScrollArea;
class QWidget;

namespace rekendo {

// The free area of the screen `near` is on (the primary one without it), less room for a
// window frame.
QSize FreeScreenArea(const QWidget* near);

// `content` in a frameless scroll area (a child of `parent`) that scrolls only when the
// window is smaller than what `content` needs.
QScrollArea* ScrollingArea(QWidget* content, QWidget* parent);

// Resizes the top-level `window` to `wanted`, bounded by `free_area`.
void FitToScreen(QWidget* window, QSize wanted, QSize free_area);

}  // namespace rekendo
