// The command line of rekendo-check.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <variant>
#include <vector>

#include "file_kind.h"
#include "finding.h"

namespace rekendo::checker {

struct Options {
  std::optional<FileKind> kind;  // from --kind; otherwise each file's extension decides
  bool fix = false;
  bool in_place = false;
  std::string output;  // -o
  bool help = false;
  bool version = false;  // --version: print the program's version and stop
  std::vector<std::string> files;
};

// `arguments` excludes the program name. Errors are usage errors, code 2.
std::variant<Options, CheckError> ParseCommandLine(std::span<const char* const> arguments);

// The --help text (UTF-8).
extern const char* const kHelpText;

}  // namespace rekendo::checker
