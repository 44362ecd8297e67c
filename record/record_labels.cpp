#include "record_labels.h"

namespace rekendo::record {

QString KindLabel(const QString& kind) {
  if (kind == QLatin1String("trivia")) return QStringLiteral("雑学");
  if (kind == QLatin1String("choice")) return QStringLiteral("雑学（選択）");
  return QStringLiteral("問題");
}

QString OutcomeLabel(const QString& outcome) {
  if (outcome == QLatin1String("right")) return QStringLiteral("正解");
  if (outcome == QLatin1String("wrong")) return QStringLiteral("時間切れ");
  if (outcome == QLatin1String("left")) return QStringLiteral("とばした");
  return QStringLiteral("答える前に終了");
}

QString EndingLabel(const QString& ending) {
  if (ending == QLatin1String("finished")) return QStringLiteral("最後まで");
  if (ending == QLatin1String("unfinished")) return QStringLiteral("途中で終了");
  return QStringLiteral("記録中");
}

}  // namespace rekendo::record
