// Shift-JIS (code page 932) to Unicode, for showing the drill's texts. Bytes that are not
// valid CP932 (a stray trail byte, a lead byte cut off by the end) come out as U+FFFD, so
// any file displays without failing.
#pragma once

#include <string>
#include <string_view>

namespace rekendo {

std::u16string Cp932ToUtf16(std::string_view bytes);
std::string Cp932ToUtf8(std::string_view bytes);

}  // namespace rekendo
