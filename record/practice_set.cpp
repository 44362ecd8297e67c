#include "practice_set.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <string>

#include "dated_file.h"
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
  const auto written = files::WriteNewDatedFile(
      QFile::encodeName(folder).toStdString(),
      (QFileInfo(set_name).completeBaseName() + QStringLiteral("の復習-")).toStdString(), ".mon",
      bytes);
  if (!written) {
    result.error = QStringLiteral("復習用の問題ファイルを書けませんでした。\n") +
                   QString::fromStdString(written.error().Describe());
    return result;
  }
  result.path = QFile::decodeName(QByteArray::fromStdString(*written));
  result.problems = static_cast<int>(missed.rows.size());
  return result;
}

}  // namespace rekendo::record
