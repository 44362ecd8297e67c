#include "class_admin.h"

#include <functional>

#include <QDateTime>
#include <QSqlError>
#include <QSqlQuery>
#include <QTimeZone>
#include <QVariant>

#include "class_error.h"
#include "class_schema.h"
#include "scram.h"

namespace rekendo::classroom {

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

Error Fail(ClassDatabase& db, const QSqlQuery& query, const char* what) {
  Error error = StatementFailure(query.lastError(), what);
  db.Connection().rollback();
  return error;
}

// Whether a role of that name exists.
Result<bool> RoleExists(ClassDatabase& db, const std::string& role) {
  QSqlQuery query(db.Connection());
  query.prepare(QStringLiteral("SELECT 1 FROM pg_catalog.pg_roles WHERE rolname = ?"));
  query.addBindValue(Q(role));
  if (!query.exec()) return StatementFailure(query.lastError(), "ロールの確認");
  return query.next();
}

// What rekendo-class must know of an existing role before giving it a class or a learner's
// rights: nothing, when there is no such role.
struct RoleFacts {
  bool superuser = false;
  bool can_login = false;
  bool privileged = false;  // may create roles or databases, replicate, or pass row security
  bool has_members = false;  // a group role
  bool learner = false;      // a member of rekendo_learner or registered as one
  bool teacher = false;      // a member of rekendo_teacher or a class's teacher role
};

Result<std::optional<RoleFacts>> ReadRoleFacts(ClassDatabase& db, const std::string& role) {
  QSqlQuery query(db.Connection());
  query.prepare(QStringLiteral(
      "SELECT r.rolsuper, r.rolcanlogin, "
      "  r.rolcreaterole OR r.rolcreatedb OR r.rolreplication OR r.rolbypassrls, "
      "  EXISTS (SELECT 1 FROM pg_catalog.pg_auth_members m WHERE m.roleid = r.oid), "
      "  EXISTS (SELECT 1 FROM pg_catalog.pg_auth_members m JOIN pg_catalog.pg_roles g "
      "          ON g.oid = m.roleid WHERE m.member = r.oid AND g.rolname = 'rekendo_learner') "
      "  OR EXISTS (SELECT 1 FROM rekendo.learners l WHERE l.role_name = r.rolname), "
      "  EXISTS (SELECT 1 FROM pg_catalog.pg_auth_members m JOIN pg_catalog.pg_roles g "
      "          ON g.oid = m.roleid WHERE m.member = r.oid AND g.rolname = 'rekendo_teacher') "
      "  OR EXISTS (SELECT 1 FROM rekendo.classes c WHERE c.teacher_role = r.rolname) "
      "FROM pg_catalog.pg_roles r WHERE r.rolname = ?"));
  query.addBindValue(Q(role));
  if (!query.exec()) return StatementFailure(query.lastError(), "ロールの確認");
  if (!query.next()) return std::optional<RoleFacts>();
  RoleFacts facts;
  facts.superuser = query.value(0).toBool();
  facts.can_login = query.value(1).toBool();
  facts.privileged = query.value(2).toBool();
  facts.has_members = query.value(3).toBool();
  facts.learner = query.value(4).toBool();
  facts.teacher = query.value(5).toBool();
  return std::optional<RoleFacts>(facts);
}

Error RoleRefused(const std::string& role, const std::string& why) {
  return Error{ErrorCode::kInvalidInput, "ロール「" + role + "」は使えません: " + why, role, {}};
}

// Refuses `role` (rolling the transaction back) when what it is makes `why` say so, with
// `advice` after the reason; a role that does not exist yet passes.
Status RefuseRoleIf(ClassDatabase& db, const std::string& role,
                    const std::function<std::string(const RoleFacts&)>& why,
                    const std::string& advice) {
  Result<std::optional<RoleFacts>> facts = ReadRoleFacts(db, role);
  if (!facts) {
    db.Connection().rollback();
    return facts.error();
  }
  if (!*facts) return {};
  const std::string reason = why(**facts);
  if (reason.empty()) return {};
  db.Connection().rollback();
  return RoleRefused(role, reason + advice);
}

Status Grant(ClassDatabase& db, const char* group, const std::string& member, const char* what) {
  QSqlQuery query(db.Connection());
  query.prepare(QStringLiteral("SELECT rekendo.grant_role(?, ?)"));
  query.addBindValue(QString::fromUtf8(group));
  query.addBindValue(Q(member));
  if (!query.exec()) return StatementFailure(query.lastError(), what);
  return {};
}

Result<bool> CreateLoginRole(ClassDatabase& db, const std::string& role,
                             const std::optional<std::string>& verifier, const char* what) {
  QSqlQuery query(db.Connection());
  query.prepare(QStringLiteral("SELECT rekendo.create_login_role(?, ?)"));
  query.addBindValue(Q(role));
  query.addBindValue(verifier ? QVariant(Q(*verifier)) : QVariant(QMetaType::fromType<QString>()));
  if (!query.exec() || !query.next()) return StatementFailure(query.lastError(), what);
  return query.value(0).toBool();
}

Status Begin(ClassDatabase& db, const char* what) {
  if (Status s = db.Open(); !s) return s;
  Result<int> version = ReadSchemaVersion(db.Connection());
  if (!version) return version.error();
  if (*version == 0) {
    return Error{ErrorCode::kNotFound,
                 "このデータベースにはまだ Rekendo の表がありません。先に「rekendo-class init」を"
                 "実行してください。",
                 db.Where(),
                 {}};
  }
  if (!db.Connection().transaction()) return StatementFailure(db.Connection().lastError(), what);
  return {};
}

Status Commit(ClassDatabase& db, const char* what) {
  if (!db.Connection().commit()) {
    Error error = StatementFailure(db.Connection().lastError(), what);
    db.Connection().rollback();
    return error;
  }
  return {};
}

}  // namespace

Status CheckRoleName(const std::string& name) {
  auto bad = [&](const std::string& why) {
    return Error{ErrorCode::kInvalidInput,
                 "名前「" + name + "」はロール名に使えません: " + why +
                     "\n半角の英字か「_」で始め、英数字と「_」「.」「-」だけで書いてください"
                     "（表示名は --display で日本語にできます）。",
                 name,
                 {}};
  };
  if (name.empty()) return bad("空です。");
  if (name.size() > 63) return bad("63 バイトより長いです。");
  if (name.starts_with("pg_")) return bad("「pg_」で始まる名前は PostgreSQL が使います。");
  {
    std::string lower = name;
    for (char& c : lower) c = (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
    for (const char* reserved : {"public", "none", "all", "user", "current_user", "current_role", "postgres",
                                 "session_user", "rekendo_learner", "rekendo_teacher"}) {
      if (lower == reserved) return bad("PostgreSQL か Rekendo が決まった意味で使う名前です。");
    }
  }
  const auto letter = [](char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
  };
  if (!letter(name[0])) return bad("最初の文字が英字でも「_」でもありません。");
  for (char c : name) {
    if (!letter(c) && !(c >= '0' && c <= '9') && c != '.' && c != '-') {
      return bad("使えない文字があります。");
    }
  }
  return {};
}

Result<ClassAdded> AddClass(ClassDatabase& db, const std::string& name,
                            const std::string& teacher) {
  const char* what = "クラスの登録";
  if (name.empty()) {
    return Error{ErrorCode::kInvalidInput, "クラスの名前が空です。", {}, {}};
  }
  if (Status s = CheckRoleName(teacher); !s) return s.error();
  if (Status s = Begin(db, what); !s) return s.error();
  // A teacher reads a whole class: never a learner (who would read the others), a group
  // role (whose every member would) or a superuser (who reads everything anyway, unseen).
  const auto not_a_teacher = [](const RoleFacts& f) -> std::string {
    if (f.superuser) return "スーパーユーザーです。";
    if (f.learner) return "学習者のロールです。";
    if (f.has_members) return "ほかのロールが属するグループのロールです。";
    return {};
  };
  if (Status s = RefuseRoleIf(db, teacher, not_a_teacher,
                              "先生には先生だけのロールを使ってください。");
      !s) {
    return s.error();
  }
  ClassAdded added;
  Result<bool> created = CreateLoginRole(db, teacher, std::nullopt, what);
  if (!created) {
    db.Connection().rollback();
    return created.error();
  }
  added.teacher_created = *created;
  if (Status s = Grant(db, kTeacherGroup, teacher, what); !s) {
    db.Connection().rollback();
    return s.error();
  }
  QSqlQuery query(db.Connection());
  // The OID says who teaches: a role made again under the name is not given the class.
  query.prepare(QStringLiteral(
      "INSERT INTO rekendo.classes (name, teacher_role, teacher_oid) "
      "SELECT CAST(? AS text), CAST(? AS name), r.oid FROM pg_catalog.pg_roles r "
      "WHERE r.rolname = ? ON CONFLICT (name) DO UPDATE SET teacher_role = "
      "EXCLUDED.teacher_role, teacher_oid = EXCLUDED.teacher_oid RETURNING (xmax = 0)"));
  query.addBindValue(Q(name));
  query.addBindValue(Q(teacher));
  query.addBindValue(Q(teacher));
  if (!query.exec() || !query.next()) return Fail(db, query, what);
  added.class_created = query.value(0).toBool();
  if (Status s = Commit(db, what); !s) return s.error();
  return added;
}

Result<LearnerAdded> AddLearner(ClassDatabase& db, const std::string& role,
                                const std::string& display_name, const std::string& class_name,
                                bool with_password) {
  const char* what = "学習者の登録";
  if (Status s = CheckRoleName(role); !s) return s.error();
  if (Status s = Begin(db, what); !s) return s.error();
  LearnerAdded added;
  added.class_name = class_name;
  if (added.class_name.empty()) {
    QSqlQuery classes(db.Connection());
    if (!classes.exec(QStringLiteral("SELECT name FROM rekendo.classes ORDER BY name LIMIT 2"))) {
      return Fail(db, classes, what);
    }
    std::vector<std::string> names;
    while (classes.next()) names.push_back(classes.value(0).toString().toStdString());
    if (names.size() != 1) {
      db.Connection().rollback();
      return Error{ErrorCode::kInvalidInput,
                   names.empty() ? "クラスがまだありません。「rekendo-class init --class 名前 "
                                   "--teacher 先生のロール」で作ってください。"
                                 : "クラスが複数あります。--class でクラスを指定してください。",
                   {},
                   {}};
    }
    added.class_name = names.front();
  }
  {
    QSqlQuery known(db.Connection());
    known.prepare(QStringLiteral(
        "SELECT l.class_name, l.role_oid IS NOT DISTINCT FROM r.oid AND r.oid IS NOT NULL "
        "FROM rekendo.learners l LEFT JOIN pg_catalog.pg_roles r ON r.rolname = l.role_name "
        "WHERE l.role_name = ?"));
    known.addBindValue(Q(role));
    if (!known.exec()) return Fail(db, known, what);
    if (known.next()) {
      const bool same_role = known.value(1).toBool();
      added.class_name = known.value(0).toString().toStdString();
      db.Connection().rollback();
      if (!same_role) {
        // The rounds under this name belong to a learner whose role is gone: a new holder
        // of the name must not be taken for them.
        return Error{ErrorCode::kInvalidInput,
                     "ロール名「" + role + "」の学習者はもういませんが、その成績が残っています。"
                     "同じ名前は使えません。別の名前（名簿の番号など）で登録してください。",
                     role,
                     {}};
      }
      added.already_learner = true;
      return added;
    }
  }
  const auto not_a_learner = [](const RoleFacts& f) -> std::string {
    if (f.superuser) return "スーパーユーザーです。";
    if (f.teacher) return "先生のロールです。";
    if (f.has_members) return "ほかのロールが属するグループのロールです。";
    if (!f.can_login) return "ログインできないロールです。";
    if (f.privileged) return "ロールやデータベースを作れる特別なロールです。";
    return {};
  };
  if (Status s = RefuseRoleIf(db, role, not_a_learner,
                              "学習者には新しいロールか、ふつうのログイン用ロールを使ってください。");
      !s) {
    return s.error();
  }
  Result<bool> exists = RoleExists(db, role);
  if (!exists) {
    db.Connection().rollback();
    return exists.error();
  }
  if (!*exists) {
    std::optional<std::string> verifier;
    if (with_password) {
      added.password = GeneratePassword();
      verifier = ScramVerifier(added.password);
    }
    Result<bool> created = CreateLoginRole(db, role, verifier, what);
    if (!created) {
      db.Connection().rollback();
      return created.error();
    }
    added.role_created = *created;
    if (!*created) added.password.clear();
  }
  if (Status s = Grant(db, kLearnerGroup, role, what); !s) {
    db.Connection().rollback();
    return s.error();
  }
  {
    QSqlQuery limit(db.Connection());
    limit.prepare(QStringLiteral("SELECT rekendo.limit_connections(?, ?)"));
    limit.addBindValue(Q(role));
    limit.addBindValue(kLearnerConnectionLimit);
    if (!limit.exec()) {
      added.password.clear();
      return Fail(db, limit, what);
    }
  }
  QSqlQuery insert(db.Connection());
  // The OID, not the name, says who the learner is (see the schema's version 2).
  insert.prepare(QStringLiteral(
      "INSERT INTO rekendo.learners (role_name, display_name, class_name, role_oid) "
      "SELECT CAST(? AS name), ?, ?, r.oid FROM pg_catalog.pg_roles r WHERE r.rolname = ?"));
  insert.addBindValue(Q(role));
  insert.addBindValue(Q(display_name.empty() ? role : display_name));
  insert.addBindValue(Q(added.class_name));
  insert.addBindValue(Q(role));
  if (!insert.exec()) {
    Error error = Fail(db, insert, what);
    if (insert.lastError().nativeErrorCode() == QLatin1String("23514")) {
      error = {ErrorCode::kInvalidInput,
               "表示名は 1 文字以上 " + std::to_string(kMaxDisplayName) + " 文字までにしてください。",
               {},
               error.detail};
    }
    if (insert.lastError().nativeErrorCode() == QLatin1String("23503")) {
      error = {ErrorCode::kNotFound,
               "クラス「" + added.class_name + "」はありません。",
               {},
               error.detail};
    }
    added.password.clear();
    return error;
  }
  if (Status s = Commit(db, what); !s) return s.error();
  return added;
}

Result<LearnerRemoved> RemoveLearner(ClassDatabase& db, const std::string& role) {
  const char* what = "学習者の削除";
  if (Status s = Begin(db, what); !s) return s.error();
  LearnerRemoved removed;
  {
    QSqlQuery known(db.Connection());
    known.prepare(QStringLiteral("SELECT class_name FROM rekendo.learners WHERE role_name = ?"));
    known.addBindValue(Q(role));
    if (!known.exec()) return Fail(db, known, what);
    if (!known.next()) {
      db.Connection().rollback();
      return Error{ErrorCode::kNotFound, "学習者「" + role + "」は登録されていません。", role, {}};
    }
    removed.class_name = known.value(0).toString().toStdString();
  }
  QSqlQuery drop(db.Connection());
  drop.prepare(QStringLiteral("SELECT rekendo.drop_learner_role(?)"));
  drop.addBindValue(Q(role));
  if (!drop.exec() || !drop.next()) return Fail(db, drop, what);
  removed.role_dropped = drop.value(0).toBool();
  if (Status s = Commit(db, what); !s) return s.error();
  return removed;
}

Result<std::vector<ReportRow>> ClassReport(ClassDatabase& db, std::int64_t since_ms,
                                           const std::string& class_name) {
  const char* what = "クラスの表の読み出し";
  if (Status s = db.Open(); !s) return s.error();
  QSqlQuery query(db.Connection());
  query.setForwardOnly(true);
  // One pass over each learner's rounds; the policies decide whose rows come back. Rows
  // from before the server's CHECKs may hold any value: `ok` keeps them out of every
  // figure (an infinite time would fail the whole statement), and they are counted.
  query.prepare(QStringLiteral(
      "SELECT l.class_name, l.role_name, l.display_name, "
      "  count(r.id) FILTER (WHERE r.ok AND r.started_at >= p.since), "
      "  count(r.id) FILTER (WHERE r.ok AND r.started_at >= p.since AND r.ending = 'finished'), "
      // Scores of 40-second rounds only: more time (or none) is another test.
      "  avg(r.score) FILTER (WHERE r.ok AND r.started_at >= p.since AND r.ending = 'finished' "
      "    AND r.time_limit_seconds = 40), "
      "  max(r.score) FILTER (WHERE r.ok AND r.started_at >= p.since AND r.ending = 'finished' "
      "    AND r.time_limit_seconds = 40), "
      "  CAST(floor(extract(epoch FROM max(r.started_at) FILTER (WHERE r.ok)) * 1000) AS bigint), "
      "  count(r.id) FILTER (WHERE NOT r.ok) "
      "FROM (SELECT CAST(? AS timestamptz) AS since, CAST(? AS text) AS class_name) p "
      "CROSS JOIN rekendo.learners l LEFT JOIN ("
      "  SELECT x.id, x.learner, x.started_at, x.ending, x.score, x.time_limit_seconds, "
      "    coalesce(isfinite(x.started_at) AND x.started_at >= TIMESTAMPTZ '2000-01-01 00:00:00+00' "
      "      AND x.started_at <= x.received_at + INTERVAL '1 day' "
      "      AND (x.score IS NULL OR x.score BETWEEN 0 AND 100), false) AS ok "
      "  FROM rekendo.rounds x) r ON r.learner = l.role_name "
      "WHERE (p.class_name = '' OR l.class_name = p.class_name) "
      "GROUP BY l.class_name, l.role_name, l.display_name "
      "ORDER BY l.class_name, l.display_name, l.role_name"));
  query.addBindValue(QDateTime::fromMSecsSinceEpoch(since_ms, QTimeZone::utc()));
  query.addBindValue(Q(class_name));
  if (!query.exec()) return StatementFailure(query.lastError(), what);
  std::vector<ReportRow> rows;
  while (query.next()) {
    ReportRow row;
    row.class_name = query.value(0).toString().toStdString();
    row.role = query.value(1).toString().toStdString();
    row.display_name = query.value(2).toString().toStdString();
    row.rounds = query.value(3).toInt();
    row.finished = query.value(4).toInt();
    if (!query.value(5).isNull()) row.average = query.value(5).toDouble();
    if (!query.value(6).isNull()) row.best = query.value(6).toInt();
    if (!query.value(7).isNull()) row.last_played_ms = query.value(7).toLongLong();
    row.unreadable = query.value(8).toInt();
    rows.push_back(std::move(row));
  }
  if (query.lastError().isValid()) return StatementFailure(query.lastError(), what);
  return rows;
}

}  // namespace rekendo::classroom
