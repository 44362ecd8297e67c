// The record as one CSV table for a spreadsheet: a line per question with its round's
// columns, and a line for a round that closed no question. UTF-8 with a byte order mark
// (so spreadsheet programs read the Japanese right), RFC 4180 quoting, CR LF.
#pragma once

#include <optional>

#include <QSqlDatabase>
#include <QString>
#include <string>
#include <string_view>

#include "error.h"

namespace rekendo::record {

// Appends `field` to `line`, quoted when it holds a comma, a quote or a line break.
void AppendCsvField(std::string& line, std::string_view field);

// The table's bytes: every learner's rounds, or only those of `learner_id`. Record::ExportCsv
// runs it on the record's connection.
Result<std::string> BuildCsv(const QSqlDatabase& db, std::optional<qint64> learner_id = {});

// Builds the table and writes it to `path` through a replace-by-rename.
Status ExportCsv(const QSqlDatabase& db, const QString& path,
                 std::optional<qint64> learner_id = {});

// Writes a finished table to `path` through the safe writer; the failure names the file.
Status WriteCsvFile(const QString& path, const std::string& table);

}  // namespace rekendo::record
