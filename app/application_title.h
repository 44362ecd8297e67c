// The application's title, from the running executable's file name: the name without its
// folder, cut at the first ".", every character after the first in lower case.
#pragma once

#include <string>
#include <string_view>

namespace rekendo {

std::string ApplicationTitle(std::string_view executable_path);

}  // namespace rekendo
