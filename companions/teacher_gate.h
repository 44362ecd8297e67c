// The teacher's PIN in front of the learners' changes: set at the first use, asked once per
// opened dialog after that. The PIN is hashed and checked on a worker thread (PBKDF2 is slow
// on purpose) while the window, and the countdown under it, go on.
#pragma once

#include <QString>
#include <functional>
#include <optional>

#include "record.h"

class QWidget;

namespace rekendo {

class TeacherGate {
 public:
  // Asks for a PIN with `prompt`; nothing when cancelled. Replaced by tests.
  using AskPin = std::function<std::optional<QString>(const QString& prompt)>;
  // Says why the gate stays shut. Replaced by tests.
  using Tell = std::function<void(const QString& message)>;

  TeacherGate(record::Record& record, QWidget* parent);

  void SetAskPin(AskPin ask) { ask_ = std::move(ask); }
  void SetTell(Tell tell) { tell_ = std::move(tell); }

  // True once the teacher gave the right PIN (or set the first one); asks when not yet.
  bool Unlock();
  bool Unlocked() const { return unlocked_; }

 private:
  bool SetFirstPin();

  record::Record& record_;
  AskPin ask_;
  Tell tell_;
  bool unlocked_ = false;
};

}  // namespace rekendo
