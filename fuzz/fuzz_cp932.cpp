// The CP932 display conversion over arbitrary bytes: both outputs must be well formed, agree
// with each other, and never hold more characters than there were bytes.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "cp932.h"

namespace {

[[noreturn]] void Broken(const char* what) {
  std::fprintf(stderr, "cp932: %s\n", what);
  std::abort();
}

// CP932 has no characters outside the BMP, so every code unit stands alone.
std::string ToUtf8(const std::u16string& text) {
  std::string out;
  for (const char16_t unit : text) {
    if (unit >= 0xD800 && unit <= 0xDFFF) Broken("surrogate in the output");
    if (unit < 0x80) {
      out += static_cast<char>(unit);
    } else if (unit < 0x800) {
      out += static_cast<char>(0xC0 | (unit >> 6));
      out += static_cast<char>(0x80 | (unit & 0x3F));
    } else {
      out += static_cast<char>(0xE0 | (unit >> 12));
      out += static_cast<char>(0x80 | ((unit >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (unit & 0x3F));
    }
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const std::u16string wide = rekendo::text::Cp932ToUtf16(bytes);
  const std::string narrow = rekendo::text::Cp932ToUtf8(bytes);
  if (wide.size() > size) Broken("more characters than bytes");
  if (size > 0 && wide.empty()) Broken("bytes vanished");
  if (ToUtf8(wide) != narrow) Broken("UTF-16 and UTF-8 outputs disagree");
  return 0;
}
