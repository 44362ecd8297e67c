// The class database's failures as rekendo::Error values: what the driver said, sorted into
// the codes the program decides by, with a Japanese message that says what happened and
// what to do. The SQLSTATE decides when the server sent one; a connection that failed
// before the server could say anything is read from libpq's message (in English or in the
// Japanese of libpq's own translation).
#pragma once

#include <QSqlError>
#include <string>

#include "error.h"

namespace rekendo::classroom {

// A failed QSqlDatabase::open(). `where` names the server (ConnInfo::Describe()).
Error ConnectFailure(const QSqlError& error, const std::string& where);

// A failed statement or transaction. `what` says what was being done ("成績の送信").
Error StatementFailure(const QSqlError& error, const std::string& what);

// Whether trying again later may succeed: network trouble, a busy or failing server, an
// authentication problem someone may fix. False for a round the server will never take
// (kInvalidInput) and for one in another learner's name (kAccessDenied).
bool WorthRetrying(const Error& error);

}  // namespace rekendo::classroom
