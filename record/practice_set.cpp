#include "practice_set.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <string>

#include "dated_file.h"

namespace rekendo::record {

Result<PracticeSet> WritePracticeSet(const Record& record, const QString& hash,
                                     const QString& set_name, int count) {
  const auto missed = record.MostMissed(hash, std::clamp(count, kPracticeMin, kPracticeMax));
  if (!missed) return missed.error();
  if (missed->empty()) {
    return Error{ErrorCode::kNotFound, "この問題集で間違えた問題はまだありません。", {}, {}};
  }
  std::string bytes;
  int problems = 0;
  for (const MissedProblem& problem : *missed) {
    // A cut answer would accept the wrong thing: such a problem is not asked again.
    if (problem.cut) continue;
    ++problems;
    bytes.append(problem.text_sjis.constData(), static_cast<std::size_t>(problem.text_sjis.size()));
    bytes += "\r\n";
    bytes.append(problem.accepted_sjis.constData(),
                 static_cast<std::size_t>(problem.accepted_sjis.size()));
    bytes += "\r\n";
  }
  if (problems == 0) {
    return Error{ErrorCode::kNotFound, "間違えた問題は長すぎて、復習の問題にできません。", {}, {}};
  }
  const QString folder = QDir(record.Folder()).filePath(QStringLiteral("復習"));
  if (!QDir().mkpath(folder)) {
    return Error{ErrorCode::kIo, "復習用のフォルダーを作れません。",
                 QDir::toNativeSeparators(folder).toStdString(), {}};
  }
  const auto written = files::WriteNewDatedFile(
      QFile::encodeName(folder).toStdString(),
      (QFileInfo(set_name).completeBaseName() + QStringLiteral("の復習-")).toStdString(), ".mon",
      bytes);
  if (!written) {
    Error error = written.error();
    error.message = "復習用の問題ファイルを書けませんでした。\n" + error.message;
    return error;
  }
  return PracticeSet{QFile::decodeName(QByteArray::fromStdString(*written)),
                     problems};
}

}  // namespace rekendo::record
