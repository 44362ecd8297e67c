// The window's push buttons, keys and commands alike: Enter and Return press them as Space
// does, and the one with the keyboard focus wears a thick frame from the start. Qt's own
// focus mark waits for keyboard use and is a thin line that neighbouring keys, overlapping
// by a pixel, partly or wholly cover.
#pragma once

#include <QPushButton>

namespace rekendo {

class PressButton : public QPushButton {
 public:
  PressButton(const QString& caption, QWidget* parent);
  void SetFocusFrameWidth(int width) { focus_frame_width_ = width; }

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  int focus_frame_width_ = 3;
};

}  // namespace rekendo
