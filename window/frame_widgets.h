// The painted pieces of the window: the bevel frames drawn over their labels, and the red
// countdown bar.
#pragma once

#include <QWidget>

namespace rekendo {

// A frame with no fill, over a label of the same bounds. It takes no clicks.
class BevelFrame : public QWidget {
 public:
  enum class Style { SunkenBox, Etched };
  BevelFrame(Style style, QWidget* parent);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  Style style_;
};

// Red inside a one-pixel black outline; nothing shows at height 0.
class CountdownBar : public QWidget {
 public:
  explicit CountdownBar(QWidget* parent);
  void Place(int top, int height);

 protected:
  void paintEvent(QPaintEvent* event) override;
};

}  // namespace rekendo
