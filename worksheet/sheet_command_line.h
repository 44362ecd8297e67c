// rekendo-sheet's command line.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <variant>

#include "sheet_request.h"

namespace rekendo::worksheet {

struct SheetOptions {
  bool help = false;
  bool version = false;
  SheetRequest request;    // the seed is the clock's unless `seed_given`
  bool seed_given = false;
  std::string output;      // the PDF
  bool force = false;      // an existing output file may be replaced
};

struct SheetUsageError {
  std::string message;  // UTF-8
};

std::variant<SheetOptions, SheetUsageError> ParseSheetCommandLine(
    std::span<const char* const> args);

extern const std::string_view kSheetUsage;

}  // namespace rekendo::worksheet
