// Files named by when they were made ("復習-20261208-093000.mon"), for the sets, exports and
// moved-aside records the programs make. A name already taken gets "-2", "-3", … and an
// existing file is never replaced, even by another program making one in the same second.
#pragma once

#include <ctime>
#include <string>
#include <string_view>

#include "error.h"

namespace rekendo::files {

// "<stem><yyyyMMdd-HHmmss><extension>" in local time for the first attempt, then with
// "-<attempt>" before the extension from attempt 2 on.
std::string DatedName(std::string_view stem, std::string_view extension, std::time_t when,
                      int attempt = 1);

// Writes `bytes` to a temporary file in `folder`, flushes it and gives it the first free dated
// name there. Returns the new file's path.
Result<std::string> WriteNewDatedFile(const std::string& folder, std::string_view stem,
                                      std::string_view extension, std::string_view bytes,
                                      std::time_t when = std::time(nullptr));

// Moves `path` to the first free dated name in its own folder. Returns the new path.
Result<std::string> MoveToNewDatedName(const std::string& path, std::string_view stem,
                                       std::string_view extension,
                                       std::time_t when = std::time(nullptr));

}  // namespace rekendo::files
