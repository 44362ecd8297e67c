// The record's side of the class server's queue: a round is queued in the transaction that
// closes it. Rounds without a uuid (older than learners) are never sent, so never queued.
#pragma once

#include <QSqlDatabase>
#include <QSqlError>
#include <cstdint>
#include <optional>

namespace rekendo::record {

// Queues round `round_id`; nothing when it is queued already or has no uuid.
std::optional<QSqlError> QueueForUpload(QSqlDatabase& db, std::int64_t round_id, qint64 now_ms);
// Queues every round still open (about to be marked unfinished).
std::optional<QSqlError> QueueOpenRoundsForUpload(QSqlDatabase& db, qint64 now_ms);

}  // namespace rekendo::record
