#include "class_cli.h"

#include <QDate>
#include <QDateTime>
#include <QFile>
#include <QString>
#include <QTimeZone>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>
#include <sstream>
#include <string_view>

#include "class_admin.h"
#include "class_database.h"
#include "class_error.h"
#include "class_schema.h"

namespace rekendo::classroom {

namespace {

constexpr const char* kUsage = R"(使い方: rekendo-class [--db 接続先] コマンド [オプション]

クラスの成績を集める PostgreSQL のデータベースを用意し、学習者を登録し、
クラスの表を表示します。

コマンド:
  init [--class クラス名 --teacher 先生のロール]
        表とロール（rekendo_learner, rekendo_teacher）と行ごとの権限を作ります。
        何度実行してもかまいません。--class でクラスとその先生のロールも作ります。
  add-learner ロール名 [--display 表示名] [--class クラス名] [--no-password]
        学習者のロールを作ります。パスワードを作って一度だけ表示します
        （--no-password: パスワードなし。peer 認証や GSSAPI の学校向け）。
  remove-learner ロール名
        学習者のロールを消します。成績は先生のために残り、同じロール名は
        もう使えません（新しいロールが前の人の成績を読めないように）。
  add-learners ファイル.csv [--class クラス名] [--no-password]
        CSV（UTF-8、1 行に「ロール名,表示名[,クラス名]」）の全員を登録し、
        作ったパスワードを CSV で表示します。
  report [--since YYYY-MM-DD] [--class クラス名] [--csv]
        学習者ごとの回数・平均点・最高点・最後に遊んだ日を表示します
        （既定は今週の月曜日から）。この期間に遊んでいない人も示します。

オプション:
  --db 接続先   libpq の接続文字列（"host=サーバー dbname=rekendo user=名前
                sslmode=verify-full" や "service=rekendo"）。
                既定は環境変数 REKENDO_CLASS。パスワードは ~/.pgpass に書きます。
  --help        この説明を表示します。
  --version     版を表示します。
)";

struct Command {
  std::string name;
  std::vector<std::string> positional;
  std::string db;
  std::string class_name, teacher, display, since;
  bool no_password = false, csv = false, help = false;
};

// Parses the command line; an error message or nothing.
std::optional<std::string> Parse(const std::vector<std::string>& args, Command& command) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const auto value = [&](std::string& into) -> std::optional<std::string> {
      if (i + 1 >= args.size()) return arg + " には値が必要です。";
      into = args[++i];
      return std::nullopt;
    };
    std::optional<std::string> problem;
    if (arg == "--help" || arg == "-h") {
      command.help = true;
    } else if (arg == "--db") {
      problem = value(command.db);
    } else if (arg.starts_with("--db=")) {
      command.db = arg.substr(5);
    } else if (arg == "--class") {
      problem = value(command.class_name);
    } else if (arg == "--teacher") {
      problem = value(command.teacher);
    } else if (arg == "--display") {
      problem = value(command.display);
    } else if (arg == "--since") {
      problem = value(command.since);
    } else if (arg == "--no-password") {
      command.no_password = true;
    } else if (arg == "--csv") {
      command.csv = true;
    } else if (arg.starts_with("--")) {
      return "知らないオプションです: " + arg;
    } else if (command.name.empty()) {
      command.name = arg;
    } else {
      command.positional.push_back(arg);
    }
    if (problem) return problem;
  }
  return std::nullopt;
}

int Fail(std::ostream& err, const Error& failure) {
  const Error error = ForCommand(failure);
  err << "rekendo-class: " << error.message << "\n";
  if (!error.subject.empty()) err << "  対象: " << error.subject << "\n";
  if (!error.detail.empty()) err << "  詳細: " << error.detail << "\n";
  return error.code == ErrorCode::kInvalidInput ? 2 : 1;
}

int Usage(std::ostream& err, const std::string& problem) {
  err << "rekendo-class: " << problem << "\n「rekendo-class --help」で使い方を表示します。\n";
  return 2;
}

std::string Pad(const std::string& text, int width, bool right = false) {
  const int pad = std::max(0, width - DisplayWidth(text));
  return right ? std::string(pad, ' ') + text : text + std::string(pad, ' ');
}

std::string LocalTime(std::int64_t ms) {
  return QDateTime::fromMSecsSinceEpoch(ms)
      .toString(QStringLiteral("yyyy-MM-dd HH:mm"))
      .toStdString();
}

int Init(ClassDatabase& db, const Command& command, std::ostream& out, std::ostream& err) {
  if (command.class_name.empty() != command.teacher.empty()) {
    return Usage(err, "--class と --teacher は一緒に指定してください。");
  }
  if (Status s = db.Open(); !s) return Fail(err, s.error());
  Result<int> version = InitSchema(db.Connection());
  if (!version) return Fail(err, version.error());
  out << "データベースの準備ができました（版 " << *version << "）: " << db.Where() << "\n";
  if (!command.class_name.empty()) {
    Result<ClassAdded> added = AddClass(db, command.class_name, command.teacher);
    if (!added) return Fail(err, added.error());
    out << "クラス「" << command.class_name << "」"
        << (added->class_created ? "を作りました" : "の先生を設定しました") << "（先生のロール "
        << command.teacher << (added->teacher_created ? "、新しく作りました" : "") << "）。\n";
    if (added->teacher_created) {
      out << "先生のロールにはパスワードがありません。peer 認証で使うか、psql の \\password "
          << command.teacher << " で設定してください。\n";
    }
  }
  return 0;
}

int AddOne(ClassDatabase& db, const Command& command, std::ostream& out, std::ostream& err) {
  if (command.positional.size() != 1)
    return Usage(err, "add-learner にはロール名を一つ指定してください。");
  const std::string& role = command.positional.front();
  Result<LearnerAdded> added =
      AddLearner(db, role, command.display, command.class_name, !command.no_password);
  if (!added) return Fail(err, added.error());
  if (added->already_learner) {
    out << role << " はすでにクラス「" << added->class_name
        << "」の学習者です。何も変えていません。\n";
    return 0;
  }
  out << role << " をクラス「" << added->class_name << "」の学習者にしました";
  if (!added->role_created) out << "（すでにあったロールです。パスワードは変えていません）";
  out << "。\n";
  if (!added->password.empty()) {
    out << "パスワード: " << added->password << "\n"
        << "（この一度だけ表示します。本人に渡し、~/.pgpass に書いてもらってください）\n";
  }
  return 0;
}

int AddMany(ClassDatabase& db, const Command& command, std::ostream& out, std::ostream& err) {
  if (command.positional.size() != 1)
    return Usage(err, "add-learners には CSV ファイルを一つ指定してください。");
  QFile file(QString::fromStdString(command.positional.front()));
  if (!file.open(QIODevice::ReadOnly)) {
    return Fail(err, {ErrorCode::kNotFound, "CSV ファイルを開けません。",
                      command.positional.front(), file.errorString().toStdString()});
  }
  QByteArray bytes = file.readAll();
  if (bytes.startsWith("\xEF\xBB\xBF")) bytes.remove(0, 3);
  struct Entry {
    std::string role, display, class_name;
    int line;
  };
  std::vector<Entry> entries;
  int line_number = 0;
  for (QByteArray line : bytes.split('\n')) {
    ++line_number;
    if (line.endsWith('\r')) line.chop(1);
    if (line.trimmed().isEmpty()) continue;
    std::optional<std::vector<std::string>> split = SplitCsvLine(line.toStdString());
    if (!split) {
      return Fail(err, {ErrorCode::kInvalidInput,
                        "CSV の " + std::to_string(line_number) +
                            " 行目は「\"」が閉じていません。何も登録していません。",
                        command.positional.front(),
                        {}});
    }
    std::vector<std::string> fields = std::move(*split);
    for (auto& f : fields) f = QString::fromStdString(f).trimmed().toStdString();
    if (line_number == 1 && !fields.empty() &&
        (fields[0] == "role" || fields[0] == "ロール" || fields[0] == "ロール名" ||
         fields[0] == "name" || fields[0] == "名前")) {
      continue;  // a header
    }
    if (fields.empty() || fields.size() > 3 || fields[0].empty()) {
      return Fail(err, {ErrorCode::kInvalidInput,
                        "CSV の " + std::to_string(line_number) +
                            " 行目は「ロール名,表示名[,クラス名]」の形ではありません。",
                        command.positional.front(),
                        {}});
    }
    if (Status s = CheckRoleName(fields[0]); !s) {
      Error e = s.error();
      e.message = "CSV の " + std::to_string(line_number) + " 行目: " + e.message;
      return Fail(err, e);
    }
    entries.push_back({fields[0], fields.size() > 1 ? fields[1] : "",
                       fields.size() > 2 && !fields[2].empty() ? fields[2] : command.class_name,
                       line_number});
  }
  bool header = false;
  int added_count = 0, kept = 0;
  for (const Entry& entry : entries) {
    Result<LearnerAdded> added =
        AddLearner(db, entry.role, entry.display, entry.class_name, !command.no_password);
    if (!added) {
      Error e = added.error();
      e.message =
          "CSV の " + std::to_string(entry.line) + " 行目（" + entry.role + "）: " + e.message +
          "\nそれより前の行の人は登録済みです。直してからもう一度実行すると、続きが登録されます。";
      return Fail(err, e);
    }
    if (added->already_learner) {
      ++kept;
      continue;
    }
    ++added_count;
    if (!header) {
      out << "ロール名,表示名,クラス,パスワード\n";
      header = true;
    }
    out << CsvField(entry.role) << ','
        << CsvField(entry.display.empty() ? entry.role : entry.display) << ','
        << CsvField(added->class_name) << ',' << CsvField(added->password) << "\n";
  }
  err << added_count << " 人を登録しました";
  if (kept) err << "（" << kept << " 人はすでに登録済みで、そのままです）";
  err << "。";
  if (added_count && !command.no_password) err << "パスワードはこの一度だけ表示しました。";
  err << "\n";
  return 0;
}

int RemoveOne(ClassDatabase& db, const Command& command, std::ostream& out, std::ostream& err) {
  if (command.positional.size() != 1)
    return Usage(err, "remove-learner にはロール名を一つ指定してください。");
  const std::string& role = command.positional.front();
  Result<LearnerRemoved> removed = RemoveLearner(db, role);
  if (!removed) return Fail(err, removed.error());
  out << role << " をクラス「" << removed->class_name << "」から外しました"
      << (removed->role_dropped ? "（ロールを消しました）" : "（ロールはもうありませんでした）")
      << "。成績は残り、このロール名はもう使えません。\n";
  return 0;
}

int Report(ClassDatabase& db, const Command& command, std::ostream& out, std::ostream& err) {
  QDate since_day;
  if (!command.since.empty()) {
    since_day = QDate::fromString(QString::fromStdString(command.since), Qt::ISODate);
    if (!since_day.isValid())
      return Usage(err, "--since は YYYY-MM-DD の形で書いてください: " + command.since);
  } else {
    const QDate today = QDate::currentDate();
    since_day = today.addDays(1 - today.dayOfWeek());  // this week's Monday
  }
  const std::int64_t since_ms = since_day.startOfDay().toMSecsSinceEpoch();
  Result<std::vector<ReportRow>> rows = ClassReport(db, since_ms, command.class_name);
  if (!rows) return Fail(err, rows.error());
  const auto average = [](const ReportRow& row) -> std::string {
    if (!row.average) return "-";
    char text[16];
    std::snprintf(text, sizeof text, "%.1f", *row.average);
    return text;
  };
  if (command.csv) {
    out << "class,role,display_name,rounds_since,finished_since,average,best,last_played,played_"
           "since\n";
    for (const ReportRow& row : *rows) {
      out << CsvField(row.class_name) << ',' << CsvField(row.role) << ','
          << CsvField(row.display_name) << ',' << row.rounds << ',' << row.finished << ','
          << (row.average ? average(row) : "") << ',' << (row.best ? std::to_string(*row.best) : "")
          << ',' << (row.last_played_ms ? LocalTime(*row.last_played_ms) : "") << ','
          << (row.rounds > 0 ? "yes" : "no") << "\n";
    }
    return 0;
  }
  if (rows->empty()) {
    out << "見える学習者がいません（先生のロールでつないでいるか、add-learner で登録したかを"
           "確かめてください）。\n";
    return 0;
  }
  const std::string period = since_day.toString(Qt::ISODate).toStdString() + " から";
  std::string current_class;
  std::vector<std::string> idle;
  int name_width = 6, role_width = 6;
  for (const ReportRow& row : *rows) {
    name_width = std::max(name_width, DisplayWidth(ForTerminal(row.display_name)));
    role_width = std::max(role_width, DisplayWidth(ForTerminal(row.role)));
  }
  int unreadable = 0;
  const auto flush_idle = [&] {
    if (current_class.empty()) return;
    out << (idle.empty() ? "この期間に全員が遊びました。" : "この期間に遊んでいない人: ");
    for (std::size_t i = 0; i < idle.size(); ++i) out << (i ? "、" : "") << idle[i];
    out << "\n";
    idle.clear();
  };
  for (const ReportRow& row : *rows) {
    if (row.class_name != current_class) {
      flush_idle();
      if (!current_class.empty()) out << "\n";
      current_class = row.class_name;
      out << "クラス " << ForTerminal(row.class_name) << "（" << period << "）\n";
      out << Pad("表示名", name_width) << "  " << Pad("ロール", role_width) << "  "
          << Pad("回数", 4, true) << "  " << Pad("平均", 6, true) << "  " << Pad("最高", 4, true)
          << "  最後に遊んだ日\n";
    }
    unreadable += row.unreadable;
    out << Pad(ForTerminal(row.display_name), name_width) << "  "
        << Pad(ForTerminal(row.role), role_width) << "  "
        << Pad(std::to_string(row.rounds), 4, true) << "  " << Pad(average(row), 6, true) << "  "
        << Pad(row.best ? std::to_string(*row.best) : "-", 4, true) << "  "
        << (row.last_played_ms ? LocalTime(*row.last_played_ms) : "まだ遊んでいません") << "\n";
    if (row.rounds == 0) idle.push_back(ForTerminal(row.display_name));
  }
  flush_idle();
  if (unreadable) {
    out << "\nありえない値（無限の時刻、範囲外の点数など）の回が " << unreadable
        << " 回あり、数えていません。\n";
  }
  return 0;
}

}  // namespace

std::string ForTerminal(const std::string& utf8) {
  QString shown;
  for (char32_t c : QString::fromStdString(utf8).toUcs4()) {
    const bool control = c < 0x20 || (c >= 0x7F && c <= 0x9F);
    const bool reorders = (c >= 0x200E && c <= 0x200F) || (c >= 0x202A && c <= 0x202E) ||
                          (c >= 0x2066 && c <= 0x2069);
    if (control || reorders) {
      shown += QString::fromLatin1(control ? "\\x" : "\\u") +
               QString::number(uint(c), 16).toUpper().rightJustified(control ? 2 : 4, u'0');
    } else {
      shown += QString::fromUcs4(&c, 1);
    }
  }
  return shown.toStdString();
}

std::string CsvField(const std::string& text) {
  std::string field = text;
  if (!field.empty() && std::string_view("=+-@\t\r").find(field.front()) != std::string_view::npos) {
    field.insert(field.begin(), '\'');
  }
  if (field.find_first_of(",\"\r\n") == std::string::npos) return field;
  std::string quoted = "\"";
  for (char c : field) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + "\"";
}

int DisplayWidth(const std::string& utf8) {
  int width = 0;
  for (char32_t c : QString::fromStdString(utf8).toUcs4()) {
    const bool wide = (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF) ||
                      (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) ||
                      (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60) ||
                      (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x20000 && c <= 0x3FFFD);
    width += wide ? 2 : 1;
  }
  return width;
}

std::optional<std::vector<std::string>> SplitCsvLine(const std::string& line) {
  std::vector<std::string> fields(1);
  bool quoted = false;
  for (std::size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (quoted) {
      if (c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
        fields.back() += '"';
        ++i;
      } else if (c == '"') {
        quoted = false;
      } else {
        fields.back() += c;
      }
    } else if (c == '"') {
      quoted = true;
    } else if (c == ',') {
      fields.emplace_back();
    } else {
      fields.back() += c;
    }
  }
  if (quoted) return std::nullopt;
  return fields;
}

int RunClassCli(const std::vector<std::string>& args, const std::string& env_db, std::ostream& out,
                std::ostream& err) {
  Command command;
  if (auto problem = Parse(args, command)) return Usage(err, *problem);
  if (command.help || command.name.empty() || command.name == "help") {
    (command.help || command.name == "help" ? out : err) << kUsage;
    return command.help || command.name == "help" ? 0 : 2;
  }
  using Handler = int (*)(ClassDatabase&, const Command&, std::ostream&, std::ostream&);
  Handler handler = nullptr;
  if (command.name == "init")
    handler = Init;
  else if (command.name == "add-learner")
    handler = AddOne;
  else if (command.name == "add-learners")
    handler = AddMany;
  else if (command.name == "remove-learner")
    handler = RemoveOne;
  else if (command.name == "report")
    handler = Report;
  else
    return Usage(err, "知らないコマンドです: " + command.name);
  if (command.name != "add-learner" && command.name != "add-learners" &&
      command.name != "remove-learner" &&
      !command.positional.empty()) {
    return Usage(err, "余分な引数があります: " + command.positional.front());
  }
  const std::string db_text = command.db.empty() ? env_db : command.db;
  if (Result<ConnInfo> info = ConnInfo::Parse(db_text); !info) return Fail(err, info.error());
  ClassDatabase db(db_text);
  return handler(db, command, out, err);
}

}  // namespace rekendo::classroom
