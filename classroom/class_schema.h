// The class database's schema, its roles and its row-level security, made by
// `rekendo-class init`. Everything lives in the schema "rekendo". Running it again is safe:
// the tables are versioned (rekendo.schema_version) and only the missing steps run; the
// group roles, grants and helper functions are brought to the expected state every time.
// Run it as the database's owner or a superuser: it creates roles, so the role needs
// CREATEROLE.
#pragma once

#include <QSqlDatabase>

#include "error.h"

namespace rekendo::classroom {

inline constexpr int kClassSchemaVersion = 2;
// Connections one learner role may hold at once: enough for two copies of the drill and a
// database tool, too few for one pupil to take the server's every slot.
inline constexpr int kLearnerConnectionLimit = 4;
// The longest display name and class name the server keeps, in characters.
inline constexpr int kMaxDisplayName = 100;
inline constexpr const char* kLearnerGroup = "rekendo_learner";
inline constexpr const char* kTeacherGroup = "rekendo_teacher";

// Creates or updates the schema in one transaction; the version it is at afterwards.
// kNewer when the database was made by a newer rekendo-class. `up_to` below the current
// version makes a server as an older rekendo-class left it (for the upgrade tests).
Result<int> InitSchema(QSqlDatabase& db, int up_to = kClassSchemaVersion);

// The version of the schema in the database, 0 when there is none.
Result<int> ReadSchemaVersion(QSqlDatabase& db);

}  // namespace rekendo::classroom
