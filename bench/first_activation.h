// A window that runs a callback right after its own handler has seen its first activation:
// for the drill's form, that is the moment its first activation has loaded the data files.
#pragma once

#include <QEvent>
#include <functional>
#include <utility>

namespace rekendo::bench {

template <typename Window>
class FirstActivation : public Window {
 public:
  void OnFirstActivation(std::function<void()> callback) { callback_ = std::move(callback); }

  // Brings the window up as the program's start-up does: shown, raised and activated.
  void ShowActive() {
    this->show();
    this->raise();
    this->activateWindow();
  }

 protected:
  void changeEvent(QEvent* event) override {
    Window::changeEvent(event);
    if (fired_ || event->type() != QEvent::ActivationChange || !this->isActiveWindow()) return;
    fired_ = true;
    if (callback_) callback_();
  }

 private:
  std::function<void()> callback_;
  bool fired_ = false;
};

}  // namespace rekendo::bench
