#include "round_recorder.h"

#include <algorithm>

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <exception>

namespace rekendo::record {

RoundRecorder::RoundRecorder(Record& record, Clock clock)
    : record_(record), clock_(std::move(clock)) {
  if (!clock_) clock_ = [] { return QDateTime::currentMSecsSinceEpoch(); };
}

RoundRecorder::~RoundRecorder() {
  Guarded([&] { EndOpenRound(false, std::nullopt, std::nullopt); });
}

template <typename Step>
void RoundRecorder::Guarded(Step&& step) noexcept {
  try {
    step();
  } catch (const std::exception& error) {
    record_.ReportFailure(RecordFailure(RecordStep::kWrite, ErrorCode::kOther, record_.FilePath(),
                                        QString::fromLocal8Bit(error.what())));
  } catch (...) {
    record_.ReportFailure(RecordFailure(RecordStep::kWrite, ErrorCode::kOther, record_.FilePath()));
  }
}

void RoundRecorder::ProblemFileLoaded(const LoadedFile& loaded) {
  Guarded([&] {
    EndOpenRound(false, std::nullopt, std::nullopt);
    file_.reset();
    // Bytes handed over from memory have no file to know them by again: not recorded.
    if (loaded.path.empty() || loaded.content_sha256.empty()) return;
    ProblemFile file;
    file.path = QFile::decodeName(
        QByteArray(loaded.path.data(), static_cast<qsizetype>(loaded.path.size())));
    file.name = QFileInfo(file.path).fileName();
    file.pair_count = loaded.problem_count;
    // The bytes the drill read, not the name, say which set it is: a renamed or moved copy
    // is the same, and a file rewritten since is not mistaken for what was loaded.
    file.hash = QString::fromLatin1(loaded.content_sha256.data(),
                                    static_cast<qsizetype>(loaded.content_sha256.size()));
    file_ = std::move(file);
  });
}

void RoundRecorder::RoundStarted(const RoundSettings& settings) {
  Guarded([&] {
    EndOpenRound(false, std::nullopt, std::nullopt);
    if (!file_) return;
    if (!record_.Open() || !record_.RecordingEnabled()) return;
    RoundStart start;
    start.set_hash = file_->hash;
    start.file_path = file_->path;
    start.file_name = file_->name;
    start.pair_count = file_->pair_count;
    start.started_at = clock_();
    start.time_limit_seconds = settings.time_limit_seconds;
    round_id_ = record_.StartRound(start);
  });
}

void RoundRecorder::QuestionAsked(const AskedQuestion& question) {
  Guarded([&] {
    if (!round_id_) return;
    QuestionRow& row = asked_[question.number];
    row.number = question.number;
    row.kind = question.kind;
    row.bank_index = question.bank_index;
    row.text = question.text;
    row.accepted = question.accepted;
  });
}

void RoundRecorder::QuestionClosed(const ClosedQuestion& question) {
  Guarded([&] {
    const auto asked = asked_.find(question.number);
    if (!round_id_ || asked == asked_.end()) return;
    WriteQuestion(asked->second, question);
    asked_.erase(asked);
  });
}

void RoundRecorder::RoundEnded(RoundEnd how, std::int32_t score, std::int32_t judgement_index) {
  Guarded([&] {
    const bool finished = how == RoundEnd::kFinished;
    EndOpenRound(finished, score, finished ? std::optional<int>(judgement_index) : std::nullopt);
  });
}

void RoundRecorder::EndOpenRound(bool finished, std::optional<int> score,
                                 std::optional<int> judgement) {
  if (!round_id_) return;
  for (const auto& [number, asked] : asked_) {
    ClosedQuestion open;
    open.number = number;
    open.outcome = QuestionOutcome::kOpenAtEnd;
    WriteQuestion(asked, open);
  }
  asked_.clear();
  RoundFinish finish;
  finish.finished = finished;
  finish.score = score;
  finish.judgement_index = judgement;
  finish.ended_at = clock_();
  const bool ended = record_.EndRound(*round_id_, finish);
  round_id_.reset();
  if (ended && round_closed_) round_closed_();
}

void RoundRecorder::WriteQuestion(QuestionRow row, const ClosedQuestion& closed) {
  row.typed = closed.typed;
  row.outcome = closed.outcome;
  row.wrong_tries = closed.wrong_tries;
  row.seconds_used = closed.seconds_used;
  row.closed_at = clock_();
  record_.AddQuestion(*round_id_, file_->hash, row);
}

}  // namespace rekendo::record
