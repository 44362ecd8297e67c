// A write transaction on the record that rolls back unless committed, so that every way out
// of a write leaves nothing half done. It takes the write lock at its start (BeginWrite).
// Given a statement cache, it runs BEGIN, COMMIT and ROLLBACK from it (the question's path).
#pragma once

#include <QSqlDatabase>
#include <QSqlError>
#include <optional>

#include "sqlite_connection.h"
#include "statement_cache.h"

namespace rekendo::record {

class WriteTransaction {
 public:
  explicit WriteTransaction(QSqlDatabase& db, StatementCache* statements = nullptr)
      : db_(db), statements_(statements) {
    begin_error_ = statements_ ? Run("BEGIN IMMEDIATE") : BeginWrite(db_);
  }
  ~WriteTransaction() {
    if (begin_error_ || committed_) return;
    if (statements_) {
      Run("ROLLBACK");
    } else {
      Rollback(db_);
    }
  }
  WriteTransaction(const WriteTransaction&) = delete;
  WriteTransaction& operator=(const WriteTransaction&) = delete;

  const std::optional<QSqlError>& BeginError() const { return begin_error_; }
  std::optional<QSqlError> Commit() {
    auto error = statements_ ? Run("COMMIT") : record::Commit(db_);
    committed_ = !error;
    return error;
  }

 private:
  std::optional<QSqlError> Run(const char* sql) {
    QSqlError error;
    QSqlQuery* query = statements_->Get(db_, sql, &error);
    if (!query) return error;
    if (!query->exec()) return query->lastError();
    return std::nullopt;
  }

  QSqlDatabase& db_;
  StatementCache* statements_;
  std::optional<QSqlError> begin_error_;
  bool committed_ = false;
};

}  // namespace rekendo::record
