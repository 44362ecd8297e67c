// A window that shows nothing, so that a benchmark times the drill alone.
#pragma once

#include <string_view>

#include "drill_view.h"

namespace rekendo::bench {

class NullView : public DrillView {
 public:
  // A pinned timer keeps running whatever the drill asks, so a closed question is not
  // revealed: that times the answer check without the reveal.
  explicit NullView(bool pinned_timer = false) : pinned_(pinned_timer), running_(pinned_timer) {}

  void SetLabelText(Label, std::string_view) override {}
  void SetTimerEnabled(bool enabled) override {
    if (!pinned_) running_ = enabled;
  }
  bool TimerEnabled() const override { return running_; }
  void SetBar(int, int) override {}

 private:
  bool pinned_;
  bool running_;
};

}  // namespace rekendo::bench
