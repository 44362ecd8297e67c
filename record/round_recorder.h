// Listens to the drill and writes what happens to the record: a round when it starts, each
// question as it closes (its own transaction, so a crash keeps every closed question), and
// how the round ended. It opens the record at the first round that needs it. Whatever
// fails, the drill never hears of it: the record keeps the error for the 成績 window.
#pragma once

#include <QString>
#include <QtGlobal>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>

#include "drill_observer.h"
#include "record.h"
#include "record_rows.h"

namespace rekendo::record {

class RoundRecorder : public DrillObserver {
 public:
  // Milliseconds since 1970-01-01 UTC.
  using Clock = std::function<qint64()>;

  explicit RoundRecorder(Record& record, Clock clock = {});
  // A round still going when the program closes is written as left unfinished.
  ~RoundRecorder() override;
  RoundRecorder(const RoundRecorder&) = delete;
  RoundRecorder& operator=(const RoundRecorder&) = delete;

  void ProblemFileLoaded(const LoadedFile& file) override;
  void RoundStarted(const RoundSettings& settings) override;
  void QuestionAsked(const AskedQuestion& question) override;
  void QuestionClosed(const ClosedQuestion& question) override;
  void RoundEnded(RoundEnd how, std::int32_t score, std::int32_t judgement_index) override;

  // Called after a round's end was written (and so queued for the class server).
  void OnRoundClosed(std::function<void()> closed) { round_closed_ = std::move(closed); }

  // The round being written, if any (tests).
  std::optional<std::int64_t> CurrentRound() const { return round_id_; }

 private:
  struct ProblemFile {
    QString path;
    QString name;
    QString hash;  // SHA-256 of the bytes the drill loaded
    int pair_count = 0;
  };

  // Writes the questions still open and the round's end.
  void EndOpenRound(bool finished, std::optional<int> score, std::optional<int> judgement);
  void WriteQuestion(QuestionRow row, const ClosedQuestion& closed);
  // Runs a step so that nothing it throws can reach the drill.
  template <typename Step>
  void Guarded(Step&& step) noexcept;

  Record& record_;
  Clock clock_;
  std::optional<ProblemFile> file_;
  std::optional<std::int64_t> round_id_;
  // Asked and not yet closed, by number; the rows keep their own copies of the texts, which
  // the drill only lends for the call.
  std::map<int, QuestionRow> asked_;
  std::function<void()> round_closed_;
};

}  // namespace rekendo::record
