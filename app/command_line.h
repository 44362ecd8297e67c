// What rekendo's command line asks for: --fill-screen (拡大 for this start, whatever the
// setting says) and --problem-file PATH (loaded after start, as if chosen with 問題選択).
#pragma once

#include <QStringList>
#include <optional>

#include "error.h"

namespace rekendo {

struct CommandLine {
  bool fill_screen = false;
  std::optional<QString> problem_file;
};

// `arguments` without the program's own name. An unknown option or a missing PATH is an
// error whose message says so.
Result<CommandLine> ParseCommandLine(const QStringList& arguments);

}  // namespace rekendo
