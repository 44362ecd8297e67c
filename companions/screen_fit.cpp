#include "screen_fit.h"

#include <QGuiApplication>
#include <QScreen>
#include <QScrollArea>
#include <QWidget>

namespace rekendo {

namespace {

// A title bar and borders, as the usual window managers draw them.
constexpr QSize kFrame(16, 48);

}  // namespace

QSize FreeScreenArea(const QWidget* near) {
  const QScreen* screen = near != nullptr ? near->screen() : QGuiApplication::primaryScreen();
  if (screen == nullptr) return QSize(1024, 768) - kFrame;
  return screen->availableGeometry().size() - kFrame;
}

QScrollArea* ScrollingArea(QWidget* content, QWidget* parent) {
  auto* area = new QScrollArea(parent);
  area->setFrameShape(QFrame::NoFrame);
  area->setWidgetResizable(true);
  area->setWidget(content);
  // Tab moves through the content, not to the area itself.
  area->setFocusPolicy(Qt::NoFocus);
  return area;
}

void FitToScreen(QWidget* window, QSize wanted, QSize free_area) {
  window->setMaximumSize(free_area.expandedTo(QSize(1, 1)));
  window->resize(wanted.boundedTo(free_area));
}

}  // namespace rekendo
