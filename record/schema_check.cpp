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
  static std::atomic<int> calls{0};
  const QString name = QStringLiteral("rekendo-schema-check-%1").arg(calls.fetch_add(1));
  std::optional<int> version;
  {
    QSqlDatabase db = OpenSqlite(name, path, 1000, OpenMode::kReadOnly);
    QSqlError ignored;
    if (db.isOpen()) version = ReadSchemaVersion(db, &ignored);
    db.close();
  }
  QSqlDatabase::removeDatabase(name);
  return version && *version > 0 && *version < kSchemaVersion;
}

}  // namespace rekendo::record
