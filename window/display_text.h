// The drill's Shift-JIS texts as Qt shows them.
#pragma once

#include <QString>
#include <string_view>

namespace rekendo {

// The window's own UTF-8 texts (tables, captions, messages).
QString FromUtf8(std::string_view utf8);

// CP932 to Unicode (U+FFFD for bytes that are not CP932), CR LF line breaks as Qt's "\n".
QString ToDisplay(std::string_view sjis);

// The largest label holds a few hundred characters; a text far longer than any label can
// show (a problem file may hold a 100 MB line) is cut to its beginning, at a character
// boundary, so that laying it out cannot stall the window.
inline constexpr std::size_t kMaxShownBytes = 16 * 1024;
std::string_view ShownPart(std::string_view sjis);

}  // namespace rekendo
