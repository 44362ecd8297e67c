// Statements of the record's hot path (a closed question), prepared once per connection
// instead of once per question: preparing cost more than running them.
#pragma once

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <memory>
#include <unordered_map>

namespace rekendo::record {

class StatementCache {
 public:
  StatementCache() = default;
  StatementCache(const StatementCache&) = delete;
  StatementCache& operator=(const StatementCache&) = delete;

  // The statement for `sql` (a string literal: the cache keys on its address), prepared on
  // `db` at its first use; nullptr when it cannot be prepared (see `error`).
  QSqlQuery* Get(const QSqlDatabase& db, const char* sql, QSqlError* error);
  // Lets go of every statement; before the connection closes.
  void Clear() { statements_.clear(); }

 private:
  std::unordered_map<const char*, std::unique_ptr<QSqlQuery>> statements_;
};

}  // namespace rekendo::record
