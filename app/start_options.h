// The few arguments rekendo answers itself, before any window or display is needed: --help
// and --version. Everything else is left to Qt (-platform, -style, …).
#pragma once

#include <optional>

namespace rekendo {

// Prints the help or the version when `argv` asks for one and returns the exit status;
// nullopt when the drill should start.
std::optional<int> AnswerStartOptions(int argc, const char* const* argv);

}  // namespace rekendo
