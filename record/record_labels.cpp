#include "record_labels.h"

namespace rekendo::record {

QString KindLabel(QuestionKind kind) {
  switch (kind) {
    case QuestionKind::kTrivia: return QStringLiteral("雑学");
    case QuestionKind::kMultipleChoice: return QStringLiteral("雑学（選択）");
    case QuestionKind::kProblem: break;
  }
  return QStringLiteral("問題");
}

QString OutcomeLabel(QuestionOutcome outcome) {
  switch (outcome) {
    case QuestionOutcome::kRight: return QStringLiteral("正解");
    case QuestionOutcome::kWrongAtTimeUp: return QStringLiteral("時間切れ");
    case QuestionOutcome::kLeft: return QStringLiteral("とばした");
    case QuestionOutcome::kOpenAtEnd: break;
  }
  return QStringLiteral("答える前に終了");
}

QString EndingLabel(RoundEnding ending) {
  switch (ending) {
    case RoundEnding::kFinished: return QStringLiteral("最後まで");
    case RoundEnding::kUnfinished: return QStringLiteral("途中で終了");
    case RoundEnding::kOpen: break;
  }
  return QStringLiteral("記録中");
}

QString OutcomeMark(QuestionOutcome outcome) {
  switch (outcome) {
    case QuestionOutcome::kRight: return QStringLiteral("○");
    case QuestionOutcome::kWrongAtTimeUp: return QStringLiteral("×");
    case QuestionOutcome::kLeft: return QStringLiteral("→");
    case QuestionOutcome::kOpenAtEnd: break;
  }
  return QStringLiteral("・");
}

QString TimeLimitLabel(int seconds) {
  return seconds <= 0 ? QStringLiteral("制限なし") : QStringLiteral("%1 秒").arg(seconds);
}

}  // namespace rekendo::record
