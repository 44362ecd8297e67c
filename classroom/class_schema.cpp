#include "class_schema.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QVariant>
#include <algorithm>

#include "class_error.h"

namespace rekendo::classroom {

namespace {

// Version 1. Who sees what is decided here, by the database:
// - a learner is a LOGIN role, member of rekendo_learner, with a row in learners; it may
//   insert rounds and questions in its own name only and read only its own;
// - a class has a teacher role; members of that role (members of rekendo_teacher) read the
//   learners of the class and their rounds and questions;
// - nobody but the owner may update or delete: there is neither a grant nor a policy.
// FORCE makes the owner obey the policies too (superusers never do); the owner has no
// policy, so it reads nothing but its classes and learners.
// questions carries the learner too, tied to its round's by a foreign key, so that its
// policies compare a column instead of looking up the round for every row.
const QStringList kVersion1 = {
    QStringLiteral(R"(CREATE TABLE rekendo.classes (
  name text PRIMARY KEY CHECK (name <> ''),
  teacher_role name NOT NULL
))"),
    QStringLiteral(R"(CREATE TABLE rekendo.learners (
  role_name name PRIMARY KEY,
  display_name text NOT NULL,
  class_name text NOT NULL REFERENCES rekendo.classes (name) ON UPDATE CASCADE
))"),
    QStringLiteral(R"(CREATE TABLE rekendo.rounds (
  id uuid PRIMARY KEY,
  learner name NOT NULL DEFAULT current_user REFERENCES rekendo.learners (role_name),
  set_hash text NOT NULL CHECK (set_hash ~ '^[0-9a-f]{64}$'),
  file_name text NOT NULL,
  pair_count integer NOT NULL CHECK (pair_count >= 0),
  started_at timestamptz NOT NULL,
  ended_at timestamptz,
  score integer,
  judgement_index integer,
  ending text NOT NULL CHECK (ending IN ('finished', 'unfinished')),
  time_limit_seconds integer NOT NULL DEFAULT 40,
  received_at timestamptz NOT NULL DEFAULT now(),
  UNIQUE (id, learner)
))"),
    // The class view: per learner, the rounds since a day.
    QStringLiteral("CREATE INDEX rounds_by_learner_time ON rekendo.rounds (learner, started_at)"),
    QStringLiteral(R"(CREATE TABLE rekendo.questions (
  round_id uuid NOT NULL,
  learner name NOT NULL DEFAULT current_user,
  number integer NOT NULL CHECK (number > 0),
  kind text NOT NULL CHECK (kind IN ('problem', 'trivia', 'choice')),
  bank_index integer NOT NULL,
  problem_text text NOT NULL,
  accepted text NOT NULL,
  typed text NOT NULL,
  outcome text NOT NULL CHECK (outcome IN ('right', 'wrong', 'left', 'open')),
  wrong_tries integer NOT NULL,
  seconds_used integer NOT NULL,
  PRIMARY KEY (round_id, number),
  FOREIGN KEY (round_id, learner) REFERENCES rekendo.rounds (id, learner)
))"),
    QStringLiteral("ALTER TABLE rekendo.learners ENABLE ROW LEVEL SECURITY"),
    QStringLiteral("ALTER TABLE rekendo.learners FORCE ROW LEVEL SECURITY"),
    QStringLiteral("ALTER TABLE rekendo.rounds ENABLE ROW LEVEL SECURITY"),
    QStringLiteral("ALTER TABLE rekendo.rounds FORCE ROW LEVEL SECURITY"),
    QStringLiteral("ALTER TABLE rekendo.questions ENABLE ROW LEVEL SECURITY"),
    QStringLiteral("ALTER TABLE rekendo.questions FORCE ROW LEVEL SECURITY"),
    // A teacher reads the learners of the classes whose teacher role it is or is a member
    // of, and their rounds and questions. pg_roles and its oids keep a teacher role that was
    // dropped from failing every query; the learners in the subqueries are read under their
    // own policies, which say the same.
    QStringLiteral(R"(CREATE POLICY learner_self ON rekendo.learners FOR SELECT TO rekendo_learner
  USING (role_name = current_user))"),
    QStringLiteral(R"(CREATE POLICY teacher_class ON rekendo.learners FOR SELECT TO rekendo_teacher
  USING (class_name IN (SELECT c.name FROM rekendo.classes c WHERE c.teacher_role IN
    (SELECT r.rolname FROM pg_catalog.pg_roles r
     WHERE pg_catalog.pg_has_role(current_user, r.oid, 'MEMBER')))))"),
    QStringLiteral(R"(CREATE POLICY learner_insert ON rekendo.rounds FOR INSERT TO rekendo_learner
  WITH CHECK (learner = current_user))"),
    QStringLiteral(R"(CREATE POLICY learner_select ON rekendo.rounds FOR SELECT TO rekendo_learner
  USING (learner = current_user))"),
    QStringLiteral(R"(CREATE POLICY teacher_select ON rekendo.rounds FOR SELECT TO rekendo_teacher
  USING (learner IN (SELECT l.role_name FROM rekendo.learners l
    JOIN rekendo.classes c ON c.name = l.class_name WHERE c.teacher_role IN
    (SELECT r.rolname FROM pg_catalog.pg_roles r
     WHERE pg_catalog.pg_has_role(current_user, r.oid, 'MEMBER')))))"),
    QStringLiteral(
        R"(CREATE POLICY learner_insert ON rekendo.questions FOR INSERT TO rekendo_learner
  WITH CHECK (learner = current_user))"),
    QStringLiteral(
        R"(CREATE POLICY learner_select ON rekendo.questions FOR SELECT TO rekendo_learner
  USING (learner = current_user))"),
    QStringLiteral(
        R"(CREATE POLICY teacher_select ON rekendo.questions FOR SELECT TO rekendo_teacher
  USING (learner IN (SELECT l.role_name FROM rekendo.learners l
    JOIN rekendo.classes c ON c.name = l.class_name WHERE c.teacher_role IN
    (SELECT r.rolname FROM pg_catalog.pg_roles r
     WHERE pg_catalog.pg_has_role(current_user, r.oid, 'MEMBER')))))"),
};

// Version 2, in place over version 1:
// - CHECKs bound what one learner's row may hold, so that nobody's report breaks on it: a
//   score of 0 to 100, finite times in order and not far past when the server received
//   them, texts no longer than the learner's own record keeps them (16 KiB). NOT VALID
//   keeps rows already there (the report leaves them out) and lets the step run on any
//   server; new rows are checked.
// - a learner is the role with the OID kept at registration, not whoever holds the name
//   now: a role made again under a dropped learner's name reads none of the old rows.
// - a class is taught by the role with the OID kept when it was given, likewise;
// - classes get row security: a learner reads their own class's row, a teacher theirs.
const QStringList kVersion2 = {
    QStringLiteral(R"(ALTER TABLE rekendo.rounds
  ADD CONSTRAINT rounds_score_range CHECK (score BETWEEN 0 AND 100) NOT VALID,
  ADD CONSTRAINT rounds_times_sane CHECK (
    isfinite(started_at) AND started_at >= TIMESTAMPTZ '2000-01-01 00:00:00+00'
    AND started_at <= received_at + INTERVAL '1 day'
    AND (ended_at IS NULL OR (isfinite(ended_at) AND ended_at >= started_at
                              AND ended_at <= received_at + INTERVAL '1 day'))) NOT VALID,
  ADD CONSTRAINT rounds_sizes CHECK (
    octet_length(file_name) <= 1024 AND pair_count <= 100000
    AND time_limit_seconds BETWEEN 0 AND 86400
    AND (judgement_index IS NULL OR judgement_index BETWEEN 0 AND 1000)) NOT VALID)"),
    QStringLiteral(R"(ALTER TABLE rekendo.questions
  ADD CONSTRAINT questions_sizes CHECK (
    number <= 100000 AND octet_length(problem_text) <= 16384
    AND octet_length(accepted) <= 16384 AND octet_length(typed) <= 16384
    AND wrong_tries BETWEEN 0 AND 100000 AND seconds_used BETWEEN 0 AND 86400) NOT VALID)"),
    QStringLiteral(R"(ALTER TABLE rekendo.learners
  ADD CONSTRAINT learners_display_name CHECK (char_length(display_name) BETWEEN 1 AND 100)
  NOT VALID)"),
    QStringLiteral(R"(ALTER TABLE rekendo.classes
  ADD CONSTRAINT classes_name_length CHECK (char_length(name) <= 100) NOT VALID)"),
    QStringLiteral("ALTER TABLE rekendo.learners ADD COLUMN role_oid oid"),
    QStringLiteral(R"(UPDATE rekendo.learners l SET role_oid = r.oid
  FROM pg_catalog.pg_roles r WHERE r.rolname = l.role_name)"),
    QStringLiteral(R"(ALTER POLICY learner_self ON rekendo.learners
  USING (role_name = current_user AND role_oid =
    (SELECT r.oid FROM pg_catalog.pg_roles r WHERE r.rolname = current_user)))"),
    // The learners subquery runs under learner_self, so it holds the caller only when the
    // OID matches; uncorrelated, it is read once per statement.
    QStringLiteral(R"(ALTER POLICY learner_insert ON rekendo.rounds
  WITH CHECK (learner = current_user
    AND current_user IN (SELECT l.role_name FROM rekendo.learners l)))"),
    QStringLiteral(R"(ALTER POLICY learner_select ON rekendo.rounds
  USING (learner = current_user
    AND current_user IN (SELECT l.role_name FROM rekendo.learners l)))"),
    QStringLiteral(R"(ALTER POLICY learner_insert ON rekendo.questions
  WITH CHECK (learner = current_user
    AND current_user IN (SELECT l.role_name FROM rekendo.learners l)))"),
    QStringLiteral(R"(ALTER POLICY learner_select ON rekendo.questions
  USING (learner = current_user
    AND current_user IN (SELECT l.role_name FROM rekendo.learners l)))"),
    // The same for teachers: a class is read by the role it was given to, by OID.
    QStringLiteral("ALTER TABLE rekendo.classes ADD COLUMN teacher_oid oid"),
    QStringLiteral(R"(UPDATE rekendo.classes c SET teacher_oid = r.oid
  FROM pg_catalog.pg_roles r WHERE r.rolname = c.teacher_role)"),
    QStringLiteral(R"(ALTER POLICY teacher_class ON rekendo.learners
  USING (class_name IN (SELECT c.name FROM rekendo.classes c WHERE c.teacher_oid IN
    (SELECT r.oid FROM pg_catalog.pg_roles r
     WHERE pg_catalog.pg_has_role(current_user, r.oid, 'MEMBER')))))"),
    QStringLiteral(R"(ALTER POLICY teacher_select ON rekendo.rounds
  USING (learner IN (SELECT l.role_name FROM rekendo.learners l)))"),
    QStringLiteral(R"(ALTER POLICY teacher_select ON rekendo.questions
  USING (learner IN (SELECT l.role_name FROM rekendo.learners l)))"),
    // Not FORCEd: rekendo-class writes classes as their owner.
    QStringLiteral("ALTER TABLE rekendo.classes ENABLE ROW LEVEL SECURITY"),
    QStringLiteral(R"(CREATE POLICY learner_class ON rekendo.classes FOR SELECT TO rekendo_learner
  USING (name IN (SELECT l.class_name FROM rekendo.learners l)))"),
    QStringLiteral(R"(CREATE POLICY teacher_class ON rekendo.classes FOR SELECT TO rekendo_teacher
  USING (teacher_oid IN (SELECT r.oid FROM pg_catalog.pg_roles r
    WHERE pg_catalog.pg_has_role(current_user, r.oid, 'MEMBER'))))"),
};

const QStringList* StepTo(int version) {
  switch (version) {
    case 1:
      return &kVersion1;
    case 2:
      return &kVersion2;
    default:
      return nullptr;
  }
}

// Run at every init: the group roles (shared by every database of the server), what they
// may do, and the functions rekendo-class uses to make roles (role names cannot be bound
// as values, so the server quotes them with format's %I).
const QStringList kEveryTime = {
    QStringLiteral(R"(DO $do$ BEGIN
  IF NOT EXISTS (SELECT 1 FROM pg_catalog.pg_roles WHERE rolname = 'rekendo_learner') THEN
    CREATE ROLE rekendo_learner NOLOGIN;
  END IF;
  IF NOT EXISTS (SELECT 1 FROM pg_catalog.pg_roles WHERE rolname = 'rekendo_teacher') THEN
    CREATE ROLE rekendo_teacher NOLOGIN;
  END IF;
END $do$)"),
    QStringLiteral("REVOKE ALL ON SCHEMA rekendo FROM PUBLIC"),
    QStringLiteral("GRANT USAGE ON SCHEMA rekendo TO rekendo_learner, rekendo_teacher"),
    QStringLiteral("REVOKE ALL ON ALL TABLES IN SCHEMA rekendo FROM PUBLIC"),
    QStringLiteral("GRANT SELECT ON rekendo.classes, rekendo.learners "
                   "TO rekendo_learner, rekendo_teacher"),
    // The learner's program reads it before sending: a newer server gets nothing.
    QStringLiteral("GRANT SELECT ON rekendo.schema_version TO rekendo_learner, rekendo_teacher"),
    QStringLiteral("GRANT SELECT ON rekendo.rounds, rekendo.questions TO rekendo_learner, "
                   "rekendo_teacher"),
    // Every column but the time the server received the round.
    QStringLiteral("GRANT INSERT (id, learner, set_hash, file_name, pair_count, started_at, "
                   "ended_at, score, judgement_index, ending, time_limit_seconds) "
                   "ON rekendo.rounds TO rekendo_learner"),
    QStringLiteral("GRANT INSERT ON rekendo.questions TO rekendo_learner"),
    QStringLiteral(
        R"(CREATE OR REPLACE FUNCTION rekendo.create_login_role(role_name text, verifier text)
RETURNS boolean LANGUAGE plpgsql AS $fn$
BEGIN
  IF EXISTS (SELECT 1 FROM pg_catalog.pg_roles r WHERE r.rolname = role_name) THEN
    RETURN false;
  END IF;
  -- An error is raised again without its context: the statement holds the verifier.
  BEGIN
    IF verifier IS NULL THEN
      EXECUTE format('CREATE ROLE %I LOGIN', role_name);
    ELSE
      EXECUTE format('CREATE ROLE %I LOGIN PASSWORD %L', role_name, verifier);
    END IF;
  EXCEPTION WHEN OTHERS THEN
    RAISE EXCEPTION USING ERRCODE = SQLSTATE, MESSAGE = SQLERRM;
  END;
  RETURN true;
END $fn$)"),
    QStringLiteral(
        R"(CREATE OR REPLACE FUNCTION rekendo.limit_connections(role_name text, n integer)
RETURNS void LANGUAGE plpgsql AS $fn$
BEGIN
  EXECUTE format('ALTER ROLE %I CONNECTION LIMIT %s', role_name, n);
END $fn$)"),
    // Only a plain learner role is ever dropped by rekendo-class.
    QStringLiteral(
        R"(CREATE OR REPLACE FUNCTION rekendo.drop_learner_role(role_name text)
RETURNS boolean LANGUAGE plpgsql AS $fn$
BEGIN
  IF NOT EXISTS (SELECT 1 FROM pg_catalog.pg_roles r
                 JOIN rekendo.learners l ON l.role_name = r.rolname AND l.role_oid = r.oid
                 WHERE r.rolname = drop_learner_role.role_name AND NOT r.rolsuper) THEN
    RETURN false;
  END IF;
  EXECUTE format('DROP ROLE %I', role_name);
  RETURN true;
END $fn$)"),
    // Learners registered before the limit existed get it too.
    QStringLiteral(R"(DO $do$ DECLARE r record; BEGIN
  FOR r IN SELECT p.rolname FROM pg_catalog.pg_roles p
           JOIN rekendo.learners l ON l.role_name = p.rolname AND l.role_oid = p.oid
           WHERE p.rolconnlimit < 0 AND NOT p.rolsuper LOOP
    EXECUTE format('ALTER ROLE %I CONNECTION LIMIT 4', r.rolname);
  END LOOP;
END $do$)"),
    QStringLiteral(
        R"(CREATE OR REPLACE FUNCTION rekendo.grant_role(group_name text, member_name text)
RETURNS void LANGUAGE plpgsql AS $fn$
BEGIN
  IF NOT EXISTS (SELECT 1 FROM pg_catalog.pg_auth_members m
                 JOIN pg_catalog.pg_roles g ON g.oid = m.roleid
                 JOIN pg_catalog.pg_roles r ON r.oid = m.member
                 WHERE g.rolname = group_name AND r.rolname = member_name) THEN
    EXECUTE format('GRANT %I TO %I', group_name, member_name);
  END IF;
END $fn$)"),
    QStringLiteral("REVOKE ALL ON FUNCTION rekendo.create_login_role(text, text) FROM PUBLIC"),
    QStringLiteral("REVOKE ALL ON FUNCTION rekendo.grant_role(text, text) FROM PUBLIC"),
    QStringLiteral("REVOKE ALL ON FUNCTION rekendo.limit_connections(text, integer) FROM PUBLIC"),
    QStringLiteral("REVOKE ALL ON FUNCTION rekendo.drop_learner_role(text) FROM PUBLIC"),
};

Status Exec(QSqlDatabase& db, const QString& sql) {
  QSqlQuery query(db);
  if (!query.exec(sql)) return StatementFailure(query.lastError(), "データベースの準備");
  return {};
}

Error Rollback(QSqlDatabase& db, Error error) {
  db.rollback();
  return error;
}

}  // namespace

Result<int> ReadSchemaVersion(QSqlDatabase& db) {
  QSqlQuery query(db);
  if (!query.exec(QStringLiteral("SELECT to_regclass('rekendo.schema_version') IS NOT NULL"))) {
    return StatementFailure(query.lastError(), "データベースの版の確認");
  }
  if (!query.next() || !query.value(0).toBool()) return 0;
  if (!query.exec(QStringLiteral("SELECT coalesce(max(version), 0) FROM rekendo.schema_version"))) {
    return StatementFailure(query.lastError(), "データベースの版の確認");
  }
  return query.next() ? query.value(0).toInt() : 0;
}

Result<int> InitSchema(QSqlDatabase& db, int up_to) {
  if (!db.transaction()) return StatementFailure(db.lastError(), "データベースの準備");
  // Two inits at once take turns; "already exists, skipping" is no news.
  for (const QString& sql : {QStringLiteral("SELECT pg_advisory_xact_lock(7395061)"),
                             QStringLiteral("SET LOCAL client_min_messages = warning")}) {
    if (Status s = Exec(db, sql); !s) return Rollback(db, s.error());
  }
  for (const QString& sql :
       {QStringLiteral("CREATE SCHEMA IF NOT EXISTS rekendo"),
        QStringLiteral(
            "CREATE TABLE IF NOT EXISTS rekendo.schema_version "
            "(version integer NOT NULL, applied_at timestamptz NOT NULL DEFAULT now())")}) {
    if (Status s = Exec(db, sql); !s) return Rollback(db, s.error());
  }
  Result<int> version = ReadSchemaVersion(db);
  if (!version) return Rollback(db, version.error());
  if (*version > kClassSchemaVersion) {
    return Rollback(db, Error{ErrorCode::kNewer,
                              "このデータベースは新しい版の rekendo-class で作られています。"
                              "新しい版を使ってください。",
                              {},
                              "schema version " + std::to_string(*version)});
  }
  // The group roles first: the policies of version 1 name them.
  if (Status s = Exec(db, kEveryTime.front()); !s) return Rollback(db, s.error());
  const int target = std::clamp(up_to, 1, kClassSchemaVersion);
  for (int step = *version + 1; step <= target; ++step) {
    for (const QString& sql : *StepTo(step)) {
      if (Status s = Exec(db, sql); !s) return Rollback(db, s.error());
    }
    QSqlQuery record(db);
    record.prepare(QStringLiteral("INSERT INTO rekendo.schema_version (version) VALUES (?)"));
    record.addBindValue(step);
    if (!record.exec()) {
      return Rollback(db, StatementFailure(record.lastError(), "データベースの準備"));
    }
  }
  // An older server keeps what its own program ran every time.
  if (target == kClassSchemaVersion) {
    for (qsizetype i = 1; i < kEveryTime.size(); ++i) {
      if (Status s = Exec(db, kEveryTime[i]); !s) return Rollback(db, s.error());
    }
  }
  if (!db.commit()) return StatementFailure(db.lastError(), "データベースの準備");
  return std::max(target, *version);
}

}  // namespace rekendo::classroom
