// Passwords for learner roles: made here, shown once, and sent to the server only as a
// SCRAM-SHA-256 verifier (what PostgreSQL stores, the same as psql's \password sends), so
// the password itself never crosses the network or lands in a server log.
#pragma once

#include <QByteArray>
#include <string>

namespace rekendo::classroom {

// A password of `length` letters and digits from the system's secure random source,
// without look-alikes (0/O, 1/l/I).
std::string GeneratePassword(int length = 14);

// "SCRAM-SHA-256$<iterations>:<salt>$<StoredKey>:<ServerKey>" for `password` (which must be
// ASCII: SASLprep leaves it unchanged). A random 16-byte salt unless one is given.
std::string ScramVerifier(const std::string& password, int iterations = 4096, QByteArray salt = {});

}  // namespace rekendo::classroom
