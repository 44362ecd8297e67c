// The Japanese words for kinds, outcomes and endings, shared by the window and the CSV.
#pragma once

#include <QString>

#include "record_rows.h"

namespace rekendo::record {

QString KindLabel(QuestionKind kind);
QString OutcomeLabel(QuestionOutcome outcome);
QString EndingLabel(RoundEnding ending);
// A round's time per question: "40 秒", "制限なし".
QString TimeLimitLabel(int seconds);
// One character per question, in order: how a round went at a glance.
QString OutcomeMark(QuestionOutcome outcome);

}  // namespace rekendo::record
