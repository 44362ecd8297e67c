#include "csv_export.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include "atomic_file.h"
#include "record_error.h"
#include "record_labels.h"

namespace rekendo::record {

namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";
constexpr std::string_view kHeader[] = {
    "開始(UTC)", "終了(UTC)", "問題ファイル", "場所", "SHA-256", "問題数", "得点", "判定",
    "終わり方", "番号", "種類", "問題番号", "問題", "正解", "入力", "結果", "誤答数", "秒数",
    "制限時間", "学習者"};

std::string Utc(const QVariant& millis) {
  if (millis.isNull()) return {};
  return QDateTime::fromMSecsSinceEpoch(millis.toLongLong(), Qt::UTC)
      .toString(Qt::ISODate)
      .toStdString();
}

std::string Text(const QVariant& value) {
  return value.isNull() ? std::string() : value.toString().toStdString();
}

}  // namespace

void AppendCsvField(std::string& line, std::string_view field) {
  if (field.find_first_of(",\"\r\n") == std::string_view::npos) {
    line += field;
    return;
  }
  line += '"';
  for (const char c : field) {
    if (c == '"') line += '"';
    line += c;
  }
  line += '"';
}

// A text the record keeps cut says so, with the length of the whole: the CSV is read by
// people who would otherwise take the cut text for all of it.
std::string KeptField(const QSqlQuery& query, int text, int kept_bytes) {
  std::string field = query.value(text).toString().toStdString();
  const QVariant full = query.value(kept_bytes + 1);
  if (!full.isNull() && full.toLongLong() > query.value(kept_bytes).toLongLong()) {
    field += "…（長いので " + std::to_string(query.value(kept_bytes).toLongLong()) +
             " バイトまで。全体は " + std::to_string(full.toLongLong()) + " バイト）";
  }
  return field;
}

Result<std::string> BuildCsv(const QSqlDatabase& db, std::optional<qint64> learner_id) {
  QSqlQuery query(db);
  query.setForwardOnly(true);
  query.prepare(QStringLiteral(
          "SELECT r.started_at, r.ended_at, r.file_name, r.file_path, r.set_hash, r.pair_count, "
          "r.score, r.judgement_index, r.ending, q.number, q.kind, q.bank_index, q.text_utf8, "
          "q.accepted_utf8, q.typed_utf8, q.outcome, q.wrong_tries, q.seconds_used, "
          "LENGTH(q.text_sjis), q.text_length, LENGTH(q.accepted_sjis), q.accepted_length, "
          "LENGTH(q.typed_sjis), q.typed_length, COALESCE(r.time_limit, 40), "
          "(SELECT name FROM learners WHERE id = r.learner_id) "
          "FROM rounds r LEFT JOIN questions q ON q.round_id = r.id "
          "WHERE ? IS NULL OR r.learner_id = ? "
          "ORDER BY r.started_at, r.id, q.number"));
  const QVariant learner = learner_id ? QVariant(*learner_id) : QVariant(QMetaType(QMetaType::LongLong));
  query.addBindValue(learner);
  query.addBindValue(learner);
  if (!query.exec()) {
    return ReadFailure(query.lastError());
  }
  std::string out;
  out += kBom;
  const auto end_line = [&out] { out += "\r\n"; };
  bool first = true;
  for (const std::string_view name : kHeader) {
    if (!first) out += ',';
    first = false;
    AppendCsvField(out, name);
  }
  end_line();
  while (query.next()) {
    const bool has_question = !query.value(9).isNull();
    const std::string fields[] = {
        Utc(query.value(0)),
        Utc(query.value(1)),
        Text(query.value(2)),
        Text(query.value(3)),
        Text(query.value(4)),
        Text(query.value(5)),
        Text(query.value(6)),
        Text(query.value(7)),
        EndingLabel(EndingFromCode(query.value(8).toString())).toStdString(),
        Text(query.value(9)),
        has_question ? KindLabel(KindFromCode(query.value(10).toString())).toStdString() : std::string(),
        Text(query.value(11)),
        KeptField(query, 12, 18),
        KeptField(query, 13, 20),
        KeptField(query, 14, 22),
        has_question ? OutcomeLabel(OutcomeFromCode(query.value(15).toString())).toStdString() : std::string(),
        Text(query.value(16)),
        Text(query.value(17)),
        TimeLimitLabel(query.value(24).toInt()).toStdString(),
        Text(query.value(25)),
    };
    for (std::size_t i = 0; i < std::size(fields); ++i) {
      if (i > 0) out += ',';
      AppendCsvField(out, fields[i]);
    }
    end_line();
  }
  return out;
}

Status ExportCsv(const QSqlDatabase& db, const QString& path, std::optional<qint64> learner_id) {
  const Result<std::string> table = BuildCsv(db, learner_id);
  if (!table) return table.error();
  return WriteCsvFile(path, *table);
}

Status WriteCsvFile(const QString& path, const std::string& table) {
  if (auto error = files::ReplaceAtomically(QFile::encodeName(path).toStdString(), table)) {
    Error failed = files::ToError(*error, "CSV ファイルを書けませんでした。");
    failed.subject = QDir::toNativeSeparators(path).toStdString();
    return failed;
  }
  return {};
}

}  // namespace rekendo::record
