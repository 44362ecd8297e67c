#include "file_kind.h"

#include <algorithm>
#include <cctype>
#include <string>

namespace rekendo::checker {

std::optional<FileKind> KindFromName(std::string_view name) {
  if (name == "problem") return FileKind::kProblem;
  if (name == "trivia") return FileKind::kTrivia;
  if (name == "judgement") return FileKind::kJudgement;
  return std::nullopt;
}

std::optional<FileKind> KindFromPath(std::string_view path) {
  const auto dot = path.rfind('.');
  if (dot == std::string_view::npos || path.find('/', dot) != std::string_view::npos) {
    return std::nullopt;
  }
  std::string extension(path.substr(dot + 1));
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  if (extension == "mon" || extension == "txt") return FileKind::kProblem;
  if (extension == "zat") return FileKind::kTrivia;
  if (extension == "han") return FileKind::kJudgement;
  return std::nullopt;
}

}  // namespace rekendo::checker
