// What the record writes for a round and a question: plain values, the texts as the
// Shift-JIS bytes the drill holds.
#pragma once

#include <QString>
#include <QtGlobal>
#include <cstdint>
#include <optional>
#include <string>

#include "drill_observer.h"

namespace rekendo::record {

struct RoundStart {
  QString set_hash;   // SHA-256 of the problem file's bytes, lower-case hex
  QString file_path;  // as chosen
  QString file_name;  // what the learner sees
  int pair_count = 0;
  qint64 started_at = 0;  // milliseconds since 1970-01-01 UTC
  int time_limit_seconds = 40;  // per question; 0: no limit
};

// Someone who plays on this record: each round belongs to one.
struct Learner {
  qint64 id = 0;
  QString name;
};

struct QuestionRow {
  int number = 0;
  QuestionKind kind = QuestionKind::kProblem;
  int bank_index = 0;
  std::string text;      // Shift-JIS
  std::string accepted;  // Shift-JIS, "$"-separated
  std::string typed;     // Shift-JIS
  QuestionOutcome outcome = QuestionOutcome::kOpenAtEnd;
  int wrong_tries = 0;
  int seconds_used = 0;
  qint64 closed_at = 0;
};

struct RoundFinish {
  bool finished = false;  // false: left unfinished
  std::optional<int> score;            // unknown for a program that closed mid-round
  std::optional<int> judgement_index;  // only a finished round shows a judgement
  qint64 ended_at = 0;
};

// How a round stands in the record.
enum class RoundEnding { kOpen, kFinished, kUnfinished };

// The words the tables use for kinds, outcomes and endings, and back: a word the record does
// not know reads as the last entry of its list (an open question, an open round).
QString KindCode(QuestionKind kind);
QString OutcomeCode(QuestionOutcome outcome);
QString EndingCode(RoundEnding ending);
QuestionKind KindFromCode(const QString& code);
QuestionOutcome OutcomeFromCode(const QString& code);
RoundEnding EndingFromCode(const QString& code);

}  // namespace rekendo::record
