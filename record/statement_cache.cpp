#include "statement_cache.h"

#include <QSqlError>

namespace rekendo::record {

QSqlQuery* StatementCache::Get(const QSqlDatabase& db, const char* sql, QSqlError* error) {
  if (const auto found = statements_.find(sql); found != statements_.end()) {
    return found->second.get();
  }
  auto query = std::make_unique<QSqlQuery>(db);
  if (!query->prepare(QString::fromUtf8(sql))) {
    if (error) *error = query->lastError();
    return nullptr;
  }
  return statements_.emplace(sql, std::move(query)).first->second.get();
}

}  // namespace rekendo::record
