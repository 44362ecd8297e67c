// Values for the record's columns. Qt binds a null QString or QByteArray as SQL NULL, so
// empty texts (an empty answer line) are made non-null before they reach a NOT NULL column.
#pragma once

#include <QByteArray>
#include <QString>
#include <QVariant>
#include <optional>
#include <string>
#include <string_view>

namespace rekendo::record {

QString NotNull(const QString& text);
// Shift-JIS bytes as a BLOB.
QByteArray Bytes(std::string_view sjis);
// Shift-JIS bytes as readable text.
QString Utf8FromSjis(std::string_view sjis);
// An int, or SQL NULL.
QVariant OptionalInt(const std::optional<int>& value);
// A BLOB read back as the Shift-JIS bytes.
std::string SjisFrom(const QByteArray& blob);

}  // namespace rekendo::record
