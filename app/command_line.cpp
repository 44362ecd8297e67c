#include "command_line.h"

namespace rekendo {

Result<CommandLine> ParseCommandLine(const QStringList& arguments) {
  CommandLine line;
  for (qsizetype i = 0; i < arguments.size(); ++i) {
    const QString& argument = arguments[i];
    if (argument == QStringLiteral("--fill-screen")) {
      line.fill_screen = true;
    } else if (argument == QStringLiteral("--problem-file")) {
      if (i + 1 >= arguments.size()) {
        return Error{ErrorCode::kInvalidInput, "--problem-file の後に問題ファイルを指定してください",
                     argument.toStdString(), {}};
      }
      line.problem_file = arguments[++i];
    } else if (argument.startsWith(QStringLiteral("--problem-file="))) {
      line.problem_file = argument.mid(QStringLiteral("--problem-file=").size());
    } else {
      return Error{ErrorCode::kInvalidInput, "知らないオプションです", argument.toStdString(), {}};
    }
  }
  return line;
}

}  // namespace rekendo
