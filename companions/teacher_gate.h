// The teacher's PIN in front of the learners' changes: set at the first use, asked once per
// opened dialog after that. Each wrong PIN in a row doubles the wait before the next try
// (kept in the record, so a restart does not skip it). The PIN is hashed and checked on a worker thread (PBKDF2 is slow
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
  // Milliseconds since the epoch. Replaced by tests.
  void SetClock(std::function<qint64()> clock) { clock_ = std::move(clock); }

  // The wait after `failures` wrong PINs in a row: 1 s, 2 s, 4 s … up to a minute.
  static qint64 WaitAfterMs(int failures);

  // True once the teacher gave the right PIN (or set the first one); asks when not yet.
  bool Unlock();
  bool Unlocked() const { return unlocked_; }

 private:
  bool SetFirstPin();

  record::Record& record_;
  AskPin ask_;
  Tell tell_;
  std::function<qint64()> clock_;
  bool unlocked_ = false;
};

}  // namespace rekendo
