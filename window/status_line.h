// The line under the controls that says which problem file is loaded, or what to do next.
#pragma once

#include <QString>
#include <QtGlobal>

#include "text_look.h"
#include <optional>
#include <string>

namespace rekendo {

struct LoadStatus {
  enum class Kind { NoFileYet, Loaded, Cancelled, Failed };
  Kind kind = Kind::NoFileYet;
  QString file_name;  // Loaded and Failed: the chosen file, without its folder
  int problem_count = 0;
  // Loaded: what the file looked like, and the pairs past the drill's table.
  text::TextLook look = text::TextLook::kShiftJis;
  qint64 pairs_left_out = 0;
  bool all_left_out_counted = true;
  bool read_as_utf8 = false;  // Loaded: a UTF-8 file, read as the text it holds
  QString failure;  // Failed: why, as the error box says it
  // Names in the dialog's folder that the dialog could not list (not UTF-8).
  int unshown_names = 0;
};

// `file_name` is shortened to `elided_name` by the caller when the line is too narrow.
QString StatusText(const LoadStatus& status, const QString& elided_name);

}  // namespace rekendo
