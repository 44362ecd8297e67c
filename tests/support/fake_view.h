// A stand-in for the window: keeps what the drill wrote, and lets a test look.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "drill_view.h"

namespace rekendo::testing {

class FakeView : public DrillView {
 public:
  void SetLabelText(Label label, std::string_view text) override {
    labels[static_cast<std::size_t>(label)] = text;
  }
  void SetTimerEnabled(bool enabled) override {
    ++timer_switches;
    timer_enabled = enabled;
  }
  bool TimerEnabled() const override { return timer_enabled; }
  void SetBar(int top, int height) override {
    bar_top = top;
    bar_height = height;
  }

  const std::string& text(Label label) const { return labels[static_cast<std::size_t>(label)]; }

  std::array<std::string, kLabelCount> labels;
  bool timer_enabled = false;
  int timer_switches = 0;
  int bar_top = 0;
  int bar_height = 0;
};

}  // namespace rekendo::testing
