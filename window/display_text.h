// The drill's Shift-JIS texts as Qt shows them.
#pragma once

#include <QString>
#include <string_view>

namespace rekendo {

// CP932 to Unicode (U+FFFD for bytes that are not CP932), CR LF line breaks as Qt's "\n".
QString ToDisplay(std::string_view sjis);

}  // namespace rekendo
