// Files Qt's file dialog leaves out: Qt lists only names that are valid UTF-8, so a problem
// file copied with its Shift-JIS name from another system is simply not there.
#pragma once

#include <string>

namespace rekendo {

// How many entries of `folder` have names that are not valid UTF-8; 0 when it cannot be read.
int CountNonUtf8Names(const std::string& folder);

}  // namespace rekendo
