// How a failure that escaped an event handler reaches the learner.
#pragma once

#include <QString>
#include <functional>
#include <string>
#include <string_view>

class QWidget;

namespace rekendo {

// Appends "." when the message's last character, taken whole on its Shift-JIS bytes, sorts
// after "." byte-wise: "...ません" and "...file" get one, "(32)" and "done." do not.
std::string WithClosingPeriod(std::string_view sjis_message);

// Shows the message in a modal error box captioned `title`, owned by `owner`.
class ErrorReporter {
 public:
  // What actually shows the box: replaced by tests to record instead.
  using Show = std::function<void(QWidget* owner, const QString& title, const QString& text)>;

  ErrorReporter(QString title, QWidget* owner);
  void SetShow(Show show) { show_ = std::move(show); }
  void SetOwner(QWidget* owner) { owner_ = owner; }
  const QString& title() const { return title_; }

  void Report(std::string_view sjis_message) const;

 private:
  QString title_;
  QWidget* owner_;
  Show show_;
};

}  // namespace rekendo
