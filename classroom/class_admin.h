// What rekendo-class does besides init: classes with their teacher roles, learner roles,
// and the class table a teacher reads. Each call is its own transaction and binds every
// value; role names reach SQL only through the server's format('%I').
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "class_database.h"
#include "error.h"

namespace rekendo::classroom {

// Role names rekendo-class makes: a letter or '_' first, then letters, digits, '_', '.'
// or '-', at most 63 bytes, not starting with "pg_". kInvalidInput with the reason.
Status CheckRoleName(const std::string& name);

struct ClassAdded {
  bool teacher_created = false;  // false: the role was already there
  bool class_created = false;    // false: an existing class (its teacher now `teacher`)
};

// Makes the class with its teacher role (a LOGIN role without a password, member of
// rekendo_teacher) unless they exist.
Result<ClassAdded> AddClass(ClassDatabase& db, const std::string& name, const std::string& teacher);

struct LearnerAdded {
  bool role_created = false;  // false: an existing role was made a learner, or already was one
  bool already_learner = false;
  std::string password;  // the generated password, only when the role was made with one
  std::string class_name;
};

// Makes `role` a learner of `class_name` (empty: the only class there is). A new role gets
// a generated password unless `with_password` is false (peer or GSSAPI schools); an
// existing role keeps its password.
Result<LearnerAdded> AddLearner(ClassDatabase& db, const std::string& role,
                                const std::string& display_name, const std::string& class_name,
                                bool with_password);

struct LearnerRemoved {
  bool role_dropped = false;  // false: the role was gone already
  std::string class_name;
};

// Takes `role` out: its login role is dropped (only ever a plain learner's), its rounds stay
// for the teacher under its name, and the name is not given to anyone again (AddLearner
// refuses it), so that a new role made under it never reads them.
Result<LearnerRemoved> RemoveLearner(ClassDatabase& db, const std::string& role);

struct ReportRow {
  std::string class_name;
  std::string role;
  std::string display_name;
  int rounds = 0;                 // started since the day asked for
  int finished = 0;               // of those, played to the end
  std::optional<double> average;  // score of the finished ones with 40 seconds a question
  std::optional<int> best;
  std::optional<std::int64_t> last_played_ms;  // of all rounds, UTC
  // Rounds stored before the server checked their values (a time that cannot be, a score
  // out of range): counted here, left out of everything above.
  int unreadable = 0;
};

// Every learner the connection may see (a teacher: the classes it teaches), with their
// rounds started at or after `since_ms`; ordered by class and display name. `class_name`
// non-empty keeps one class.
Result<std::vector<ReportRow>> ClassReport(ClassDatabase& db, std::int64_t since_ms,
                                           const std::string& class_name = {});

}  // namespace rekendo::classroom
