#include "utf8_text.h"

#include <algorithm>

#include "cp932.h"

namespace rekendo::checker {

Utf8Verdict DetectUtf8(std::string_view bytes) {
  const text::Utf8Rule rule = text::DetectUtf8(bytes);
  return {rule != text::Utf8Rule::kNone, rule == text::Utf8Rule::kBom};
}

Cp932Text Utf8ToCp932(std::string_view utf8) {
  text::Cp932Text converted = text::Utf8ToCp932(utf8);
  Cp932Text result{std::move(converted.bytes), {}};
  // Line numbers are counted as the misses go, so many of them stay cheap.
  std::size_t counted = 0;
  int line = 1;
  for (const text::Unmappable& miss : converted.unmappable) {
    line += static_cast<int>(std::count(utf8.begin() + static_cast<std::ptrdiff_t>(counted),
                                        utf8.begin() + static_cast<std::ptrdiff_t>(miss.offset),
                                        '\n'));
    counted = miss.offset;
    result.missing.push_back(
        {FindingCode::kMissingInCp932, line,
         "「" + std::string(utf8.substr(miss.offset, miss.length)) +
             "」は Shift-JIS（CP932）にない文字です（変換すると「〓」になります）"});
  }
  return result;
}

}  // namespace rekendo::checker
