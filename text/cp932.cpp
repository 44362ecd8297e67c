#include "cp932.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <stdexcept>

#include "utf8.h"

namespace rekendo::text {
namespace {

// One iconv descriptor for one direction; CP932 (not SHIFT_JIS) so that 81 7C is the
// full-width minus U+FF0D that the keypad shows.
class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(::iconv_open(to, from)) {
    if (cd_ == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("iconv has no CP932");
  }
  ~Converter() { ::iconv_close(cd_); }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  // Converts `bytes`. Where a character does not convert, `replacement` (target bytes) is
  // written instead, `skip` tells how many input bytes it covers, and `on_miss` hears of it.
  template <typename Skip, typename OnMiss>
  std::string Convert(std::string_view bytes, std::string_view replacement, Skip skip,
                      OnMiss on_miss) {
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
      // EILSEQ or EINVAL: write the replacement and go on after the bad character.
      ::iconv(cd_, nullptr, nullptr, nullptr, nullptr);
      const auto offset = static_cast<std::size_t>(in - bytes.data());
      const std::size_t length = std::clamp<std::size_t>(skip(bytes, offset), 1, in_left);
      on_miss(offset, length);
      if (out.size() - written < replacement.size()) out.resize(out.size() * 2 + 16);
      out.replace(written, replacement.size(), replacement);
      written += replacement.size();
      in += length;
      in_left -= length;
    }
    out.resize(written);
    return out;
  }

 private:
  iconv_t cd_;
};

// A broken CP932 byte is replaced on its own, so the next byte gets its chance.
std::size_t OneByte(std::string_view, std::size_t) { return 1; }
void Ignore(std::size_t, std::size_t) {}

bool IsTrailByte(unsigned char byte) { return byte >= 0x40 && byte <= 0xFC && byte != 0x7F; }

}  // namespace

std::u16string Cp932ToUtf16(std::string_view bytes) {
  thread_local Converter converter("UTF-16LE", "CP932");
  const std::string raw = converter.Convert(bytes, std::string_view("\xFD\xFF", 2), OneByte, Ignore);
  std::u16string text(raw.size() / 2, u'\0');
  for (std::size_t i = 0; i < text.size(); ++i) {
    text[i] = static_cast<char16_t>(static_cast<unsigned char>(raw[2 * i]) |
                                    (static_cast<unsigned char>(raw[2 * i + 1]) << 8));
  }
  return text;
}

std::string Cp932ToUtf8(std::string_view bytes) {
  thread_local Converter converter("UTF-8", "CP932");
  return converter.Convert(bytes, "\xEF\xBF\xBD", OneByte, Ignore);
}

Cp932Text Utf8ToCp932(std::string_view utf8) {
  thread_local Converter converter("CP932", "UTF-8");
  Cp932Text result;
  result.bytes = converter.Convert(
      utf8, kGetaMark,
      [](std::string_view bytes, std::size_t offset) {
        return Utf8Length(static_cast<unsigned char>(bytes[offset]));
      },
      [&result](std::size_t offset, std::size_t length) {
        result.unmappable.push_back({offset, length});
      });
  return result;
}

std::size_t CharLength(std::string_view bytes, std::size_t pos) {
  if (pos + 1 < bytes.size() && IsLeadByte(static_cast<unsigned char>(bytes[pos])) &&
      IsTrailByte(static_cast<unsigned char>(bytes[pos + 1]))) {
    return 2;
  }
  return 1;
}

bool IsValidCp932(std::string_view bytes) {
  // Plain ASCII needs no converter.
  if (std::all_of(bytes.begin(), bytes.end(),
                  [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
    return true;
  }
  bool valid = true;
  thread_local Converter converter("UTF-8", "CP932");
  converter.Convert(bytes, "", OneByte, [&valid](std::size_t, std::size_t) { valid = false; });
  return valid;
}

}  // namespace rekendo::text
