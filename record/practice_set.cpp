#include "practice_set.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <string>

#include "atomic_file.h"
#include "record_queries.h"

namespace rekendo::record {

PracticeSet WritePracticeSet(const Record& record, const QString& hash, const QString& set_name,
                             int count) {
  PracticeSet result;
  const auto missed =
      LoadMostMissed(record.Database(), hash, std::clamp(count, kPracticeMin, kPracticeMax));
  if (!missed.ok()) {
    result.error = QStringLiteral("記録を読めませんでした。\n詳細: ") + missed.error;
    return result;
  }
  if (missed.rows.empty()) {
    result.error = QStringLiteral("この問題集で間違えた問題はまだありません。");
    return result;
  }
  std::string bytes;
  for (const MissedProblem& problem : missed.rows) {
    bytes.append(problem.text_sjis.constData(), static_cast<std::size_t>(problem.text_sjis.size()));
    bytes += "\r\n";
    bytes.append(problem.accepted_sjis.constData(),
                 static_cast<std::size_t>(problem.accepted_sjis.size()));
    bytes += "\r\n";
  }
  const QString folder = QDir(record.Folder()).filePath(QStringLiteral("復習"));
  if (!QDir().mkpath(folder)) {
    result.error = QStringLiteral("復習用のフォルダーを作れません。\nフォルダー: ") +
                   QDir::toNativeSeparators(folder);
    return result;
  }
  const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
  result.path = QDir(folder).filePath(QStringLiteral("%1の復習-%2.mon")
                                          .arg(QFileInfo(set_name).completeBaseName(), stamp));
  if (auto error = files::ReplaceAtomically(QFile::encodeName(result.path).toStdString(), bytes)) {
    result.error = QStringLiteral("復習用の問題ファイルを書けませんでした。\nファイル: %1\n詳細: %2")
                       .arg(QDir::toNativeSeparators(result.path),
                            QString::fromLocal8Bit(error->Describe()));
    result.path.clear();
    return result;
  }
  result.problems = static_cast<int>(missed.rows.size());
  return result;
}

}  // namespace rekendo::record
