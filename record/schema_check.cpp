#include "schema_check.h"

#include <QDir>
#include <QFileInfo>
#include <atomic>

#include "record.h"
#include "record_schema.h"
#include "sqlite_connection.h"

namespace rekendo::record {

bool RecordIsOlder(const QString& folder) {
  const QString path = QDir(folder).filePath(QString::fromLatin1(kRecordFileName));
  if (!QFileInfo::exists(path)) return false;
  std::optional<int> version;
  {
    ScopedConnection connection("schema-check", path, 1000, OpenMode::kReadOnly);
    QSqlError ignored;
    if (connection.isOpen()) version = ReadSchemaVersion(connection.db(), &ignored);
  }
  return version && *version > 0 && *version < kSchemaVersion;
}

}  // namespace rekendo::record
