#include "class_error.h"

#include <QRegularExpression>
#include <QString>
#include <initializer_list>

namespace rekendo::classroom {

namespace {

bool ContainsAny(const QString& text, std::initializer_list<const char*> needles) {
  for (const char* needle : needles) {
    if (text.contains(QString::fromUtf8(needle), Qt::CaseInsensitive)) return true;
  }
  return false;
}

std::string Words(const QSqlError& error) {
  QString text = error.databaseText();
  if (!error.driverText().isEmpty() && !text.contains(error.driverText())) {
    text = error.driverText() + QStringLiteral(": ") + text;
  }
  return text.trimmed().toStdString();
}

// The worker's promise; ForCommand takes it out for the one-shot command.
const char* kAutoRetry = "しばらくして自動でやり直します。";

const char* kNetworkAdvice =
    "ネットワークがつながっているか、サーバーが動いているかを確かめてください。"
    "成績はこのコンピューターに残っていて、つながりしだい送られます。";

}  // namespace

namespace {

Error ClassifyConnectFailure(const QSqlError& error) {
  const QString text = error.databaseText() + QLatin1Char(' ') + error.driverText();
  const std::string detail = Words(error);
  if (ContainsAny(text, {"certificate verify failed", "server certificate", "SSL error",
                         "SSLエラー", "サーバー証明書", "root certificate", "ルート証明書",
                         "SSL off", "SSL is not enabled", "SSL SYSCALL"})) {
    return {ErrorCode::kNetwork,
            "サーバーの証明書を確かめられなかったので、つなぎませんでした。\n"
            "sslrootcert に学校のルート証明書があるか、host がサーバー証明書の名前と"
            "同じかを確かめてください。",
            {},
            detail};
  }
  // The server answered and refused us.
  if (ContainsAny(text,
                  {"password authentication failed", "パスワード認証に失敗", "no password supplied",
                   "パスワードが与えられ", "Peer authentication failed", "対向(peer)認証に失敗",
                   "Ident authentication failed", "GSSAPI authentication failed",
                   "certificate authentication failed", "no pg_hba.conf entry", "pg_hba.conf",
                   "is not permitted to log in", "does not exist", "は存在しません",
                   "SCRAM authentication", "authentication method requirement"})) {
    Error result{ErrorCode::kAuthentication,
                 "クラスのデータベースに入れませんでした。名前かパスワードが違うか、"
                 "この名前が登録されていません。\n先生に名前（ロール）と .pgpass の設定を"
                 "確かめてもらってください。",
                 {},
                 detail};
    static const QRegularExpression kNoDatabase(
        QStringLiteral("database \"[^\"]*\" does not exist|データベース\"[^\"]*\"は存在しません"));
    if (text.contains(kNoDatabase)) {
      result.message =
          "クラスのデータベースが見つかりませんでした。接続先の dbname を確かめてください。";
      result.code = ErrorCode::kNotFound;
    }
    return result;
  }
  if (ContainsAny(text, {"too many clients", "too many connections", "remaining connection slots",
                         "out of memory", "could not fork"})) {
    return {ErrorCode::kServer,
            std::string("サーバーがいま接続を受け付けられません（接続が多すぎるか、メモリが足りません）。") +
                kAutoRetry,
            {},
            detail};
  }
  return {ErrorCode::kNetwork,
          std::string("クラスのデータベースにつながりませんでした。") + kNetworkAdvice,
          {},
          detail};
}

}  // namespace

Error ConnectFailure(const QSqlError& error, const std::string& where) {
  Error result = ClassifyConnectFailure(error);
  if (!where.empty()) result.message += "\n接続先: " + where;
  return result;
}

Error StatementFailure(const QSqlError& error, const std::string& what) {
  const QString state = error.nativeErrorCode();
  const std::string detail = Words(error);
  const std::string doing = what.empty() ? std::string("データベースの処理") : what;
  // No SQLSTATE: libpq lost the connection (the server stopped, the network broke).
  if (state.isEmpty() || state.startsWith(QLatin1String("08")) ||
      state.startsWith(QLatin1String("57P"))) {
    return {ErrorCode::kNetwork,
            doing + "の途中でサーバーとの接続が切れました。" + kNetworkAdvice,
            {},
            detail};
  }
  if (state.startsWith(QLatin1String("28"))) {
    return {ErrorCode::kAuthentication,
            doing + "がサーバーに断られました（名前かパスワードが違います）。",
            {},
            detail};
  }
  if (state == QLatin1String("42501")) {
    return {ErrorCode::kAccessDenied,
            doing +
                "は許されていません。この名前（ロール）にはその権限がありません。\n"
                "学習者として登録されているか、先生に確かめてもらってください。",
            {},
            detail};
  }
  if (state == QLatin1String("53100")) {
    return {ErrorCode::kServer,
            doing +
                "に失敗しました。サーバーのディスクがいっぱいです。"
                "学校の管理者に知らせてください。成績はこのコンピューターに残っていて、"
                "あとで送られます。",
            {},
            detail};
  }
  if (state.startsWith(QLatin1String("40"))) {
    return {ErrorCode::kBusy, doing + "がほかの処理とぶつかりました。" + kAutoRetry, {}, detail};
  }
  // lock_timeout and statement_timeout: a table held by someone else, or a server too slow.
  if (state == QLatin1String("55P03") || state == QLatin1String("57014")) {
    return {ErrorCode::kBusy,
            doing + "が時間内に終わりませんでした（サーバーが混んでいるか、表がほかの処理に"
                    "使われています）。" +
                kAutoRetry,
            {},
            detail};
  }
  if (state.startsWith(QLatin1String("22")) || state.startsWith(QLatin1String("23"))) {
    return {ErrorCode::kInvalidInput,
            doing + "に失敗しました。サーバーがこの記録の値を受け付けません。",
            {},
            detail};
  }
  if (state.startsWith(QLatin1String("42P01")) || state.startsWith(QLatin1String("3F"))) {
    return {ErrorCode::kNotFound,
            "クラスのデータベースに Rekendo の表がありません。先生に "
            "「rekendo-class init」を実行してもらってください。",
            {},
            detail};
  }
  return {ErrorCode::kServer,
          doing + "にサーバーが失敗しました。" + kAutoRetry +
              "続くときは学校の管理者に知らせてください。",
          {},
          detail};
}

bool WorthRetrying(const Error& error) { return error.code != ErrorCode::kInvalidInput; }

bool WaitsForPeople(const Error& error) {
  switch (error.code) {
    case ErrorCode::kAccessDenied:
    case ErrorCode::kAuthentication:
    case ErrorCode::kNewer:
    case ErrorCode::kNotFound:
      return true;
    default:
      return false;
  }
}

Error ServerTooNew(int server_version) {
  return {ErrorCode::kNewer,
          "クラスのデータベースがこのプログラムより新しい版です。このプログラムを新しくしてください。"
          "成績はこのコンピューターに残っていて、新しくしたあとで送られます。",
          {},
          "schema version " + std::to_string(server_version)};
}

Error ForCommand(Error error) {
  const std::string promise = kAutoRetry;
  for (std::size_t at; (at = error.message.find(promise)) != std::string::npos;) {
    error.message.replace(at, promise.size(), "しばらくしてもう一度実行してください。");
  }
  return error;
}

}  // namespace rekendo::classroom
