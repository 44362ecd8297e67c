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

inline constexpr int kClassSchemaVersion = 1;
inline constexpr const char* kLearnerGroup = "rekendo_learner";
inline constexpr const char* kTeacherGroup = "rekendo_teacher";

// Creates or updates the schema in one transaction; the version it is at afterwards.
// kNewer when the database was made by a newer rekendo-class.
Result<int> InitSchema(QSqlDatabase& db);

// The version of the schema in the database, 0 when there is none.
Result<int> ReadSchemaVersion(QSqlDatabase& db);

}  // namespace rekendo::classroom
