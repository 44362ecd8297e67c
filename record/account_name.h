// The name of the operating-system account the program runs under: what the first learner
// of a record is called until someone renames them.
#pragma once

#include <QString>

namespace rekendo::record {

// The login name (getpwuid), else $USER, else "学習者".
QString AccountName();

}  // namespace rekendo::record
