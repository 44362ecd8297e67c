// Messages for failed reads and writes: what was being done, and why it failed, in the
// drill's own words where it has them.
#pragma once

#include <string>

#include "atomic_file.h"
#include "finding.h"
#include "io_error.h"

namespace rekendo::checker {

inline constexpr int kReadWriteError = 2;

// "ファイルが見つかりません", or "I/O エラー (5)（Input/output error）" for an errno the
// drill has no words for.
std::string Reason(const IoError& error);

CheckError ReadFailed(const IoError& error);
// `what`, the reason, and with `untouched` that the original is as it was:
// "バックアップ a.bak を作れませんでした（ディスクがいっぱいです）。元のファイルはそのままです".
CheckError WriteFailed(const std::string& what, const files::FileError& error, bool untouched);

}  // namespace rekendo::checker
