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

// Whether trying again later may succeed: network trouble, a busy or failing server, and
// every refusal the school can mend (a learner not registered yet, a class role that is not
// the login's, a server newer than the program). False only for a round the server will
// never take (kInvalidInput: a value out of range, an id that is another learner's).
bool WorthRetrying(const Error& error);

// A refusal that only people can mend (registration, roles, passwords, an update): tried
// again on a long pause rather than every minute.
bool WaitsForPeople(const Error& error);

// The server's schema is newer than this program: nothing is sent until it is updated.
Error ServerTooNew(int server_version);

// For rekendo-class, which runs once: the same error without the promise of an automatic
// retry that only the learner's upload worker makes.
Error ForCommand(Error error);

}  // namespace rekendo::classroom
