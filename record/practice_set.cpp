#include "practice_set.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <string>

#include "dated_file.h"
#include "sha256.h"

namespace rekendo::record {

void AppendPair(std::string& bytes, std::string_view text_sjis, std::string_view accepted_sjis) {
  bytes.append(text_sjis);
  bytes += "\r\n";
  bytes.append(accepted_sjis);
  bytes += "\r\n";
}

Result<QString> WriteProblemFileIn(const QString& record_folder, const QString& folder_name,
                                   const QString& base, const std::string& bytes) {
  const QString folder = QDir(record_folder).filePath(folder_name);
  if (!QDir().mkpath(folder)) {
    return Error{ErrorCode::kIo, folder_name.toStdString() + "のフォルダーを作れません。",
                 QDir::toNativeSeparators(folder).toStdString(), {}};
  }
  const auto written = files::WriteNewDatedFile(QFile::encodeName(folder).toStdString(),
                                                base.toStdString(), ".mon", bytes);
  if (!written) {
    Error error = written.error();
    error.message = folder_name.toStdString() + "の問題ファイルを書けませんでした。\n" + error.message;
    return error;
  }
  return QFile::decodeName(QByteArray::fromStdString(*written));
}

Result<PracticeSet> WritePracticeSet(Record& record, const QString& hash,
                                     const QString& set_name, int count) {
  const auto missed = record.MostMissed(hash, std::clamp(count, kPracticeMin, kPracticeMax));
  if (!missed) return missed.error();
  if (missed->empty()) {
    return Error{ErrorCode::kNotFound, "この問題集で間違えた問題はまだありません。", {}, {}};
  }
  std::string bytes;
  std::vector<schedule::ProblemKey> origins;
  int problems = 0;
  for (const MissedProblem& problem : *missed) {
    // A cut answer would accept the wrong thing: such a problem is not asked again.
    if (problem.cut) continue;
    ++problems;
    origins.push_back({hash.toStdString(), problem.bank_index});
    AppendPair(bytes, std::string_view(problem.text_sjis.constData(), problem.text_sjis.size()),
               std::string_view(problem.accepted_sjis.constData(), problem.accepted_sjis.size()));
  }
  if (problems == 0) {
    return Error{ErrorCode::kNotFound, "間違えた問題は長すぎて、復習の問題にできません。", {}, {}};
  }
  // Without the note the set still plays, as a set of its own: the record keeps the error.
  Sha256 digest;
  digest.Add(bytes);
  record.NotePracticeOrigins(QString::fromStdString(digest.HexDigest()), origins);
  const auto written = WriteProblemFileIn(record.Folder(), QStringLiteral("復習"),
                                          QFileInfo(set_name).completeBaseName() +
                                              QStringLiteral("の復習-"),
                                          bytes);
  if (!written) return written.error();
  return PracticeSet{*written, problems};
}

}  // namespace rekendo::record
