// The three kinds of data file the drill reads, and how the checker tells them apart.
#pragma once

#include <optional>
#include <string_view>

namespace rekendo::checker {

enum class FileKind { kProblem, kTrivia, kJudgement };

// "problem", "trivia" or "judgement", as given to --kind.
std::optional<FileKind> KindFromName(std::string_view name);
// .mon and .txt are problem files, .zat trivia and .han judgement; case does not matter,
// since authors save these on Windows.
std::optional<FileKind> KindFromPath(std::string_view path);

}  // namespace rekendo::checker
