#include "display_text.h"

#include "cp932.h"

namespace rekendo {

QString FromUtf8(std::string_view utf8) {
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

QString ToDisplay(std::string_view sjis) {
  QString text = QString::fromStdU16String(text::Cp932ToUtf16(sjis));
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  return text;
}

std::string_view ShownPart(std::string_view sjis) {
  if (sjis.size() <= kMaxShownBytes) return sjis;
  std::size_t end = 0;
  while (end < kMaxShownBytes) {
    const std::size_t width = text::IsLeadByte(static_cast<unsigned char>(sjis[end])) ? 2 : 1;
    if (end + width > kMaxShownBytes) break;
    end += width;
  }
  return sjis.substr(0, end);
}

}  // namespace rekendo
