#include "utf8_text.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <stdexcept>

#include "cp932_chars.h"

namespace rekendo::checker {
namespace {

// Bytes in the UTF-8 character a lead byte starts, or 0 for a byte no character starts with.
std::size_t Utf8Length(unsigned char lead) {
  if (lead < 0x80) return 1;
  if (lead >= 0xC2 && lead <= 0xDF) return 2;
  if (lead >= 0xE0 && lead <= 0xEF) return 3;
  if (lead >= 0xF0 && lead <= 0xF4) return 4;
  return 0;
}

struct Utf8Shape {
  bool valid = true;
  bool multibyte = false;
  bool long_sequences = false;  // three or four bytes
};

Utf8Shape ShapeOf(std::string_view bytes) {
  Utf8Shape shape;
  for (std::size_t pos = 0; pos < bytes.size();) {
    const auto lead = static_cast<unsigned char>(bytes[pos]);
    const std::size_t length = Utf8Length(lead);
    if (length == 0 || pos + length > bytes.size()) return {false};
    const auto second = static_cast<unsigned char>(length > 1 ? bytes[pos + 1] : 0x80);
    // Overlong forms, surrogates and code points past U+10FFFF are not UTF-8.
    if ((lead == 0xE0 && second < 0xA0) || (lead == 0xED && second > 0x9F) ||
        (lead == 0xF0 && second < 0x90) || (lead == 0xF4 && second > 0x8F)) {
      return {false};
    }
    for (std::size_t k = 1; k < length; ++k) {
      if ((static_cast<unsigned char>(bytes[pos + k]) & 0xC0) != 0x80) return {false};
    }
    shape.multibyte |= length > 1;
    shape.long_sequences |= length > 2;
    pos += length;
  }
  return shape;
}

bool IsValidCp932(std::string_view bytes) {
  for (std::size_t pos = 0; pos < bytes.size();) {
    const std::size_t length = CharLength(bytes, pos);
    if (!IsCp932(bytes.substr(pos, length))) return false;
    pos += length;
  }
  return true;
}

class Utf8ToCp932Converter {
 public:
  Utf8ToCp932Converter() : cd_(::iconv_open("CP932", "UTF-8")) {
    if (cd_ == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("iconv has no CP932");
  }
  ~Utf8ToCp932Converter() { ::iconv_close(cd_); }
  Utf8ToCp932Converter(const Utf8ToCp932Converter&) = delete;
  Utf8ToCp932Converter& operator=(const Utf8ToCp932Converter&) = delete;

  iconv_t get() const { return cd_; }

 private:
  iconv_t cd_;
};

constexpr std::string_view kGetaMark = "\x81\xAC";  // 〓

}  // namespace

Utf8Verdict DetectUtf8(std::string_view bytes) {
  if (bytes.starts_with(kUtf8Bom)) return {true, true};
  const Utf8Shape shape = ShapeOf(bytes);
  if (!shape.valid || !shape.multibyte) return {};
  return {shape.long_sequences || !IsValidCp932(bytes), false};
}

Cp932Text Utf8ToCp932(std::string_view utf8) {
  Utf8ToCp932Converter converter;
  Cp932Text result;
  std::string& out = result.bytes;
  out.resize(utf8.size() + 16);
  char* in = const_cast<char*>(utf8.data());
  std::size_t in_left = utf8.size();
  std::size_t written = 0;
  // Line numbers are counted as the conversion goes, so many misses stay cheap.
  std::size_t counted = 0;
  int line = 1;
  while (in_left > 0) {
    char* dst = out.data() + written;
    std::size_t out_left = out.size() - written;
    const std::size_t done = ::iconv(converter.get(), &in, &in_left, &dst, &out_left);
    written = out.size() - out_left;
    if (done != static_cast<std::size_t>(-1)) break;
    if (errno == E2BIG) {
      out.resize(out.size() * 2);
      continue;
    }
    // A character Shift-JIS lacks (or a broken sequence): report it, write the stand-in.
    const auto consumed = static_cast<std::size_t>(in - utf8.data());
    const std::size_t length =
        std::clamp<std::size_t>(Utf8Length(static_cast<unsigned char>(*in)), 1, in_left);
    line +=
        static_cast<int>(std::count(utf8.begin() + static_cast<std::ptrdiff_t>(counted),
                                    utf8.begin() + static_cast<std::ptrdiff_t>(consumed), '\n'));
    counted = consumed;
    result.missing.push_back(
        {FindingCode::kMissingInCp932, line,
         "「" + std::string(utf8.substr(consumed, length)) +
             "」は Shift-JIS（CP932）にない文字です（変換すると「〓」になります）"});
    ::iconv(converter.get(), nullptr, nullptr, nullptr, nullptr);
    if (out.size() - written < kGetaMark.size()) out.resize(out.size() * 2 + 16);
    out.replace(written, kGetaMark.size(), kGetaMark);
    written += kGetaMark.size();
    in += length;
    in_left -= length;
  }
  out.resize(written);
  return result;
}

}  // namespace rekendo::checker
