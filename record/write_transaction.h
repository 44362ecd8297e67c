// A write transaction on the record that rolls back unless committed, so that every way out
// of a write leaves nothing half done. It takes the write lock at its start (BeginWrite).
#pragma once

#include <QSqlDatabase>
#include <QSqlError>
#include <optional>

#include "sqlite_connection.h"

namespace rekendo::record {

class WriteTransaction {
 public:
  explicit WriteTransaction(QSqlDatabase& db) : db_(db) { begin_error_ = BeginWrite(db_); }
  ~WriteTransaction() {
    if (!begin_error_ && !committed_) Rollback(db_);
  }
  WriteTransaction(const WriteTransaction&) = delete;
  WriteTransaction& operator=(const WriteTransaction&) = delete;

  const std::optional<QSqlError>& BeginError() const { return begin_error_; }
  std::optional<QSqlError> Commit() {
    auto error = record::Commit(db_);
    committed_ = !error;
    return error;
  }

 private:
  QSqlDatabase& db_;
  std::optional<QSqlError> begin_error_;
  bool committed_ = false;
};

}  // namespace rekendo::record
