// The teacher's PIN, kept only as a salted PBKDF2-HMAC-SHA256 hash: whoever reads the record
// (it is plain SQLite) learns nothing they could type.
#pragma once

#include <QString>
#include <optional>

namespace rekendo::record {

inline constexpr int kPinIterations = 120000;
inline constexpr int kPinSaltBytes = 16;

// "pbkdf2-sha256$ITERATIONS$SALT$HASH" (salt and hash in hex), a fresh random salt each call.
QString HashPin(const QString& pin);
// Why `pin` cannot be a new PIN (too short), or nothing when it can.
std::optional<QString> NewPinProblem(const QString& pin);
// Whether `pin` gives `stored`; compared in constant time. False for anything not made by
// HashPin.
bool PinMatches(const QString& pin, const QString& stored);

}  // namespace rekendo::record
