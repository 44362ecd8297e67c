// Tests write their texts in UTF-8 and compare Shift-JIS bytes: this turns one into the other.
#pragma once

#include <iconv.h>

#include <stdexcept>
#include <string>
#include <string_view>

namespace rekendo::testing {

inline std::string Sjis(std::string_view utf8) {
  iconv_t cd = ::iconv_open("CP932", "UTF-8");
  if (cd == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("no CP932 converter");
  std::string out(utf8.size() * 2 + 4, '\0');
  char* in = const_cast<char*>(utf8.data());
  std::size_t in_left = utf8.size();
  char* dst = out.data();
  std::size_t out_left = out.size();
  const std::size_t done = ::iconv(cd, &in, &in_left, &dst, &out_left);
  ::iconv_close(cd);
  if (done == static_cast<std::size_t>(-1)) throw std::runtime_error("not convertible to CP932");
  out.resize(out.size() - out_left);
  return out;
}

}  // namespace rekendo::testing
