// 今日の練習 in the band: builds today's practice from the record, loads it as if chosen
// with 問題選択, and says in the status line how many are reviews and how many new. With
// nothing to practise it says so and offers the set played last.
#pragma once

#include <QString>
#include <functional>

#include "main_window.h"
#include "practice.h"
#include "record.h"

namespace rekendo {

class PracticeHookup {
 public:
  using Loader = std::function<void(const QString& path)>;
  // `window` and `record` must outlive this.
  PracticeHookup(MainWindow& window, record::Record& record, Loader load);
  ~PracticeHookup();
  PracticeHookup(const PracticeHookup&) = delete;
  PracticeHookup& operator=(const PracticeHookup&) = delete;

  // Problems in one practice, 10 to 50.
  void SetSize(int problems) { size_ = problems; }

 private:
  void BuildAndLoad();

  MainWindow& window_;
  record::Record& record_;
  Loader load_;
  int size_ = schedule::kDefaultPracticeSize;
};

// The status line's note: 「今日の練習：復習 12 問・新しい問題 8 問」.
QString PracticeNote(int reviews, int fresh);

}  // namespace rekendo
