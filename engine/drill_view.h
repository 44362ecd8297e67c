// What the drill needs of its window: label texts, the question timer, the countdown bar.
// The drill reads back only the problem panel, and keeps its own copy of that text.
#pragma once

#include <string_view>

namespace rekendo {

enum class Label {
  QuestionNumber,  // 問題n
  ProblemPanel,    // the question, then the revealed answer or the judgement
  Verdict,         // 正解 or 誤り
  AnswerLine,      // what the learner typed
  Score,           // ０点, 10点, …
  SecondsLeft,     // the countdown in seconds
};
inline constexpr int kLabelCount = 6;

// The frame the countdown bar grows in: its top and height in the client area.
struct BarFrame {
  static constexpr int kTop = 48;
  static constexpr int kHeight = 600;
};

class DrillView {
 public:
  virtual ~DrillView() = default;
  // `text` is Shift-JIS.
  virtual void SetLabelText(Label label, std::string_view text) = 0;
  // Enabling a running timer must not restart it.
  virtual void SetTimerEnabled(bool enabled) = 0;
  virtual bool TimerEnabled() const = 0;
  virtual void SetBar(int top, int height) = 0;
};

}  // namespace rekendo
