#include "sql_values.h"

#include "cp932.h"

namespace rekendo::record {

QString NotNull(const QString& text) { return text.isNull() ? QString(0, QChar()) : text; }

QByteArray Bytes(std::string_view sjis) {
  // A pointer to the string's storage, never null, gives a non-null array even when empty.
  static constexpr char kEmpty[] = "";
  return sjis.empty() ? QByteArray(kEmpty, 0)
                      : QByteArray(sjis.data(), static_cast<qsizetype>(sjis.size()));
}

QString Utf8FromSjis(std::string_view sjis) {
  return NotNull(QString::fromStdString(text::Cp932ToUtf8(sjis)));
}

QVariant OptionalInt(const std::optional<int>& value) {
  return value ? QVariant(*value) : QVariant(QMetaType::fromType<int>());
}

std::string SjisFrom(const QByteArray& blob) { return blob.toStdString(); }

}  // namespace rekendo::record
