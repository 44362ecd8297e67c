#include "cp932.h"

#include <iconv.h>

#include <cerrno>
#include <stdexcept>

namespace rekendo {
namespace {

// One iconv descriptor for one conversion; CP932 (not SHIFT_JIS) so that 81 7C is the
// full-width minus U+FF0D that the keypad shows.
class Converter {
 public:
  explicit Converter(const char* to) : cd_(::iconv_open(to, "CP932")) {
    if (cd_ == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("iconv has no CP932");
  }
  ~Converter() { ::iconv_close(cd_); }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  // Converts `bytes`; `replacement` is appended (as target bytes) for each byte that does
  // not start a valid character.
  std::string Convert(std::string_view bytes, std::string_view replacement) {
    std::string out;
    out.resize(bytes.size() * 4 + 16);
    char* in = const_cast<char*>(bytes.data());
    std::size_t in_left = bytes.size();
    std::size_t written = 0;
    while (in_left > 0) {
      char* dst = out.data() + written;
      std::size_t out_left = out.size() - written;
      const std::size_t result = ::iconv(cd_, &in, &in_left, &dst, &out_left);
      written = out.size() - out_left;
      if (result != static_cast<std::size_t>(-1)) break;
      if (errno == E2BIG) {
        out.resize(out.size() * 2);
        continue;
      }
      // EILSEQ or EINVAL: show this byte as a replacement and go on with the next one.
      ::iconv(cd_, nullptr, nullptr, nullptr, nullptr);
      if (out.size() - written < replacement.size()) out.resize(out.size() * 2 + 16);
      out.replace(written, replacement.size(), replacement);
      written += replacement.size();
      ++in;
      --in_left;
    }
    out.resize(written);
    return out;
  }

 private:
  iconv_t cd_;
};

}  // namespace

std::u16string Cp932ToUtf16(std::string_view bytes) {
  thread_local Converter converter("UTF-16LE");
  const std::string raw = converter.Convert(bytes, std::string_view("\xFD\xFF", 2));
  std::u16string text(raw.size() / 2, u'\0');
  for (std::size_t i = 0; i < text.size(); ++i) {
    text[i] = static_cast<char16_t>(static_cast<unsigned char>(raw[2 * i]) |
                                    (static_cast<unsigned char>(raw[2 * i + 1]) << 8));
  }
  return text;
}

std::string Cp932ToUtf8(std::string_view bytes) {
  thread_local Converter converter("UTF-8");
  return converter.Convert(bytes, "\xEF\xBF\xBD");
}

}  // namespace rekendo
